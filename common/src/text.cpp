#include "vokram/text.hpp"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <stdexcept>
#include <system_error>

#include "vokram/folder_lock.hpp"
#include "vokram/frame.hpp"
#include "vokram/platform.hpp"

namespace vk {

std::string real(double v, int w, int d) {
    char buf[64];
    int n = std::snprintf(buf, sizeof buf, "%.*f", d, v);
    std::string s;
    if (n < static_cast<int>(sizeof buf)) {
        s.assign(buf, static_cast<std::size_t>(n));
    } else {
        s.resize(static_cast<std::size_t>(n) + 1);
        std::snprintf(s.data(), s.size(), "%.*f", d, v);
        s.resize(static_cast<std::size_t>(n));
    }
    if (!s.empty() && s[0] == '-' && s.find_first_not_of("0.", 1) == std::string::npos) s.erase(0, 1);
    if (static_cast<int>(s.size()) < w) s.insert(0, static_cast<std::size_t>(w) - s.size(), ' ');
    return s;
}

std::string whole(long long v, int w) {
    std::string s = std::to_string(v);
    if (static_cast<int>(s.size()) < w) s.insert(0, static_cast<std::size_t>(w) - s.size(), ' ');
    return s;
}

std::string in_quotes(std::string_view s) {
    std::string q;
    q.reserve(s.size() + 2);
    q += '"';
    q += s;
    q += '"';
    return q;
}

std::string ascii(std::string_view utf8) {
    std::string out;
    for (const char c : utf8) {
        const auto b = static_cast<unsigned char>(c);
        if (b < 0x80)
            out += c;
        else if ((b & 0xc0) != 0x80)  // the first byte of a character, not a continuation
            out += '?';
    }
    return out;
}

// --- TextFile ---------------------------------------------------------------

TextFile::TextFile(const std::filesystem::path& path, Mode mode) : path_(path) {
    const std::string name = path_to_utf8(path);
    if (mode == Mode::append) {
        check_output(path, name);
        f_ = open_for_append(path);
        if (!f_) throw io_error(errno, name);
        return;
    }
    f_ = create_temporary(path, name, temp_);
    // A new report takes its name at once, so that a stop leaves what was written of it.
    if (mode == Mode::create) {
        put_in_place(temp_, path, name);
        temp_.clear();
    }
}

TextFile::~TextFile() {
    if (f_) std::fclose(f_);
    if (!temp_.empty() && open_) {
        std::error_code ec;
        std::filesystem::remove(temp_, ec);  // an unfinished file never takes the good one's place
    }
}

void TextFile::write_raw(std::string_view bytes) {
    if (!open_) throw std::logic_error("write to a closed file");
    if (!f_) {
        memory_.append(bytes);
        return;
    }
    if (std::fwrite(bytes.data(), 1, bytes.size(), f_) != bytes.size())
        throw io_error(errno, path_to_utf8(path_));
}

TextFile& TextFile::put(std::string_view utf8) {
    write_raw(to_cp1251(utf8));
    current_ += utf8;
    return *this;
}

TextFile& TextFile::bytes(std::string_view cp1251) {
    write_raw(cp1251);
    return *this;
}

TextFile& TextFile::line(std::string_view utf8) {
    put(utf8);
    write_raw("\r\n");
    const std::size_t first = current_.find_first_not_of(' ');
    if (first != std::string::npos)
        last_ = current_.substr(first, current_.find_last_not_of(' ') - first + 1);
    current_.clear();
    return *this;
}

void TextFile::close() {
    if (!open_) return;
    if (f_) {
        std::FILE* f = f_;
        f_ = nullptr;
        const bool flushed = std::fflush(f) == 0;
        const int err = errno;
        const bool closed = std::fclose(f) == 0;
        if (!flushed || !closed) throw io_error(flushed ? errno : err, path_to_utf8(path_));
        if (!temp_.empty()) put_in_place(temp_, path_, path_to_utf8(path_));
    }
    open_ = false;
}

std::vector<std::string> TextFile::lines() const {
    std::vector<std::string> out;
    std::size_t start = 0;
    while (start < memory_.size()) {
        std::size_t end = memory_.find("\r\n", start);
        if (end == std::string::npos) {
            out.push_back(from_cp1251(memory_.substr(start)));
            break;
        }
        out.push_back(from_cp1251(memory_.substr(start, end - start)));
        start = end + 2;
    }
    return out;
}

// --- Reading a file ---------------------------------------------------------

namespace {

// A failure to read: the DOS-style code where the system's error has one (missing,
// access denied), otherwise a read error (100).
FatalIo read_error(int err, const std::string& name) {
    switch (err) {
        case ENOENT:
        case ENOTDIR:
        case EACCES:
        case EPERM:
        case EISDIR:
        case EMFILE:
        case ENFILE:
            return io_error(err, name);
        case ELOOP:
            return FatalIo{kReadError, name + ": грешка при четене: символната връзка сочи в кръг"};
        default:
            return FatalIo{kReadError, name + ": грешка при четене"};
    }
}

// True when `text` holds letters beyond ASCII and all of it is well-formed UTF-8. A Cyrillic
// word in Windows-1251 never is: two of its letters in a row (0xC0 to 0xFF) are not a first
// byte followed by the continuation bytes (0x80 to 0xBF) that a UTF-8 letter needs.
bool utf8_letters(const std::string& text) {
    bool beyond_ascii = false;
    for (std::size_t i = 0; i < text.size();) {
        const auto c = static_cast<unsigned char>(text[i]);
        const std::size_t n = c < 0x80                 ? 1
                              : c >= 0xC2 && c <= 0xDF ? 2
                              : c >= 0xE0 && c <= 0xEF ? 3
                              : c >= 0xF0 && c <= 0xF4 ? 4
                                                       : 0;
        if (n == 0 || i + n > text.size()) return false;
        for (std::size_t k = 1; k < n; ++k)
            if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80) return false;
        beyond_ascii |= n > 1;
        i += n;
    }
    return beyond_ascii;
}

// Text from an editor that saved it in another encoding: the numbers would be misread
// (a byte 0x1A of a UTF-16 letter ends the text) and the headers garbled, so the file is
// refused with the encoding it needs.
void check_encoding(const std::string& text, const std::string& name) {
    const char* found = nullptr;
    if (text.compare(0, 2, "\xff\xfe") == 0 || text.compare(0, 2, "\xfe\xff") == 0)
        found = "UTF-16";
    else if (text.compare(0, 3, "\xef\xbb\xbf") == 0 || utf8_letters(text))
        found = "UTF-8";
    else if (text.find('\0') != std::string::npos)
        found = "UTF-16 или двоичен (съдържа нулеви байтове)";
    if (found)
        throw FatalIo{kReadError, name + ": файлът е в " + found +
                                      "; запишете го като текст в кодировка Windows-1251 (ANSI)"};
}

}  // namespace

