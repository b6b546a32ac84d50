#pragma once
// UTF-8 <-> wchar_t conversion. wchar_t holds UTF-16 where it is 16 bits wide
// and code points where it is 32. Malformed bytes become U+FFFD.

#include <string>
#include <string_view>

namespace mayahost {

bool isValidUtf8(std::string_view text);
std::wstring utf8ToWide(std::string_view text);
std::string wideToUtf8(std::wstring_view text);

}  // namespace mayahost
