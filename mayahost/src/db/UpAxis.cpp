#include "db/UpAxis.h"

#include <cctype>

namespace mayahost {

namespace {

bool isNameChar(char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_'; }

size_t skipBlanks(std::string_view text, size_t at) {
    while (at < text.size() && std::isspace(static_cast<unsigned char>(text[at]))) ++at;
    return at;
}

// The axis letter of a literal at `at`: z, "z" or 'z' (any case); 0 if none.
char axisLiteral(std::string_view text, size_t at) {
    if (at < text.size() && (text[at] == '"' || text[at] == '\'')) ++at;
    if (at >= text.size()) return 0;
    const char axis = static_cast<char>(std::tolower(static_cast<unsigned char>(text[at])));
    if (axis != 'y' && axis != 'z') return 0;
    if (at + 1 < text.size() && isNameChar(text[at + 1])) return 0;  // a longer word
    return axis;
}

// The literal last assigned to MEL variable `name` before `end`:
// `string $name = "z";` or `$name = "z";`. 0 when there is none.
char variableValue(std::string_view text, std::string_view name, size_t end) {
    char value = 0;
    for (size_t at = text.find(name); at != std::string_view::npos && at < end; at = text.find(name, at + 1)) {
        const size_t after = at + name.size();
        if (after < text.size() && isNameChar(text[after])) continue;
        size_t next = skipBlanks(text, after);
        if (next >= text.size() || text[next] != '=' || (next + 1 < text.size() && text[next + 1] == '=')) continue;
        value = axisLiteral(text, skipBlanks(text, next + 1));
    }
    return value;
}

}  // namespace

char upAxisFromScript(std::string_view script) {
    // The last setting command wins, as it would when the script runs.
    char axis = 'y';
    for (size_t at = script.find("upAxis"); at != std::string_view::npos; at = script.find("upAxis", at + 1)) {
        size_t next = skipBlanks(script, at + 6);
        bool sets = false;
        bool queries = false;
        while (next < script.size() && script[next] == '-') {
            size_t flagEnd = next + 1;
            while (flagEnd < script.size() && isNameChar(script[flagEnd])) ++flagEnd;
            const std::string_view flag = script.substr(next + 1, flagEnd - next - 1);
            if (flag == "q" || flag == "query") queries = true;
            next = skipBlanks(script, flagEnd);
            if (flag == "ax" || flag == "axis") {
                sets = true;
                break;
            }
        }
        if (!sets || queries) continue;
        char found = 0;
        if (next < script.size() && script[next] == '$') {
            size_t nameEnd = next + 1;
            while (nameEnd < script.size() && isNameChar(script[nameEnd])) ++nameEnd;
            found = variableValue(script, script.substr(next, nameEnd - next), next);
        } else {
            found = axisLiteral(script, next);
        }
        if (found) axis = found;
    }
    return axis;
}

}  // namespace mayahost