std::string read_file(const std::filesystem::path& path, const std::string& name, std::size_t limit) {
    std::error_code ec;
    const std::filesystem::file_status st = std::filesystem::status(path, ec);
    if (ec) throw read_error(ec.default_error_condition().value(), name);
    if (std::filesystem::is_directory(st)) throw read_error(EISDIR, name);
    if (!std::filesystem::is_regular_file(st)) throw FatalIo{kReadError, name + ": не е обикновен файл"};
    std::FILE* f = open_file(path, "rb");
    if (!f) throw read_error(errno, name);
    std::string text;
    char buf[65536];
    std::size_t n;
    errno = 0;
    while (text.size() <= limit && (n = std::fread(buf, 1, sizeof buf, f)) > 0) text.append(buf, n);
    const bool failed = std::ferror(f) != 0;
    const int err = errno;
    std::fclose(f);
    if (failed) throw read_error(err == 0 ? EIO : err, name);
    if (text.size() > limit)
        throw FatalIo{kReadError,
                      name + ": файлът е по-голям от " + whole(static_cast<long long>(limit)) + " байта"};
    check_encoding(text, name);
    return text;
}

std::optional<std::string> read_if_present(const std::filesystem::path& path, const std::string& name,
                                           std::size_t limit) {
    std::error_code ec;
    if (std::filesystem::status(path, ec).type() == std::filesystem::file_type::not_found)
        return std::nullopt;
    return read_file(path, name, limit);
}

// --- NumberReader -----------------------------------------------------------

namespace {

bool is_blank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\v';
}
bool is_digit(char c) {
    return c >= '0' && c <= '9';
}

// True when `t` is a decimal number: [sign] digits [. digits] [e [sign] digits], with at
// least one digit in the mantissa.
bool decimal_syntax(std::string_view t) {
    std::size_t i = 0;
    if (i < t.size() && (t[i] == '+' || t[i] == '-')) ++i;
    std::size_t digits = 0;
    while (i < t.size() && is_digit(t[i])) ++i, ++digits;
    if (i < t.size() && t[i] == '.') {
        ++i;
        while (i < t.size() && is_digit(t[i])) ++i, ++digits;
    }
    if (digits == 0) return false;
    if (i < t.size() && (t[i] == 'e' || t[i] == 'E')) {
        ++i;
        if (i < t.size() && (t[i] == '+' || t[i] == '-')) ++i;
        std::size_t exp_digits = 0;
        while (i < t.size() && is_digit(t[i])) ++i, ++exp_digits;
        if (exp_digits == 0) return false;
    }
    return i == t.size();
}

}  // namespace

NumberReader::NumberReader(std::string text, std::string name)
    : text_(std::move(text)), name_(std::move(name)) {
    // A Ctrl-Z ends the text, as DOS editors mark the end of a file.
    const std::size_t eof = text_.find('\x1a');
    if (eof != std::string::npos) text_.resize(eof);
}

