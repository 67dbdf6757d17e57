// Windows-1251 conversion through iconv, on the systems that have it.
#include <iconv.h>

#include <stdexcept>
#include <string>
#include <string_view>

#include "vokram/text.hpp"

namespace vk {

namespace {

// A converter from one encoding to another, opened once and kept for the whole run: a
// listing of some thousand lines converts every line.
class Converter {
  public:
    Converter(const char* to, const char* from) : to_(to), cd_(iconv_open(to, from)) {
        if (cd_ == kNone) throw std::runtime_error("iconv cannot convert to " + to_);
    }
    ~Converter() { iconv_close(cd_); }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    std::string operator()(std::string_view in) const {
        iconv(cd_, nullptr, nullptr, nullptr, nullptr);  // from the initial state
        std::string out(in.size() * 4 + 16, '\0');
        char* src = const_cast<char*>(in.data());
        std::size_t src_left = in.size();
        char* dst = out.data();
        std::size_t dst_left = out.size();
        if (iconv(cd_, &src, &src_left, &dst, &dst_left) == static_cast<std::size_t>(-1))
            throw std::runtime_error("text not convertible to " + to_);
        out.resize(out.size() - dst_left);
        return out;
    }

  private:
    static inline const iconv_t kNone = reinterpret_cast<iconv_t>(-1);
    std::string to_;
    iconv_t cd_;
};

bool plain_ascii(std::string_view s) {
    for (unsigned char c : s)
        if (c >= 0x80) return false;
    return true;
}

}  // namespace

std::string to_cp1251(std::string_view utf8) {
    if (plain_ascii(utf8)) return std::string(utf8);
    thread_local const Converter convert("CP1251", "UTF-8");
    return convert(utf8);
}

std::string from_cp1251(std::string_view cp1251) {
    if (plain_ascii(cp1251)) return std::string(cp1251);
    thread_local const Converter convert("UTF-8", "CP1251");
    return convert(cp1251);
}

}  // namespace vk
