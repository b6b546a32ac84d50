#include "db/ReferencePaths.h"

#include "base/Utf8.h"

#include <cctype>
#include <cstdlib>
#include <filesystem>

namespace mayahost {
namespace {

bool nameChar(char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_'; }

}  // namespace

std::string expandEnvironment(std::string_view text) {
    std::string out;
    for (size_t i = 0; i < text.size();) {
        size_t end = std::string_view::npos;
        std::string name;
        if (text[i] == '$' && i + 1 < text.size() && text[i + 1] == '{') {
            const size_t close = text.find('}', i + 2);
            if (close != std::string_view::npos) name = std::string(text.substr(i + 2, close - i - 2)), end = close + 1;
        } else if (text[i] == '$') {
            size_t j = i + 1;
            while (j < text.size() && nameChar(text[j])) ++j;
            if (j > i + 1) name = std::string(text.substr(i + 1, j - i - 1)), end = j;
        } else if (text[i] == '%') {
            const size_t close = text.find('%', i + 1);
            if (close != std::string_view::npos && close > i + 1) name = std::string(text.substr(i + 1, close - i - 1)), end = close + 1;
        }
        const char* value = name.empty() ? nullptr : std::getenv(name.c_str());
        if (value) {
            out += value;
            i = end;
        } else {
            out += text[i++];
        }
    }
    return out;
}

std::vector<std::string> referenceCandidates(std::string_view stored, const std::string& sceneFile) {
    namespace fs = std::filesystem;
    std::string path = expandEnvironment(stored);
    for (char& c : path)
        if (c == '\\') c = '/';
    const fs::path folder = utf8Path(sceneFile).parent_path();
    std::vector<std::string> out;
    const fs::path given = utf8Path(path);
    // A Windows drive ("C:/...") is absolute where the scene was made, not here.
    const bool drive = path.size() > 2 && std::isalpha(static_cast<unsigned char>(path[0])) && path[1] == ':' && path[2] == '/';
    if (given.is_absolute() || drive) out.push_back(path);
    else out.push_back(utf8Name(folder / given));
    const std::string alone = utf8Name(folder / given.filename());
    if (!given.filename().empty() && alone != out.front()) out.push_back(alone);
    return out;
}

}  // namespace mayahost
