// Text layer of the suite: every file the modules write is Windows-1251 with CR LF
// line ends, and every number in it is formatted by the helpers below. No stage
// writes a line end or converts characters itself.
#pragma once

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vk {

// A real right-aligned in w columns with d decimals; the field widens when the value
// needs more room, and w = 0 gives no leading blanks. Negative zero prints as zero.
std::string real(double v, int w, int d);
// A whole number right-aligned in w columns (w = 0: no leading blanks).
std::string whole(long long v, int w = 0);
// A value enclosed in double-quote characters, as report messages name points.
std::string in_quotes(std::string_view s);

// UTF-8 source text to Windows-1251 bytes, through the system's converter (iconv, or the
// code-page functions of Windows); a character the code page lacks is an error.
std::string to_cp1251(std::string_view utf8);
// Windows-1251 bytes to UTF-8 (for tests and for showing a report on a terminal).
std::string from_cp1251(std::string_view cp1251);
// UTF-8 text with each character beyond ASCII as one "?", for a file that must stay ASCII
// (the DXF, the point list) or a name the code page may lack.
std::string ascii(std::string_view utf8);

// Writer of one text file. Texts are given in UTF-8; the file receives Windows-1251
// and CR LF. A file may also live only in memory (for tests of single stages).
class TextFile {
  public:
    enum class Mode {
        create,   // replace any existing file
        append,   // add to an existing file (created when missing)
        replace,  // write to a temporary name and rename over the file on close, so that a
                  // reader never meets a half-written intermediate file
    };

    TextFile() = default;  // in memory
    TextFile(const std::filesystem::path& path, Mode mode);
    TextFile(const TextFile&) = delete;
    TextFile& operator=(const TextFile&) = delete;
    ~TextFile();

    TextFile& put(std::string_view utf8);        // text without a line end
    TextFile& line(std::string_view utf8 = {});  // text and a line end
    TextFile& endl() { return line(); }
    // Bytes already in the file's encoding and line ends: a part kept from the file that
    // this one replaces.
    TextFile& bytes(std::string_view cp1251);

    // Flushes and closes; a write error (full disk) is a fatal file error.
    void close();
    bool is_open() const { return open_; }

    // The lines written so far, as UTF-8 without line ends (memory files only).
    std::vector<std::string> lines() const;
    // The last line written that is not blank, without its leading and trailing blanks:
    // after a stop, the reason the report gives.
    const std::string& last_line() const { return last_; }

  private:
    void write_raw(std::string_view bytes);

    std::FILE* f_ = nullptr;
    std::filesystem::path path_;
    std::filesystem::path temp_;
    bool open_ = true;
    std::string memory_;  // the bytes of a memory file, Windows-1251
    std::string current_, last_;
};

// The bytes of a text file the suite reads: a regular file of at most `limit` bytes, in
// Windows-1251 (or plain ASCII). A folder, a device, a file that cannot be read or one in
// UTF-16 or UTF-8 (a byte-order mark, NUL bytes) is a fatal file error naming `name`.
inline constexpr std::size_t kLargeFile = std::size_t(64) << 20;  // a survey, a report
inline constexpr std::size_t kSmallFile = std::size_t(64) << 10;  // the run token, "P.txt"
std::string read_file(const std::filesystem::path& path, const std::string& name,
                      std::size_t limit = kLargeFile);
// The same for a file that may be absent: none when there is no file of that name.
std::optional<std::string> read_if_present(const std::filesystem::path& path, const std::string& name,
                                           std::size_t limit = kLargeFile);

// Free-format reader of numbers: numbers are separated by blanks, tabs and line ends
// (LF or CR LF); a Ctrl-Z ends the text as in files from DOS editors.
// A number is a decimal with optional sign, fraction and exponent; "nan", "inf",
// hexadecimal and out-of-range values are not numbers.
class NumberReader {
  public:
    enum class Got { number, end, bad };

    NumberReader(std::string text, std::string name);

    // Reads the file whole (read_file); a missing file is a fatal file error.
    static NumberReader open(const std::filesystem::path& path, std::string name,
                             std::size_t limit = kLargeFile);
    // The same for a file the programs wrote (an intermediate file, the run token): they end
    // every line with its line end, so a file whose last line is not complete was cut off
    // and is a damaged file (read error, 100).
    static NumberReader open_written(const std::filesystem::path& path, std::string name,
                                     std::size_t limit = kLargeFile);

    Got next(double& v);
    // The next number; end of text or a bad token is a fatal input error naming the file.
    double number();
    // The next number as a whole number within [lo, hi]; otherwise a fatal input error.
    long long integer(long long lo, long long hi);
    // The number that starts the current line, the rest of the line discarded (a line of
    // parameters: value, unit, explanation). An empty line or a word there is a fatal
    // input error, so that a missing line never shifts the values after it.
    double line_number();
    long long line_integer(long long lo, long long hi);
    // The same within [lo, hi]; a value outside is a fatal input error naming the line.
    double line_number(double lo, double hi);
    // After next() gave `bad`: where and what the offending text is, for standard error
    // ("VK/Geo_Data.txt:15: "54O.236" не е число").
    std::string bad_token() const;
    std::string where() const;  // "file:line" of the last token
    // Reads the table of `count` rows under a count line, the reader at its first row: each
    // row is a line of its own that begins with a number, `row` reads its numbers and the
    // reader moves on to the next line. A table with fewer or more rows than its count is a
    // damaged file (read error, 100).
    void rows(long long count, const std::function<void()>& row);
    // Discards the rest of the current line, its line end included.
    void skip_line();
    void skip_lines(int n) {
        for (int i = 0; i < n; ++i) skip_line();
    }
    // True when only blanks and line ends remain.
    bool at_end();
    void rewind() { pos_ = 0; }
    const std::string& name() const { return name_; }

  private:
    void skip_blanks();
    long long whole_within(double v, long long lo, long long hi) const;
    bool line_has_number() const;  // the current line, from the reader on, begins with a number
    std::string text_;
    std::string name_;
    std::size_t pos_ = 0;
    std::size_t token_ = 0, token_end_ = 0;  // where the last token starts and ends
};

}  // namespace vk
