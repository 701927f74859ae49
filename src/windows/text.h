#pragma once
// The model keeps texts in UTF-8; the window system takes UTF-16.
#include <string>
#include <string_view>

namespace windows {

std::wstring Widen(std::string_view utf8);
std::string Narrow(std::wstring_view utf16);

}  // namespace windows
