#pragma once

#include <windows.h>

#include <string>

namespace vantu {

// Narrow text in a code page (UTF-8 unless given, CP_ACP for the system's) as the UTF-16 text
// that the W functions take, and back. What the code page cannot show becomes "?"; text that
// cannot be converted at all gives an empty string.
inline std::wstring wide(const std::string& text, UINT codePage = CP_UTF8) {
    const int size =
        MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring out(static_cast<std::size_t>(size > 0 ? size : 0), L'\0');
    MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), out.data(), size);
    return out;
}

inline std::string narrow(const std::wstring& text, UINT codePage = CP_UTF8) {
    const int size = WideCharToMultiByte(codePage, 0, text.data(), static_cast<int>(text.size()),
                                         nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<std::size_t>(size > 0 ? size : 0), '\0');
    WideCharToMultiByte(codePage, 0, text.data(), static_cast<int>(text.size()), out.data(), size,
                        nullptr, nullptr);
    return out;
}

inline std::string utf8(const std::wstring& text) {
    return narrow(text, CP_UTF8);
}

}  // namespace vantu
