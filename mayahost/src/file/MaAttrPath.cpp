#include "file/MaLexer.h"
#include "file/Values.h"

namespace mayahost::scenefile {

namespace {

bool parseIndex(std::string_view text, AttrSegment& seg) {
    const size_t colon = text.find(':');
    std::optional<int64_t> first, last;
    if (colon == std::string_view::npos) {
        first = last = parseInt(text);
    } else {
        first = parseInt(text.substr(0, colon));
        last = parseInt(text.substr(colon + 1));
    }
    if (!first || !last || *first < 0 || *last < *first) return false;
    seg.hasIndex = true;
    seg.first = *first;
    seg.last = *last;
    return true;
}

}  // namespace

bool parseAttrPath(std::string_view text, AttrPath& out) {
    out.node = {};
    out.segments.clear();
    // The node part ends at the first '.' outside brackets; DAG paths use '|'
    // and namespaces ':', neither of which is a separator here.
    const size_t dot = text.find('.');
    if (dot == std::string_view::npos) return false;
    out.node = text.substr(0, dot);
    std::string_view rest = text.substr(dot + 1);
    while (true) {
        AttrSegment seg;
        size_t end = 0;
        while (end < rest.size() && rest[end] != '.' && rest[end] != '[' && rest[end] != ']') ++end;
        seg.name = rest.substr(0, end);
        if (seg.name.empty()) return false;
        rest.remove_prefix(end);
        if (!rest.empty() && rest[0] == '[') {
            const size_t close = rest.find(']');
            if (close == std::string_view::npos || !parseIndex(rest.substr(1, close - 1), seg)) return false;
            rest.remove_prefix(close + 1);
        }
        out.segments.push_back(seg);
        if (rest.empty()) return true;
        if (rest[0] != '.') return false;
        rest.remove_prefix(1);
    }
}

}  // namespace mayahost::scenefile
