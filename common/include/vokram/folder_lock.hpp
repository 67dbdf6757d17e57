// The parts of the frame that differ between Linux and Windows: the lock that keeps two
// programs of the suite out of one survey folder, and the names of the files a program
// writes before it renames them into place.
#pragma once

#include <filesystem>

#include "vokram/frame.hpp"

namespace vk {

// The exit status of a program that found the survey folder in use by another one.
inline constexpr int kFolderBusy = kStopped;

// An exclusive lock on the survey folder for the whole run of a program, held on the file
// "Temp/Lock.tmp". A second program waits a moment for it and then ends with a fatal error
// of status 1 that says the folder is in use. The lock ends with the object or the process.
class FolderLock {
  public:
    explicit FolderLock(const Workspace& ws);
    ~FolderLock();
    FolderLock(const FolderLock&) = delete;
    FolderLock& operator=(const FolderLock&) = delete;

  private:
    long long handle_ = -1;
};

// A name beside `path` that no other process uses: the file is written there and then
// renamed over `path`, so that a reader never meets half a file.
std::filesystem::path temporary_name(const std::filesystem::path& path);

}  // namespace vk
