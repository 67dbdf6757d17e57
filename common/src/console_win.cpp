// The console on Windows: UTF-16 text through the console functions, the screen by
// virtual terminal sequences where the console takes them (Windows 10 and later) and by
// the console's cursor functions where they are off, single keys from the keyboard
// without Enter. Redirected streams get plain UTF-8 bytes.
#include <conio.h>
#include <windows.h>

#include <cstdio>
#include <string>

#include "console_io.hpp"

namespace vk::console_io {

namespace {

HANDLE handle(DWORD which) {
    return GetStdHandle(which);
}

bool is_console(HANDLE h) {
    DWORD mode;
    return h != INVALID_HANDLE_VALUE && h != nullptr && GetConsoleMode(h, &mode);
}

// Asks the console to take escape sequences; false where they stay off.
bool sequences_on() {
    static const bool on = [] {
        HANDLE out = handle(STD_OUTPUT_HANDLE);
        DWORD mode = 0;
        return GetConsoleMode(out, &mode) &&
               SetConsoleMode(out, mode | ENABLE_VIRTUAL_TERMINAL_PROCESSING | ENABLE_PROCESSED_OUTPUT);
    }();
    return on;
}

}  // namespace

bool interactive() {
    return is_console(handle(STD_INPUT_HANDLE)) && is_console(handle(STD_OUTPUT_HANDLE));
}

bool write(std::string_view utf8, Stream to) {
    HANDLE h = handle(to == Stream::error ? STD_ERROR_HANDLE : STD_OUTPUT_HANDLE);
    if (utf8.empty()) return true;
    DWORD done = 0;
    if (!is_console(h))
        return WriteFile(h, utf8.data(), static_cast<DWORD>(utf8.size()), &done, nullptr) &&
               done == utf8.size();
    const int len = static_cast<int>(utf8.size());
    const int n = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), len, nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(n), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), len, wide.data(), n);
    return WriteConsoleW(h, wide.data(), static_cast<DWORD>(wide.size()), &done, nullptr);
}

int read_byte() {
    unsigned char c;
    DWORD n = 0;
    return ReadFile(handle(STD_INPUT_HANDLE), &c, 1, &n, nullptr) && n == 1 ? c : -1;
}

int read_key() {
    if (!is_console(handle(STD_INPUT_HANDLE))) return read_byte();
    const int c = _getch();
    if (c == 0 || c == 0xE0) return _getch();  // a function or arrow key comes as two codes
    return c;
}

void clear() {
    if (sequences_on()) {
        write("\x1b[2J\x1b[H");
        return;
    }
    HANDLE out = handle(STD_OUTPUT_HANDLE);
    CONSOLE_SCREEN_BUFFER_INFO info;
    if (!GetConsoleScreenBufferInfo(out, &info)) return;
    const DWORD cells = static_cast<DWORD>(info.dwSize.X) * static_cast<DWORD>(info.dwSize.Y);
    DWORD done;
    FillConsoleOutputCharacterW(out, L' ', cells, COORD{0, 0}, &done);
    FillConsoleOutputAttribute(out, info.wAttributes, cells, COORD{0, 0}, &done);
    SetConsoleCursorPosition(out, COORD{0, 0});
}

void move_to(int col, int row) {
    if (sequences_on()) {
        write("\x1b[" + std::to_string(row) + ";" + std::to_string(col) + "H");
        return;
    }
    SetConsoleCursorPosition(handle(STD_OUTPUT_HANDLE),
                             COORD{static_cast<SHORT>(col - 1), static_cast<SHORT>(row - 1)});
}

}  // namespace vk::console_io
