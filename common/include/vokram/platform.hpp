// What differs between the systems the suite runs on, each behind one small interface:
// opening a file by its path (paths of wide characters on Windows, so that a survey
// folder such as "C:\Измервания\Бела вода" works) and the command line as UTF-8.
// The code page conversion and the console have their own files for each system.
#pragma once

#include <cstdio>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace vk {

// Opens a file as std::fopen does ("rb", "wb", "ab"); nullptr with errno set on failure.
std::FILE* open_file(const std::filesystem::path& path, const char* mode);

// Creates the file `path`, which must not exist yet, for writing. An entry already at that
// name, a symbolic link above all, is neither followed nor opened (EEXIST); nullptr with
// errno set on failure.
std::FILE* create_new_file(const std::filesystem::path& path);

// Opens the regular file `path` for appending, created when missing. A symbolic link is not
// followed (ELOOP), and a FIFO, a device or a folder is refused at once (ENXIO) instead of
// being waited for; nullptr with errno set on failure.
std::FILE* open_for_append(const std::filesystem::path& path);

#ifdef _WIN32
// The errno value for a Windows system error code.
int errno_of(unsigned long error);
#endif

// The program's arguments in UTF-8. On Windows they are read anew as wide characters,
// so that a folder named in Cyrillic arrives whole whatever the system's code page.
std::vector<std::string> utf8_arguments(int argc, char** argv);

// A path from UTF-8 text (an argument, a name typed at the console) and back.
std::filesystem::path path_from_utf8(std::string_view utf8);
std::string path_to_utf8(const std::filesystem::path& path);

}  // namespace vk
