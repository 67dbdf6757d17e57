// The console on POSIX systems: ANSI escape sequences for the screen, termios for single
// keys, and iconv for a terminal whose encoding is not UTF-8.
#include <iconv.h>
#include <langinfo.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <clocale>
#include <cstdio>
#include <cstring>
#include <string>

#include "console_io.hpp"

namespace vk::console_io {

namespace {

// Converts UTF-8 texts to the terminal's encoding when that is not UTF-8.
class Encoder {
  public:
    Encoder() {
        std::setlocale(LC_CTYPE, "");
        const char* cs = nl_langinfo(CODESET);
        if (cs && std::strcmp(cs, "UTF-8") != 0 && std::strcmp(cs, "utf8") != 0) {
            const std::string to = std::string(cs) + "//TRANSLIT";
            cd_ = iconv_open(to.c_str(), "UTF-8");
        }
    }
    ~Encoder() {
        if (cd_ != kNone) iconv_close(cd_);
    }
    std::string operator()(std::string_view s) const {
        if (cd_ == kNone) return std::string(s);
        std::string out(s.size() * 2 + 16, '\0');
        char* src = const_cast<char*>(s.data());
        std::size_t left = s.size();
        char* dst = out.data();
        std::size_t room = out.size();
        iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        while (left > 0 && iconv(cd_, &src, &left, &dst, &room) == static_cast<std::size_t>(-1)) {
            if (errno != EILSEQ && errno != EINVAL) break;
            if (room == 0) break;
            *dst++ = '?', --room;  // a character the terminal cannot show
            ++src, --left;
        }
        out.resize(out.size() - room);
        return out;
    }

  private:
    static inline const iconv_t kNone = reinterpret_cast<iconv_t>(-1);
    iconv_t cd_ = kNone;
};

bool out(std::string_view s, std::FILE* f = stdout) {
    const bool written = std::fwrite(s.data(), 1, s.size(), f) == s.size();
    return std::fflush(f) == 0 && written;
}

}  // namespace

bool interactive() {
    return isatty(STDIN_FILENO) && isatty(STDOUT_FILENO);
}

bool write(std::string_view utf8, Stream to) {
    static const Encoder enc;
    if (to == Stream::screen) return out(enc(utf8));
    return out(utf8, to == Stream::error ? stderr : stdout);
}

int read_byte() {
    unsigned char c;
    const ssize_t n = ::read(STDIN_FILENO, &c, 1);
    return n == 1 ? c : -1;
}

int read_key() {
    termios saved{};
    const bool tty = tcgetattr(STDIN_FILENO, &saved) == 0;
    if (tty) {
        termios raw = saved;
        raw.c_lflag &= static_cast<tcflag_t>(~(ICANON | ECHO));
        raw.c_cc[VMIN] = 1;
        raw.c_cc[VTIME] = 0;
        tcsetattr(STDIN_FILENO, TCSANOW, &raw);
    }
    const int c = read_byte();
    if (tty) tcsetattr(STDIN_FILENO, TCSANOW, &saved);
    return c;
}

void clear() {
    out("\x1b[2J\x1b[H");
}

void move_to(int col, int row) {
    out("\x1b[" + std::to_string(row) + ";" + std::to_string(col) + "H");
}

}  // namespace vk::console_io
