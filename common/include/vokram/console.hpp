// The console: a text screen with 1-based (column, row) positions on a terminal, and
// plain lines on standard output otherwise, so that a module runs unattended with
// its standard input closed or taken from a file of answers.
#pragma once

#include <deque>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace vk {

class Console {
  public:
    virtual ~Console() = default;
    virtual void clear() = 0;
    // Texts are UTF-8; they reach the terminal in its own encoding.
    virtual void write_at(int col, int row, std::string_view text) = 0;
    // A line of a listing, below what is already shown (a program that only reports what
    // it did, not a screen of questions).
    virtual void print(std::string_view line) { write_at(1, 0, line); }
    // Waits for a key that acknowledges a message; end of input counts as a key.
    virtual void wait_key() = 0;
    // A key that answers a question; end of input is a fatal input error.
    virtual char read_key() = 0;
    // A typed line that answers a question; end of input is a fatal input error.
    virtual std::string read_line() = 0;
    // The one line on standard error that says why a run ended early (UTF-8, prefixed
    // with the program's name).
    virtual void error(std::string_view text) = 0;
};

// A terminal console when standard input and output are terminals, a plain one otherwise;
// `program` names the program in its error lines.
std::unique_ptr<Console> make_console(std::string program = {});

// A console for tests: answers come from a script, everything shown is recorded.
class ScriptedConsole : public Console {
  public:
    struct Shown {
        int col, row;
        std::string text;
    };
    std::deque<char> keys;
    std::deque<std::string> typed;
    std::vector<Shown> shown;
    std::vector<std::string> errors;
    int clears = 0;
    int waits = 0;

    void clear() override { ++clears; }
    void write_at(int col, int row, std::string_view text) override {
        shown.push_back({col, row, std::string(text)});
    }
    void wait_key() override { ++waits; }
    char read_key() override;
    std::string read_line() override;
    void error(std::string_view text) override { errors.emplace_back(text); }
    // True when some shown text contains `part`.
    bool showed(std::string_view part) const;
};

}  // namespace vk
