// Windows-1251 conversion through the system's own code-page functions, by way of UTF-16.
#include <windows.h>

#include <stdexcept>
#include <string>
#include <string_view>

#include "vokram/text.hpp"

namespace vk {

namespace {

constexpr UINT kCyrillic = 1251;

// Windows takes the one byte that Windows-1251 leaves undefined (0x98) for the control
// character U+0098, and back; no letter of the code page is a C1 control, so such a
// character is refused in both directions, as iconv refuses it.
void refuse_c1(UINT cp, const std::wstring& w) {
    if (cp != kCyrillic) return;
    for (wchar_t c : w)
        if (c >= 0x80 && c <= 0x9f)
            throw std::runtime_error("text not convertible: code page 1251 has no such character");
}

std::wstring widen(UINT from, std::string_view in) {
    if (in.empty()) return {};
    const int len = static_cast<int>(in.size());
    const int n = MultiByteToWideChar(from, MB_ERR_INVALID_CHARS, in.data(), len, nullptr, 0);
    if (n <= 0) throw std::runtime_error("text not convertible from code page " + std::to_string(from));
    std::wstring w(static_cast<std::size_t>(n), L'\0');
    MultiByteToWideChar(from, MB_ERR_INVALID_CHARS, in.data(), len, w.data(), n);
    refuse_c1(from, w);
    return w;
}

// A character the code page lacks is an error, as with iconv, never a silent '?'.
std::string narrow(UINT to, const std::wstring& in) {
    if (in.empty()) return {};
    refuse_c1(to, in);
    const int len = static_cast<int>(in.size());
    BOOL lost = FALSE;
    BOOL* lost_p = to == CP_UTF8 ? nullptr : &lost;
    const DWORD flags = to == CP_UTF8 ? 0 : WC_NO_BEST_FIT_CHARS;
    const int n = WideCharToMultiByte(to, flags, in.data(), len, nullptr, 0, nullptr, lost_p);
    if (n <= 0 || lost) throw std::runtime_error("text not convertible to code page " + std::to_string(to));
    std::string s(static_cast<std::size_t>(n), '\0');
    WideCharToMultiByte(to, flags, in.data(), len, s.data(), n, nullptr, nullptr);
    return s;
}

}  // namespace

std::string to_cp1251(std::string_view utf8) {
    return narrow(kCyrillic, widen(CP_UTF8, utf8));
}

std::string from_cp1251(std::string_view cp1251) {
    return narrow(CP_UTF8, widen(kCyrillic, cp1251));
}

}  // namespace vk
