#pragma once
// Text between the system's UTF-16 and a narrow code page: UTF-8 (the default) or the system's
// ANSI code page (CP_ACP), where what the page cannot show becomes "?".
#include <windows.h>

#include <string>
#include <string_view>

namespace vantu {

inline std::wstring wideText(std::string_view text, UINT codePage = CP_UTF8) {
    const int size =
        MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring out(static_cast<std::size_t>(size > 0 ? size : 0), L'\0');
    MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), out.data(), size);
    return out;
}

inline std::string narrowText(std::wstring_view text, UINT codePage = CP_UTF8) {
    const int size = WideCharToMultiByte(codePage, 0, text.data(), static_cast<int>(text.size()),
                                         nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<std::size_t>(size > 0 ? size : 0), '\0');
    WideCharToMultiByte(codePage, 0, text.data(), static_cast<int>(text.size()), out.data(), size,
                        nullptr, nullptr);
    return out;
}

}  // namespace vantu