NumberReader NumberReader::open(const std::filesystem::path& path, std::string name, std::size_t limit) {
    std::string text = read_file(path, name, limit);
    return NumberReader(std::move(text), std::move(name));
}

NumberReader NumberReader::open_written(const std::filesystem::path& path, std::string name,
                                        std::size_t limit) {
    std::string text = read_file(path, name, limit);
    if (!text.empty() && text.back() != '\n')
        throw FatalIo{kReadError, name + ": повреден файл: последният ред не е завършен"};
    return NumberReader(std::move(text), std::move(name));
}

void NumberReader::skip_blanks() {
    while (pos_ < text_.size() && is_blank(text_[pos_])) ++pos_;
}

bool NumberReader::at_end() {
    skip_blanks();
    return pos_ >= text_.size();
}

NumberReader::Got NumberReader::next(double& v) {
    skip_blanks();
    if (pos_ >= text_.size()) return Got::end;
    const std::size_t start = token_ = pos_;
    while (pos_ < text_.size() && !is_blank(text_[pos_])) ++pos_;
    token_end_ = pos_;
    const std::string token = text_.substr(start, pos_ - start);
    if (!decimal_syntax(token)) return Got::bad;
    errno = 0;
    char* end = nullptr;
    const double x = std::strtod(token.c_str(), &end);
    if (errno == ERANGE && !std::isfinite(x)) return Got::bad;
    if (!std::isfinite(x)) return Got::bad;
    v = errno == ERANGE ? 0.0 : x;  // an underflow is zero to any survey
    return Got::number;
}

double NumberReader::number() {
    double v = 0.0;
    switch (next(v)) {
        case Got::number:
            return v;
        case Got::end:
            token_ = token_end_ = pos_;
            throw FatalIo{kReadError, where() + ": файлът свършва преждевременно"};
        case Got::bad:
            break;
    }
    throw FatalIo{kBadNumber, bad_token()};
}

long long NumberReader::whole_within(double v, long long lo, long long hi) const {
    if (v != std::floor(v) || v < static_cast<double>(lo) || v > static_cast<double>(hi))
        throw FatalIo{kBadNumber, where() + ": \"" + text_.substr(token_, token_end_ - token_) +
                                      "\" не е цяло число от " + std::to_string(lo) + " до " +
                                      std::to_string(hi)};
    return static_cast<long long>(v);
}

double NumberReader::line_number(double lo, double hi) {
    const double v = line_number();
    if (v < lo || v > hi) {
        char range[80];
        std::snprintf(range, sizeof range, " извън границите от %g до %g", lo, hi);
        throw FatalIo{kBadNumber,
                      where() + ": \"" + text_.substr(token_, token_end_ - token_) + "\"" + range};
    }
    return v;
}

long long NumberReader::integer(long long lo, long long hi) {
    return whole_within(number(), lo, hi);
}

double NumberReader::line_number() {
    while (pos_ < text_.size() && (text_[pos_] == ' ' || text_[pos_] == '\t')) ++pos_;
    if (pos_ >= text_.size() || text_[pos_] == '\r' || text_[pos_] == '\n') {
        token_ = token_end_ = pos_;
        throw FatalIo{kBadNumber, where() + ": празен ред вместо число"};
    }
    const double v = number();
    skip_line();
    return v;
}

long long NumberReader::line_integer(long long lo, long long hi) {
    const double v = line_number();
    return whole_within(v, lo, hi);
}

std::string NumberReader::bad_token() const {
    const std::string t = text_.substr(token_, token_end_ - token_);
    std::string s = where() + ": \"" + t + "\" не е число";
    // A decimal comma, as a spreadsheet writes it: say what the reader expects instead.
    std::string dotted = t;
    std::replace(dotted.begin(), dotted.end(), ',', '.');
    if (dotted != t && decimal_syntax(dotted)) s += " (десетичният знак е точка: " + dotted + ")";
    return s;
}

std::string NumberReader::where() const {
    long long line = 1;
    for (std::size_t i = 0; i < token_ && i < text_.size(); ++i)
        if (text_[i] == '\n') ++line;
    return name_ + ":" + std::to_string(line);
}

bool NumberReader::line_has_number() const {
    std::size_t i = pos_;
    while (i < text_.size() && (text_[i] == ' ' || text_[i] == '\t')) ++i;
    return i < text_.size() && (is_digit(text_[i]) || text_[i] == '-' || text_[i] == '+' || text_[i] == '.');
}

void NumberReader::rows(long long count, const std::function<void()>& row) {
    for (long long i = 0; i < count; ++i) {
        if (!line_has_number())
            throw FatalIo{kReadError, where() + ": повреден файл: редовете са по-малко от броя им"};
        row();
        skip_line();
    }
    if (line_has_number())
        throw FatalIo{kReadError, where() + ": повреден файл: редовете са повече от броя им"};
}

void NumberReader::skip_line() {
    const std::size_t nl = text_.find('\n', pos_);
    pos_ = nl == std::string::npos ? text_.size() : nl + 1;
}

}  // namespace vk
