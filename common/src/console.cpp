#include "vokram/console.hpp"

#include <cstdlib>
#include <string>

#include "console_io.hpp"
#include "vokram/frame.hpp"

namespace vk {

namespace {

const FatalIo kNoAnswer{kReadError, "стандартният вход свърши, а се очаква отговор"};

namespace io = console_io;

// Set by the `vokram` command for the programs it runs: it waits for the closing key once,
// after the last of them, so they do not (and vokram2's answers are not taken as keys).
bool chain_waits() {
    const char* v = std::getenv("VOKRAM_CHAIN_WAITS");
    return v && std::string_view(v) == "1";
}

// Outside a terminal: every message on a line of its own, keys and answers from
// standard input, so that `vokram1 < /dev/null` and `vokram2 < answers.txt` run unattended.
class PlainConsole : public Console {
  public:
    explicit PlainConsole(std::string program) : program_(std::move(program)), waits_(!chain_waits()) {}
    void clear() override {}
    void write_at(int, int, std::string_view text) override {
        std::string_view t = text;
        while (!t.empty() && t.back() == ' ') t.remove_suffix(1);
        while (!t.empty() && t.front() == ' ') t.remove_prefix(1);
        io::write(std::string(t) + "\n");
    }
    void print(std::string_view line) override { io::write(std::string(line) + "\n"); }
    void wait_key() override {
        if (waits_) io::read_byte();
    }
    char read_key() override {
        int c;
        do c = io::read_byte();
        while (c == '\n' || c == '\r');
        if (c < 0) throw kNoAnswer;
        return static_cast<char>(c);
    }
    std::string read_line() override {
        std::string s;
        int c;
        bool any = false;
        while ((c = io::read_byte()) >= 0) {
            any = true;
            if (c == '\n') break;
            if (c != '\r') s += static_cast<char>(c);
        }
        if (!any) throw kNoAnswer;
        return s;
    }
    // In UTF-8 whatever the terminal, so that a script can read it.
    void error(std::string_view text) override {
        io::write((program_.empty() ? std::string() : program_ + ": ") + std::string(text) + "\n",
                  io::Stream::error);
    }

  protected:
    std::string program_;
    bool waits_;  // false: the closing key is left to the chain command
};

// A terminal: the positioned screen, single keys without echo.
class TerminalConsole : public PlainConsole {
  public:
    using PlainConsole::PlainConsole;
    ~TerminalConsole() override { below_screen(); }
    void clear() override { io::clear(); }
    void write_at(int col, int row, std::string_view text) override {
        io::move_to(col, row);
        io::write(text);
    }
    // The last row says what the program waits for while it waits, then is cleared; the
    // cursor goes back where it was (row 999 stops at the bottom of any screen).
    void wait_key() override {
        if (!waits_) return;
        const std::string last_row = "\0337\x1b[999;1H\x1b[2K";  // ESC 7 saves the cursor, ESC 8 restores it
        io::write(last_row + "Натиснете клавиш ..." + "\0338");
        io::read_key();
        io::write(last_row + "\0338");
    }
    char read_key() override {
        const int c = io::read_key();
        if (c < 0) throw kNoAnswer;
        return static_cast<char>(c);
    }
    void error(std::string_view text) override {
        below_screen();
        PlainConsole::error(text);
    }

  private:
    static void below_screen() {
        io::move_to(1, 24);
        io::write("\n");
    }
};

}  // namespace

std::unique_ptr<Console> make_console(std::string program) {
    if (io::interactive()) return std::make_unique<TerminalConsole>(std::move(program));
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
