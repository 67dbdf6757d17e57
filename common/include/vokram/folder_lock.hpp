// The parts of the frame that differ between Linux and Windows: the lock that keeps two
// programs of the suite out of one survey folder, and the way a whole file is written: under
// a temporary name of its own, created new and never through a link, in the folder of the
// file, then renamed into place.
#pragma once

#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "vokram/frame.hpp"

namespace vk {

class TextFile;

// The exit status of a program that found the survey folder in use by another one.
inline constexpr int kFolderBusy = kStopped;

// An exclusive lock on the survey folder for the whole run of a program, held on the file
// "Temp/Lock.tmp". A second program waits a moment for it and then ends with a fatal error
// of status 1 that says the folder is in use. The lock ends with the object or the process.
// The holder removes the leftovers of programs that were killed while they wrote.
class FolderLock {
  public:
    explicit FolderLock(const Workspace& ws, HalfDoneSet half_done = HalfDoneSet::refuse);
    ~FolderLock();
    FolderLock(const FolderLock&) = delete;
    FolderLock& operator=(const FolderLock&) = delete;

  private:
    long long handle_ = -1;
};

// A name beside `path` that no other process uses: "<file>.<process id>.part".
std::filesystem::path temporary_name(const std::filesystem::path& path);

// The output `path` may be written: it is absent, a regular file, or a link that the rename
// of the new file replaces. A FIFO, a device or a folder there is a damaged-file error (100)
// naming `name`, found before anything opens it.
void check_output(const std::filesystem::path& path, const std::string& name);

// Creates the temporary file of `path` (check_output first) and gives its name in `temp`.
// An entry already at that name is a leftover of this process id: it is removed, never
// followed. Failure is a fatal file error naming `name`.
std::FILE* create_temporary(const std::filesystem::path& path, const std::string& name,
                            std::filesystem::path& temp);
// Renames the complete temporary file over `path`; failure removes it and is a fatal error.
void put_in_place(const std::filesystem::path& temp, const std::filesystem::path& path,
                  const std::string& name);
// Writes `bytes` as the whole file `path` through a temporary file.
void write_whole_file(const std::filesystem::path& path, const std::string& name, std::string_view bytes);

// A set of whole files that must change together, such as vokram2's files when vokram4
// adopts its adjusted coordinates. Every file is first written complete under its staged
// name "<file>.new"; then the journal "Temp/Adopt.tmp" names them all, each is renamed into
// place and the journal is removed. A stop before the journal leaves the old set, after its
// removal the new one; in between, the journal tells every later program that the set is
// half in place (FolderLock) and lets the next vokram4 --adopt finish it.
class FileSet {
  public:
    explicit FileSet(const Workspace& ws) : ws_(ws) {}
    // Writes the file `rel` ("VK/VK_2.cad") of the set at its staged name.
    void write(const std::string& rel, const std::function<void(TextFile&)>& fill);
    // The staged file of `rel`, once written.
    std::filesystem::path staged(const std::string& rel) const;
    // Makes the written files current. `after_step` is called after each step of it (1: the
    // journal written, 2 to n + 1: the files renamed, n + 2: the journal removed); a test
    // throws from it to stand for a stop at that moment.
    void commit(const std::function<void(int)>& after_step = {});

  private:
    const Workspace& ws_;
    std::vector<std::string> files_;
};

// The journal of a set half in place, when there is one (empty path otherwise).
std::filesystem::path half_done_set(const Workspace& ws);
// Renames what the journal still names into place and removes the journal.
void complete_set(const Workspace& ws);

}  // namespace vk
