// The frame every module shares: the working folder with VK/ and Temp/, the run
// token, and the two ways a module ends early.
#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <utility>

namespace vk {

class Console;
class FolderLock;

// A stop after a data error. The module's run() catches it, runs its stop sequence and
// ends with status 1, the reason as its error line. Each stop names its own reason where
// it is decided: the report line of the error with its values (the report keeps its
// texts as they are), or what only the screen shows (a capacity guard, a missing file).
struct ModuleStop {
    explicit ModuleStop(std::string why) : reason(std::move(why)) {}
    std::string reason;
};

class TextFile;

// Stops the module with `reason` (see ModuleStop), a report line without its indent.
[[noreturn]] void stop(std::string reason);
// Writes the error `line` into the report and stops with it as the reason.
[[noreturn]] void stop(TextFile& report, const std::string& line);

// The run token is 0: an earlier program stopped, so this one does nothing (status 1).
struct ChainBlocked {};

// The exit status of an orderly stop and of a run the token did not allow.
inline constexpr int kStopped = 1;

// A fatal file or input error: the module ends with `code` (the DOS-style code the
// suite has always used: 2 file not found, 3 folder not found, 5 access denied,
// 100 read error, 101 write error, 106 bad number) and a one-line message.
struct FatalIo {
    int code;
    std::string message;
};

inline constexpr int kFileNotFound = 2;
inline constexpr int kFolderNotFound = 3;
inline constexpr int kTooManyFiles = 4;
inline constexpr int kAccessDenied = 5;
inline constexpr int kReadError = 100;
inline constexpr int kWriteError = 101;
inline constexpr int kBadNumber = 106;

// The exit code for a failed system call on `what`, from errno.
FatalIo io_error(int err, const std::string& what);

// The working folder. Names inside it are matched without regard to letter case, so
// "VK/Protokol.TXT" and "VK/Protokol.txt" reach the same report and a folder copied
// from another system as "TEMP" is still found.
class Workspace {
  public:
    explicit Workspace(std::filesystem::path root) : root_(std::move(root)) {}
    // The path of `rel` ("VK/Geo_Data.txt"): an existing entry of any letter case, or
    // the name as given when none exists. A missing folder is a fatal error (code 3).
    std::filesystem::path file(const std::string& rel) const;
    // The same, but an absent folder is reported as absent (empty path) instead.
    std::filesystem::path find(const std::string& rel) const;
    // Both sub-folders, VK/ and Temp/, are there: otherwise a fatal error (code 3) before
    // a program writes anything, so that a folder it cannot work in is left as it was.
    void require_folders() const;
    const std::filesystem::path& root() const { return root_; }

  private:
    std::filesystem::path root_;
};

// The run token "Temp/Key.tmp": 0 blocks the chain, 1 lets the next module run.
void write_token(const Workspace& ws, int value);
int read_token(const Workspace& ws);  // a missing token is a fatal file error
// Reads the token and throws ChainBlocked when it is 0.
void require_token(const Workspace& ws);

// At the start of a run of `program` ("vokram2"): removes the products in VK/ that an
// earlier run of it and of the programs after it left (vokram1 and vokram2: all of them;
// vokram4 and vokram5: their own and the plan), so that a run that stops leaves nothing
// beside its report that no longer matches it.
void remove_stale_products(const Workspace& ws, std::string_view program);

// What a program does when it finds a set of files that a stop left half in place
// (an adoption of vokram4, see FileSet).
enum class HalfDoneSet {
    refuse,    // a damaged-file error (100) that says so
    complete,  // the set is made current: vokram4 --adopt, and vokram1, which begins anew
};

// A text of the console screen at a column and a row.
struct ScreenText {
    int column, row;
    const char* text;
};

// What differs between the runs of the programs; run_frame does the rest.
struct Module {
    const char* name;           // "vokram2": which stale products it removes
    HalfDoneSet half_done;      // a set of files an adoption left half in place
    bool needs_token = true;    // runs only when the program before it ended (Temp/Key.tmp 1)
    bool passes_token = false;  // writes 0 at its start and 1 at its end
    bool removes_stale = true;  // removes the products that no longer match the run
    std::optional<ScreenText> title = std::nullopt;  // on a cleared screen at the start
    std::optional<ScreenText> done = std::nullopt;   // at the end, before the key
    ScreenText stopped{0, 0, ""};                    // at a stop, before the key
};

// Runs module `m` in the working folder and gives its exit status. In order: takes the
// folder's lock into `lock`, which the module declares before the files its body and its
// stop sequence write, so that they are closed, whatever the end, while the folder is
// still locked; checks the token; runs `admit`, a check that must pass before anything is
// changed; passes the token on as 0; removes the stale products; shows the title; runs
// `body`; shows the done text, waits for a key and passes the token on as 1: status 0.
// A ModuleStop runs `on_stop` (the module's own files at the stop), shows the stopped
// text, waits for a key and shows the stop's reason as the error line: status 1.
// ChainBlocked gives 1 with a line that says so; a FatalIo shows its line and its code.
int run_frame(Console& con, const Workspace& ws, const Module& m, std::optional<FolderLock>& lock,
              const std::function<void()>& body, const std::function<void()>& on_stop,
              const std::function<void()>& admit = {});

}  // namespace vk
