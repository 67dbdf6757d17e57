// The command line every program of the suite shares: -h/--help, --version, an optional
// survey folder (default: the current folder) and the options a program declares for
// itself. Nothing here reads or writes a survey folder; a program starts its run only
// after the whole line is understood.
#pragma once

#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace vk {

class Console;

// The project version, as the build gives it ("1.0").
std::string_view suite_version();

// A usage error: an unknown option, a missing or wrong value, more than one folder.
inline constexpr int kUsageError = 64;
// A fault of the program itself (an exception nobody expected), never a fault of the data.
inline constexpr int kInternalError = 70;

class CommandLine {
  public:
    // `program` is the name the program is installed under ("vokram1"); `files` says in a
    // few lines what it reads and writes in the survey folder (UTF-8, shown by --help).
    CommandLine(std::string program, std::string files);

    // Declares an option without a value: cl.flag("--adopt", "поема изравнените координати").
    CommandLine& flag(std::string name, std::string help);
    // Declares an option with a value (--page A4 or --page=A4); `choices` empty: any value.
    CommandLine& value(std::string name, std::string meta, std::string help,
                       std::vector<std::string> choices = {});
    // Declares that files follow the optional folder (vokram-import ... [FOLDER] RAWFILE...):
    // at least one is needed, and the first word is the folder only when it names a folder.
    CommandLine& operands(std::string meta, std::string help);

    enum class Outcome { run, help, version, usage_error };
    // Reads the arguments after the program name. On a usage error `error()` says why.
    Outcome parse(const std::vector<std::string>& args);

    bool has(std::string_view name) const { return given_.count(std::string(name)) != 0; }
    // The value given to a value option; empty when it was not given.
    std::string get(std::string_view name) const;
    // Every value given to a value option that may be repeated, in order.
    std::vector<std::string> values(std::string_view name) const;
    const std::vector<std::string>& operands() const { return operands_; }
    const std::filesystem::path& folder() const { return folder_; }
    const std::string& program() const { return program_; }
    const std::string& error() const { return error_; }

    std::string usage() const;  // the one-line synopsis
    std::string help() const;   // the whole --help text

  private:
    struct Option {
        std::string name, meta, help;
        std::vector<std::string> choices;
    };
    const Option* find(std::string_view name) const;

    std::string program_, files_;
    std::vector<Option> options_;
    std::map<std::string, std::string> given_;
    std::map<std::string, std::vector<std::string>> repeated_;
    std::string operands_meta_, operands_help_;
    std::vector<std::string> operands_;
    std::filesystem::path folder_ = ".";
    std::string error_;
};

// The whole life of a program: reads the command line, answers --help and --version, and
// otherwise runs `run` in the survey folder with a console fit for the standard streams.
// Returns the exit status: 0 ran to its end, 1 stopped on the data or blocked by the run
// token, 2 ... 106 file errors, 64 usage error, 70 an unexpected fault. Any exception
// that escapes becomes one line on standard error.
int program_main(int argc, char** argv, CommandLine& cl,
                 const std::function<int(Console&, const std::filesystem::path&)>& run);

}  // namespace vk
