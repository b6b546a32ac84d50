#pragma once
// UTF-8 <-> wchar_t conversion. wchar_t holds UTF-16 where it is 16 bits wide
// and code points where it is 32. Malformed bytes become U+FFFD.

#include <filesystem>
#include <string>
#include <string_view>

namespace mayahost {

bool isValidUtf8(std::string_view text);
std::wstring utf8ToWide(std::string_view text);
std::string wideToUtf8(std::wstring_view text);

// File names are UTF-8 text throughout the stand-in. A path built from a plain
// string takes the system's narrow encoding, which on Windows is a code page,
// not UTF-8; these convert through UTF-8 code units on every system.
inline std::filesystem::path utf8Path(std::string_view name) {
    return std::filesystem::path(std::u8string(name.begin(), name.end()));
}
inline std::string utf8Name(const std::filesystem::path& path) {
    const std::u8string units = path.u8string();
    return std::string(units.begin(), units.end());
}

}  // namespace mayahost
