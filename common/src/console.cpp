#include "vokram/console.hpp"

#include <iconv.h>
#include <langinfo.h>
#include <termios.h>
#include <unistd.h>

#include <clocale>
#include <cstdio>
#include <cstring>
#include <string>

#include "vokram/frame.hpp"

namespace vk {

namespace {

const FatalIo kNoAnswer{kReadError, "стандартният вход свърши, а се очаква отговор"};

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

// Reads one byte of standard input; -1 at its end.
int read_byte() {
    unsigned char c;
    const ssize_t n = ::read(STDIN_FILENO, &c, 1);
    return n == 1 ? c : -1;
}

void out(std::string_view s, std::FILE* f = stdout) {
    std::fwrite(s.data(), 1, s.size(), f);
    std::fflush(f);
}

// Outside a terminal: every message on a line of its own, keys and answers from
// standard input, so that `vokram1 < /dev/null` and `vokram2 < answers.txt` run unattended.
class PlainConsole : public Console {
  public:
    explicit PlainConsole(std::string program) : program_(std::move(program)) {}
    void clear() override {}
    void write_at(int, int, std::string_view text) override {
        std::string_view t = text;
        while (!t.empty() && t.back() == ' ') t.remove_suffix(1);
        while (!t.empty() && t.front() == ' ') t.remove_prefix(1);
        out(enc_(t));
        out("\n");
    }
    void wait_key() override { read_byte(); }
    char read_key() override {
        int c;
        do c = read_byte();
        while (c == '\n' || c == '\r');
        if (c < 0) throw kNoAnswer;
        return static_cast<char>(c);
    }
    std::string read_line() override {
        std::string s;
        int c;
        bool any = false;
        while ((c = read_byte()) >= 0) {
            any = true;
            if (c == '\n') break;
            if (c != '\r') s += static_cast<char>(c);
        }
        if (!any) throw kNoAnswer;
        return s;
    }
    // In UTF-8 whatever the terminal, so that a script can read it.
    void error(std::string_view text) override {
        out((program_.empty() ? std::string() : program_ + ": ") + std::string(text) + "\n", stderr);
    }

  protected:
    Encoder enc_;
    std::string program_;
};

// A terminal: cursor positioning by ANSI sequences, single keys without echo.
class TerminalConsole : public PlainConsole {
  public:
    using PlainConsole::PlainConsole;
    ~TerminalConsole() override { out("\x1b[24;1H\n"); }
    void clear() override { out("\x1b[2J\x1b[H"); }
    void write_at(int col, int row, std::string_view text) override {
        out("\x1b[" + std::to_string(row) + ";" + std::to_string(col) + "H");
        out(enc_(text));
    }
    // The last row says what the program waits for while it waits, then is cleared; the
    // cursor goes back where it was (row 999 stops at the bottom of any screen).
    void wait_key() override {
        const std::string last_row = "\0337\x1b[999;1H\x1b[2K";  // ESC 7 saves the cursor, ESC 8 restores it
        out(last_row + enc_("Натиснете клавиш ...") + "\0338");
        raw_key();
        out(last_row + "\0338");
    }
    char read_key() override {
        const int c = raw_key();
        if (c < 0) throw kNoAnswer;
        return static_cast<char>(c);
    }
    void error(std::string_view text) override {
        out("\x1b[24;1H\n");
        PlainConsole::error(text);
    }

  private:
    static int raw_key() {
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
};

}  // namespace

std::unique_ptr<Console> make_console(std::string program) {
    if (isatty(STDIN_FILENO) && isatty(STDOUT_FILENO))
        return std::make_unique<TerminalConsole>(std::move(program));
    return std::make_unique<PlainConsole>(std::move(program));
}

char ScriptedConsole::read_key() {
    if (keys.empty()) throw kNoAnswer;
    const char c = keys.front();
    keys.pop_front();
    return c;
}

std::string ScriptedConsole::read_line() {
    if (typed.empty()) throw kNoAnswer;
    std::string s = typed.front();
    typed.pop_front();
    return s;
}

bool ScriptedConsole::showed(std::string_view part) const {
    for (const auto& s : shown)
        if (s.text.find(part) != std::string::npos) return true;
    return false;
}

}  // namespace vk
