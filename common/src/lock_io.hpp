// The system's side of the survey-folder lock: the lock file, taking and releasing its lock,
// and the process number in temporary names. One implementation for each system,
// folder_lock_posix.cpp and folder_lock_win.cpp.
#pragma once

#include <filesystem>
#include <string>

namespace vk::lock_io {

// The number of this process.
long long process_id();
// The lock file `path`, opened or created without following a link and without waiting on a
// FIFO; its handle. A failure is thrown as the file error of `name`.
long long open_lock(const std::filesystem::path& path, const std::string& name);
// One attempt at the exclusive lock on the file: taken, held by another program, or failed
// with `err` set to the system's error number (0 when it has none to give).
enum class Attempt { taken, held, failed };
Attempt try_lock(long long handle, int& err);
// Closes the lock file, which releases its lock.
void release(long long handle);

}  // namespace vk::lock_io
