// The system's side of the console: the text screen of a terminal (or a Windows console)
// and the standard streams. One implementation for each system, console_posix.cpp and
// console_win.cpp.
#pragma once

#include <string_view>

namespace vk::console_io {

// True when standard input and output are both a terminal: the positioned screen.
bool interactive();
// Where a text goes: the screen (standard output in the terminal's encoding), or standard
// output or standard error as UTF-8 whatever the terminal, so that a script can read it.
// A Windows console shows each of them whole.
enum class Stream { screen, output, error };
// Writes UTF-8 text; false when it could not be written (a full disk, a closed pipe).
bool write(std::string_view utf8, Stream to = Stream::screen);
// One byte of standard input, unbuffered, so that the programs of a chain share one
// file of answers; -1 at its end.
int read_byte();
// One key of the terminal, without Enter and without echo; -1 at the end of input.
int read_key();
// The positioned screen: cleared, and the cursor at a 1-based (column, row).
void clear();
void move_to(int col, int row);

}  // namespace vk::console_io
