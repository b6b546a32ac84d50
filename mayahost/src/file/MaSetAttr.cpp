// setAttr: flags, attribute, and every value form.

#include <algorithm>
#include <limits>
#include <utility>

#include "base/Limits.h"
#include "file/MaParser.h"

namespace mayahost::scenefile {

namespace {

// Each number in the text takes at least two bytes (digit and separator),
// so no count can honestly exceed this; used to bound reservations.
size_t plausibleCount(const Lexer& lex) { return lex.remaining() / 2 + 1; }

// A long run of numbers is counted before it is read, so that its array is
// made once at its size: growing it would copy it and touch twice the pages
// (a 200 MB statement of numbers peaked at 2.1 GB). Short ones grow as usual.
void reserveForNumbers(const Lexer& lex, std::vector<double>& values) {
    constexpr size_t kWorthCounting = 64 << 10;
    if (lex.remaining() < kWorthCounting) return;
    size_t words = 0;
    bool inWord = false;
    for (char c : lex.rest()) {
        const bool space = c == ' ' || c == '\t' || c == '\n' || c == '\r';
        words += !space && !inWord;
        inWord = !space;
    }
    values.reserve(words + 1);
}

bool isWord(const Token& t, std::string_view w) { return t.kind == TokenKind::Word && t.text == w; }

std::string describe(const Token& t) {
    if (t.kind == TokenKind::End) return "end of statement";
    std::string s = "'";
    s.append(t.text.substr(0, 40));
    s += "'";
    return s;
}

}  // namespace

// ---------------------------------------------------------------- helpers

bool StatementParser::readDouble(Lexer& lex, double& v, std::string_view what) {
    if (lex.nextPlainNumber(v)) return true;
    Token t = lex.next();
    if (t.kind == TokenKind::Word) {
        if (auto d = parseNumberOrBool(t.text)) {
            v = *d;
            return true;
        }
    }
    fail(t, std::string(what) + ": expected a number, found " + describe(t));
    return false;
}

bool StatementParser::readInt(Lexer& lex, int64_t& v, std::string_view what) {
    if (lex.nextPlainInt(v)) return true;
    Token t = lex.next();
    if (t.kind == TokenKind::Word) {
        if (auto i = parseInt(t.text)) {
            v = *i;
            return true;
        }
        if (auto b = parseBool(t.text)) {
            v = *b ? 1 : 0;
            return true;
        }
    }
    fail(t, std::string(what) + ": expected an integer, found " + describe(t));
    return false;
}

// A declared element count: never negative, and never more than the rest of
// the statement could hold.
bool StatementParser::readCount(Lexer& lex, int64_t& count, std::string_view what) {
    if (!readInt(lex, count, what)) return false;
    if (count < 0) {
        failAt(lex.line(), 0, std::string(what) + ": negative count " + std::to_string(count));
        return false;
    }
    if (uint64_t(count) > plausibleCount(lex)) {
        failAt(lex.line(), 0, std::string(what) + ": declares " + std::to_string(count) +
                                  " values but the statement holds fewer");
        return false;
    }
    return true;
}

bool StatementParser::expectEnd(Lexer& lex) {
    const Token& t = lex.peek();
    if (t.kind == TokenKind::End) return true;
    fail(t, "setAttr " + std::string(setAttr_.typeName) + ": unexpected " + describe(t) + " after the value");
    return false;
}

// ---------------------------------------------------------------- statement

bool StatementParser::parseSetAttrFlag(Lexer& lex, const Token& flag) {
    const std::string_view f = flag.text;
    auto toggle = [&](std::optional<bool>& out) {
        // Maya writes "-k on"; a bare flag means on.
        const Token& n = lex.peek();
        if (n.kind == TokenKind::Word) {
            if (auto b = parseBool(n.text)) {
                out = *b;
                lex.next();
                return true;
            }
        }
        out = true;
        return true;
    };
    auto integer = [&](std::optional<int64_t>& out) {
        int64_t v = 0;
        if (!readInt(lex, v, "setAttr " + std::string(f))) return false;
        out = v;
        return true;
    };
    if (f == "-type" || f == "-typ") {
        Token t = lex.next();
        if (t.kind != TokenKind::String && t.kind != TokenKind::Word) {
            fail(t, "setAttr: -type without a type name");
            return false;
        }
        setAttr_.typeName = resolve(t);
        return true;
    }
    if (f == "-s" || f == "-size") return integer(setAttr_.size);
    if (f == "-ch" || f == "-capacityHint") return integer(setAttr_.capacityHint);
    if (f == "-k" || f == "-keyable") return toggle(setAttr_.keyable);
    if (f == "-l" || f == "-lock") return toggle(setAttr_.lock);
    if (f == "-cb" || f == "-channelBox") return toggle(setAttr_.channelBox);
    if (f == "-ca" || f == "-caching") return toggle(setAttr_.caching);
    if (f == "-av" || f == "-alteredValue") { setAttr_.alteredValue = true; return true; }
    if (f == "-c" || f == "-clamp") { setAttr_.clamp = true; return true; }
    fail(flag, "setAttr: unknown flag " + describe(flag));
    return false;
}

void StatementParser::parseSetAttr(Lexer& lex) {
    SetAttr& s = setAttr_;
    s.attribute = {};
    s.typeName = {};
    s.size.reset();
    s.capacityHint.reset();
    s.lock.reset();
    s.keyable.reset();
    s.channelBox.reset();
    s.caching.reset();
    s.alteredValue = false;
    s.clamp = false;
    s.value.emplace<NoValue>();

    // Flags and the attribute, in any order, until the value begins.
    while (true) {
        const Token& t = lex.peek();
        if (t.kind == TokenKind::Word && isFlag(t.text)) {
            Token flag = lex.next();
            if (!parseSetAttrFlag(lex, flag)) return;
            continue;
        }
        if (!s.attribute.empty()) break;
        if (t.kind == TokenKind::String || t.kind == TokenKind::Word) {
            s.attribute = resolve(lex.next());
            if (s.attribute.empty()) {
                failAt(loc_.line, loc_.column, "setAttr: empty attribute name");
                return;
            }
            continue;
        }
        if (t.kind == TokenKind::BadString) fail(t, "unterminated string");
        else fail(t, "setAttr: no attribute named");
        return;
    }
    if (!parseValue(lex)) return;
    ++statements_;
    builder_.setAttr(s, loc_);
    // Take reusable storage back (a builder that moved it out leaves it empty).
    if (auto* n = std::get_if<Numbers>(&s.value)) numbers_ = std::move(*n);
    // A huge statement's buffer is not kept for the rest of the file.
    if (numbers_.values.capacity() > (size_t(1) << 20)) numbers_.values = {};
    else if (auto* p = std::get_if<PolyFaces>(&s.value)) polyFaces_ = std::move(*p);
    s.value.emplace<NoValue>();
}

bool StatementParser::parseValue(Lexer& lex) {
    const std::string_view type = setAttr_.typeName;
    bool ok = false;
    if (type.empty()) ok = parseUntyped(lex);
    else if (type == "double3") ok = parseTuple(lex, NumberKind::Double, 3);
    else if (type == "float3") ok = parseTuple(lex, NumberKind::Float, 3);
    else if (type == "double2") ok = parseTuple(lex, NumberKind::Double, 2);
    else if (type == "float2") ok = parseTuple(lex, NumberKind::Float, 2);
    else if (type == "double4") ok = parseTuple(lex, NumberKind::Double, 4);
    else if (type == "long2" || type == "int2" || type == "short2") ok = parseTuple(lex, NumberKind::Int, 2);
    else if (type == "long3" || type == "int3" || type == "short3") ok = parseTuple(lex, NumberKind::Int, 3);
    else if (type == "string") ok = parseString(lex);
    else if (type == "stringArray" || type == "componentList") ok = parseStringList(lex, true);
    else if (type == "attributeAlias") ok = parseBracedStrings(lex);
    else if (type == "matrix") ok = parseMatrix(lex);
    else if (type == "doubleArray") ok = parseNumberArray(lex, NumberKind::Double);
    else if (type == "floatArray") ok = parseNumberArray(lex, NumberKind::Float);
    else if (type == "Int32Array") ok = parseNumberArray(lex, NumberKind::Int);
    else if (type == "pointArray") ok = parsePointArray(lex, 4);
    else if (type == "vectorArray") ok = parsePointArray(lex, 3);
    else if (type == "polyFaces") ok = parsePolyFaces(lex);
    else if (type == "nurbsCurve") {
        NurbsCurveData& c = setAttr_.value.emplace<NurbsCurveData>();
        ok = parseNurbsCurve(lex, c) && expectEnd(lex);
    }
    else if (type == "nurbsSurface") ok = parseNurbsSurface(lex);
    else if (type == "nurbsTrimface") ok = parseTrimface(lex);
    else if (type == "dataPolyComponent") ok = parsePolyComponent(lex);
    else ok = parseRaw(lex);
    return ok;
}

// ---------------------------------------------------------------- numbers

bool StatementParser::parseUntyped(Lexer& lex) {
    const Token& first = lex.peek();
    if (first.kind == TokenKind::End) return true;   // flags only
    if (first.kind == TokenKind::String || first.kind == TokenKind::LParen) return parseString(lex);
    // Maya writes the type only on the first statement of a long face list;
    // the ones that continue it (".fc[500:999]") start straight with "f".
    if (isWord(first, "f")) return parsePolyFaces(lex);
    Numbers& n = numbers_;
    n.kind = NumberKind::Untyped;
    n.components = 1;
    n.values.clear();
    reserveForNumbers(lex, n.values);
    while (true) {
        lex.readPlainNumbers(n.values);
        Token t = lex.next();
        if (t.kind == TokenKind::End) break;
        if (t.kind == TokenKind::Word) {
            if (auto d = parseNumberOrBool(t.text)) {
                n.values.push_back(*d);
                continue;
            }
            if (isFlag(t.text)) {   // flags after the value
                if (!parseSetAttrFlag(lex, t)) return false;
                continue;
            }
        }
        fail(t, "setAttr: bad number " + describe(t));
        return false;
    }
    setAttr_.value.emplace<Numbers>(std::move(n));
    return true;
}

bool StatementParser::parseTuple(Lexer& lex, NumberKind kind, uint8_t components) {
    Numbers& n = numbers_;
    n.kind = kind;
    n.components = components;
    n.values.clear();
    reserveForNumbers(lex, n.values);
    while (true) {
        lex.readPlainNumbers(n.values);
        Token t = lex.next();
        if (t.kind == TokenKind::End) break;
        if (t.kind == TokenKind::Word) {
            if (auto d = parseNumberOrBool(t.text)) {
                n.values.push_back(*d);
                continue;
            }
        }
        fail(t, "setAttr " + std::string(setAttr_.typeName) + ": bad number " + describe(t));
        return false;
    }
    if (n.values.empty() || n.values.size() % components != 0) {
        failAt(loc_.line, loc_.column,
               "setAttr " + std::string(setAttr_.typeName) + ": " + std::to_string(n.values.size()) +
                   " values are not a whole number of " + std::to_string(components) + "-tuples");
        return false;
    }
    setAttr_.value.emplace<Numbers>(std::move(n));
    return true;
}

bool StatementParser::parseNumberArray(Lexer& lex, NumberKind kind) {
    int64_t count = 0;
    if (!readCount(lex, count, setAttr_.typeName)) return false;
    DoubleArray& a = setAttr_.value.emplace<DoubleArray>();
    a.kind = kind;
    a.values.reserve(size_t(count));
    for (int64_t i = 0; i < count; ++i) {
        double v = 0;
        if (!readDouble(lex, v, setAttr_.typeName)) return false;
        a.values.push_back(v);
    }
    return expectEnd(lex);
}

bool StatementParser::parsePointArray(Lexer& lex, uint8_t components) {
    int64_t count = 0;
    if (!readCount(lex, count, setAttr_.typeName)) return false;
    if (uint64_t(count) * components > plausibleCount(lex)) {
        failAt(lex.line(), 0, std::string(setAttr_.typeName) + ": declares " + std::to_string(count) +
                                  " points but the statement holds fewer");
        return false;
    }
    PointArray& a = setAttr_.value.emplace<PointArray>();
    a.components = components;
    a.values.reserve(size_t(count) * components);
    for (int64_t i = 0; i < count * components; ++i) {
        double v = 0;
        if (!readDouble(lex, v, setAttr_.typeName)) return false;
        a.values.push_back(v);
    }
    return expectEnd(lex);
}

bool StatementParser::parseMatrix(Lexer& lex) {
    const Token& first = lex.peek();
    if (first.kind == TokenKind::String && first.text == "xform") {
        lex.next();
        XformMatrix& x = setAttr_.value.emplace<XformMatrix>();
        auto read = [&](double* out, int count) {
            for (int i = 0; i < count; ++i)
                if (!readDouble(lex, out[i], "matrix xform")) return false;
            return true;
        };
        double order = 0, compensate = 0;
        if (!read(x.scale.data(), 3) || !read(x.rotate.data(), 3) || !read(&order, 1) ||
            !read(x.translate.data(), 3) || !read(x.shear.data(), 3) || !read(x.scalePivot.data(), 3) ||
            !read(x.scalePivotTranslation.data(), 3) || !read(x.rotatePivot.data(), 3) ||
            !read(x.rotatePivotTranslation.data(), 3) || !read(x.rotateOrientation.data(), 4) ||
            !read(x.jointOrient.data(), 4) || !read(x.inverseParentScale.data(), 3) || !read(&compensate, 1))
            return false;
        if (!(order >= 0 && order <= 5)) {
            failAt(loc_.line, loc_.column, "matrix xform: rotate order out of range");
            return false;
        }
        x.rotateOrder = int(order);
        x.compensateForParentScale = compensate != 0;
        return expectEnd(lex);
    }
    MatrixValue& m = setAttr_.value.emplace<MatrixValue>();
    for (double& v : m.m)
        if (!readDouble(lex, v, "matrix")) return false;
    return expectEnd(lex);
}

// ---------------------------------------------------------------- strings

// One string, or a parenthesised concatenation ("a" + "b") as Maya writes long
// script texts. Several plain strings (a string multi over a range) become a
// StringArray.
bool StatementParser::parseString(Lexer& lex) {
    std::vector<std::string> parts;
    std::string current;
    while (true) {
        Token t = lex.next();
        if (t.kind == TokenKind::End) break;
        if (t.kind == TokenKind::LParen || t.kind == TokenKind::RParen) continue;
        if (t.kind == TokenKind::Word && t.text == "+") {
            // Joins the previous string with the next one.
            Token n = lex.next();
            while (n.kind == TokenKind::LParen) n = lex.next();
            if (n.kind != TokenKind::String || parts.empty()) {
                fail(n, "setAttr string: '+' without a string after it");
                return false;
            }
            parts.back().append(resolve(n));
            continue;
        }
        if (t.kind == TokenKind::String || t.kind == TokenKind::Word) {
            if (parts.size() >= limits().maxStrings) {
                fail(t, "setAttr string: too many strings");
                return false;
            }
            parts.emplace_back(resolve(t));
            continue;
        }
        if (t.kind == TokenKind::BadString) fail(t, "unterminated string");
        else fail(t, "setAttr string: unexpected " + describe(t));
        return false;
    }
    if (parts.empty()) {
        // "-type string" with nothing after it: an empty string.
        setAttr_.value.emplace<StringValue>();
        return true;
    }
    if (parts.size() == 1) {
        setAttr_.value.emplace<StringValue>().text = std::move(parts[0]);
    } else {
        setAttr_.value.emplace<StringArray>().items = std::move(parts);
    }
    return true;
}

bool StatementParser::parseStringList(Lexer& lex, bool counted) {
    int64_t count = -1;
    // An empty list may be written without its count: -type "componentList" ;
    if (counted && lex.peek().kind != TokenKind::End && !readCount(lex, count, setAttr_.typeName)) return false;
    StringArray& a = setAttr_.value.emplace<StringArray>();
    if (count >= 0) a.items.reserve(size_t(count));
    while (true) {
        Token t = lex.next();
        if (t.kind == TokenKind::End) break;
        if (t.kind == TokenKind::String || t.kind == TokenKind::Word) {
            if (a.items.size() >= limits().maxStrings) {
                fail(t, std::string(setAttr_.typeName) + ": too many strings");
                return false;
            }
            a.items.emplace_back(resolve(t));
            continue;
        }
        if (t.kind == TokenKind::BadString) fail(t, "unterminated string");
        else fail(t, std::string(setAttr_.typeName) + ": unexpected " + describe(t));
        return false;
    }
    if (count >= 0 && a.items.size() != uint64_t(count)) {
        failAt(loc_.line, loc_.column, std::string(setAttr_.typeName) + ": declares " + std::to_string(count) +
                                           " strings but holds " + std::to_string(a.items.size()));
        return false;
    }
    return true;
}

// {"a","b",...}
bool StatementParser::parseBracedStrings(Lexer& lex) {
    StringArray& a = setAttr_.value.emplace<StringArray>();
    Token t = lex.next();
    if (t.kind != TokenKind::LBrace) {
        fail(t, std::string(setAttr_.typeName) + ": expected '{'");
        return false;
    }
    while (true) {
        t = lex.next();
        if (t.kind == TokenKind::RBrace) break;
        if (t.kind == TokenKind::Comma) continue;
        if ((t.kind == TokenKind::String || t.kind == TokenKind::Word) && a.items.size() < limits().maxStrings) {
            a.items.emplace_back(resolve(t));
            continue;
        }
        fail(t, std::string(setAttr_.typeName) + ": unexpected " + describe(t));
        return false;
    }
    return expectEnd(lex);
}

// ---------------------------------------------------------------- meshes

bool StatementParser::parsePolyFaces(Lexer& lex) {
    PolyFaces& pf = polyFaces_;
    pf.clear();
    // Per face: how many loops already got ids in each uv / colour set, so
    // that "mu" after each loop and "mu" after all loops both land right.
    std::vector<uint32_t> uvAssigned, colorAssigned;

    auto readIds = [&](std::vector<int32_t>& out, int64_t count, std::string_view what) {
        bool outOfRange = false;
        int64_t i = count > 0 ? int64_t(lex.readPlainInts(out, size_t(count), outOfRange)) : 0;
        if (outOfRange) {
            failAt(lex.line(), 0, std::string(what) + ": id out of range");
            return false;
        }
        for (; i < count; ++i) {
            int64_t v = 0;
            if (!readInt(lex, v, what)) return false;
            if (v < std::numeric_limits<int32_t>::min() || v > std::numeric_limits<int32_t>::max()) {
                failAt(lex.line(), 0, std::string(what) + ": id out of range");
                return false;
            }
            out.push_back(int32_t(v));
        }
        return true;
    };
    auto addLoopIds = [&](std::vector<PolyFaces::LoopIds>& loops, std::vector<int32_t>& ids,
                          std::vector<uint32_t>& assigned, int64_t set, std::string_view what) {
        if (pf.faceLoopStart.empty()) {
            failAt(lex.line(), 0, std::string("polyFaces: '") + std::string(what) + "' before any face");
            return false;
        }
        if (set < 0 || set >= limits().maxFaceSets) {
            failAt(lex.line(), 0, "polyFaces: set index out of range");
            return false;
        }
        int64_t count = 0;
        if (!readCount(lex, count, what)) return false;
        if (assigned.size() <= size_t(set)) assigned.resize(size_t(set) + 1, 0);
        const uint32_t firstLoop = pf.faceLoopStart.back();
        const uint32_t loop = firstLoop + assigned[size_t(set)];
        if (loop >= pf.loopStart.size()) {   // loopStart holds one entry per loop so far
            failAt(lex.line(), 0, std::string("polyFaces: more '") + std::string(what) + "' entries than loops");
            return false;
        }
        ++assigned[size_t(set)];
        loops.push_back(PolyFaces::LoopIds{loop, int32_t(set), uint32_t(ids.size()), uint32_t(count)});
        return readIds(ids, count, what);
    };

    while (true) {
        Token t = lex.next();
        if (t.kind == TokenKind::End) break;
        if (t.kind != TokenKind::Word) {
            fail(t, "polyFaces: unexpected " + describe(t));
            return false;
        }
        const std::string_view key = t.text;
        int64_t count = 0, set = 0;
        if (key == "f" || key == "h") {
            if (key == "f") {
                pf.faceLoopStart.push_back(uint32_t(pf.loopStart.size()));
                std::fill(uvAssigned.begin(), uvAssigned.end(), 0);
                std::fill(colorAssigned.begin(), colorAssigned.end(), 0);
            } else if (pf.faceLoopStart.empty()) {
                fail(t, "polyFaces: hole before any face");
                return false;
            }
            if (!readCount(lex, count, key == "f" ? "polyFaces f" : "polyFaces h")) return false;
            pf.loopStart.push_back(uint32_t(pf.edges.size()));
            if (!readIds(pf.edges, count, "polyFaces edge")) return false;
        } else if (key == "mu" || key == "mc") {
            if (!readInt(lex, set, key)) return false;
            if (key == "mu" ? !addLoopIds(pf.uvLoops, pf.uvIds, uvAssigned, set, "polyFaces mu")
                            : !addLoopIds(pf.colorLoops, pf.colorIds, colorAssigned, set, "polyFaces mc"))
                return false;
        } else if (key == "mf" || key == "mh") {
            if (!addLoopIds(pf.uvLoops, pf.uvIds, uvAssigned, 0, key == "mf" ? "polyFaces mf" : "polyFaces mh"))
                return false;
        } else if (key == "fc") {
            if (!addLoopIds(pf.colorLoops, pf.colorIds, colorAssigned, 0, "polyFaces fc")) return false;
        } else {
            fail(t, "polyFaces: unknown entry " + describe(t));
            return false;
        }
    }
    // Close the offset arrays.
    pf.loopStart.push_back(uint32_t(pf.edges.size()));
    pf.faceLoopStart.push_back(uint32_t(pf.loopStart.size() - 1));
    setAttr_.value.emplace<PolyFaces>(std::move(pf));
    return true;
}

bool StatementParser::parsePolyComponent(Lexer& lex) {
    PolyComponentData& d = setAttr_.value.emplace<PolyComponentData>();
    Token kind = lex.next();
    Token comp = lex.next();
    if (kind.kind != TokenKind::Word || comp.kind != TokenKind::Word) {
        fail(kind, "dataPolyComponent: expected a data kind and a component");
        return false;
    }
    d.dataKind.assign(kind.text);
    d.component.assign(comp.text);
    if (lex.peek().kind == TokenKind::End) return true;
    int64_t count = 0;
    if (!readCount(lex, count, "dataPolyComponent")) return false;
    if (uint64_t(count) * 2 > plausibleCount(lex)) {
        failAt(lex.line(), 0, "dataPolyComponent: declares more pairs than the statement holds");
        return false;
    }
    d.ids.reserve(size_t(count));
    d.values.reserve(size_t(count));
    for (int64_t i = 0; i < count; ++i) {
        int64_t id = 0;
        double v = 0;
        if (!readInt(lex, id, "dataPolyComponent id") || !readDouble(lex, v, "dataPolyComponent value")) return false;
        d.ids.push_back(int32_t(std::clamp<int64_t>(id, std::numeric_limits<int32_t>::min(),
                                                     std::numeric_limits<int32_t>::max())));
        d.values.push_back(v);
    }
    return expectEnd(lex);
}

// ---------------------------------------------------------------- NURBS

bool StatementParser::parseNurbsCurve(Lexer& lex, NurbsCurveData& c) {
    int64_t degree = 0, spans = 0, form = 0, rational = 0, dimension = 0, count = 0;
    if (!readInt(lex, degree, "nurbsCurve degree") || !readInt(lex, spans, "nurbsCurve spans") ||
        !readInt(lex, form, "nurbsCurve form") || !readInt(lex, rational, "nurbsCurve rational") ||
        !readInt(lex, dimension, "nurbsCurve dimension"))
        return false;
    if (degree < 1 || degree > limits().maxNurbsDegree || spans < 0 || form < 0 || form > 2 || (dimension != 2 && dimension != 3)) {
        failAt(loc_.line, loc_.column, "nurbsCurve: bad header");
        return false;
    }
    c.degree = int(degree);
    c.spans = int(spans);
    c.form = int(form);
    c.rational = rational != 0;
    c.dimension = int(dimension);
    c.knots.clear();
    c.cvs.clear();
    if (!readCount(lex, count, "nurbsCurve knots")) return false;
    c.knots.resize(size_t(count));
    for (double& k : c.knots)
        if (!readDouble(lex, k, "nurbsCurve knot")) return false;
    return readCvs(lex, uint64_t(c.cvStride()), c.cvs, "nurbsCurve");
}

bool StatementParser::readCvs(Lexer& lex, uint64_t stride, std::vector<double>& out, std::string_view what) {
    int64_t count = 0;
    if (!readCount(lex, count, std::string(what) + " cvs")) return false;
    const uint64_t values = uint64_t(count) * stride;
    if (values > plausibleCount(lex)) {
        failAt(lex.line(), 0, std::string(what) + ": declares more cvs than the statement holds");
        return false;
    }
    out.resize(size_t(values));
    const std::string each = std::string(what) + " cv";
    for (double& v : out)
        if (!readDouble(lex, v, each)) return false;
    return true;
}

bool StatementParser::parseNurbsSurface(Lexer& lex) {
    NurbsSurfaceData& s = setAttr_.value.emplace<NurbsSurfaceData>();
    int64_t h[5] = {};
    const char* names[5] = {"nurbsSurface u degree", "nurbsSurface v degree", "nurbsSurface u form",
                            "nurbsSurface v form", "nurbsSurface rational"};
    for (int i = 0; i < 5; ++i)
        if (!readInt(lex, h[i], names[i])) return false;
    if (h[0] < 1 || h[0] > limits().maxNurbsDegree || h[1] < 1 || h[1] > limits().maxNurbsDegree || h[2] < 0 || h[2] > 2 || h[3] < 0 || h[3] > 2) {
        failAt(loc_.line, loc_.column, "nurbsSurface: bad header");
        return false;
    }
    s.uDegree = int(h[0]);
    s.vDegree = int(h[1]);
    s.uForm = int(h[2]);
    s.vForm = int(h[3]);
    s.rational = h[4] != 0;
    auto trimWord = [&]() {
        const Token& t = lex.peek();
        if (isWord(t, "TRIM") || isWord(t, "NOTRIM")) {
            s.trimmed = t.text == "TRIM";
            lex.next();
        }
    };
    auto knots = [&](std::vector<double>& out, std::string_view what) {
        int64_t count = 0;
        if (!readCount(lex, count, what)) return false;
        out.resize(size_t(count));
        for (double& k : out)
            if (!readDouble(lex, k, what)) return false;
        return true;
    };
    trimWord();
    if (!knots(s.uKnots, "nurbsSurface u knots") || !knots(s.vKnots, "nurbsSurface v knots")) return false;
    trimWord();
    return readCvs(lex, uint64_t(s.cvStride()), s.cvs, "nurbsSurface") && expectEnd(lex);
}

bool StatementParser::parseTrimface(Lexer& lex) {
    NurbsTrimface& tf = setAttr_.value.emplace<NurbsTrimface>();
    int64_t flip = 0, boundaries = 0;
    if (!readInt(lex, flip, "nurbsTrimface flip") || !readCount(lex, boundaries, "nurbsTrimface boundaries"))
        return false;
    tf.flipNormal = flip != 0;
    tf.boundaryCount = int(boundaries);
    while (lex.peek().kind != TokenKind::End) {
        double v = 0;
        if (!readDouble(lex, v, "nurbsTrimface")) return false;
        tf.numbers.push_back(v);
    }
    return true;
}

// ---------------------------------------------------------------- others

bool StatementParser::parseRaw(Lexer& lex) {
    RawData& r = setAttr_.value.emplace<RawData>();
    while (true) {
        Token t = lex.next();
        if (t.kind == TokenKind::End) return true;
        if (t.kind == TokenKind::BadString) {
            fail(t, "unterminated string");
            return false;
        }
        if (r.tokens.size() >= limits().maxRawTokens) {
            fail(t, "setAttr " + std::string(setAttr_.typeName) + ": too many values");
            return false;
        }
        r.tokens.emplace_back(resolve(t));
        r.quoted.push_back(t.kind == TokenKind::String);
    }
}

}  // namespace mayahost::scenefile
