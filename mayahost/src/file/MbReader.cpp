// The Maya Binary reader: walks the IFF container and turns header chunks,
// node forms, selections and connections into builder statements.
#include "file/MbReader.h"

#include "base/Limits.h"
#include "base/Utf8.h"
#include "file/MaReader.h"
#include "file/MbData.h"

#include <algorithm>
#include <bit>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <unordered_map>
#include <utility>

namespace mayahost::scenefile {

namespace {

// Built-in node form types. The first block was read off twin files (the
// same scene saved as .ma and .mb); the second from node names in 8.5 files.
constexpr std::pair<std::string_view, std::string_view> kNodeTypes[] = {
    {"XFRM", "transform"}, {"DCAM", "camera"}, {"DMSH", "mesh"},
    {"DPLM", "displayLayerManager"}, {"DSPL", "displayLayer"}, {"PBV3", "polyBevel3"},
    {"PCUB", "polyCube"}, {"PCYL", "polyCylinder"}, {"PEXF", "polyExtrudeFace"},
    {"PSDM", "poseInterpolatorManager"}, {"PSPH", "polySphere"}, {"PSPL", "polySplit"},
    {"PTWK", "polyTweak"}, {"RLLK", "lightLinker"}, {"RNDL", "renderLayer"},
    {"RNLM", "renderLayerManager"}, {"SCRP", "script"}, {"SDML", "shapeEditorManager"},
    // from node names only
    {"JOIN", "joint"}, {"KEFF", "ikEffector"}, {"KHDL", "ikHandle"}, {"KRPS", "ikRPsolver"},
    {"LOCT", "locator"}, {"NCRC", "makeNurbCircle"}, {"PEXE", "polyExtrudeEdge"}, {"DEXP", "expression"},
    {"DMTI", "materialInfo"}, {"FPOS", "dagPose"}, {"GRPP", "groupParts"}, {"TGEO", "transformGeometry"},
    {"SHAD", "shadingEngine"}, {"RBLN", "blinn"}, {"DORC", "orientConstraint"}, {"DPAR", "parentConstraint"},
    {"DPTC", "pointConstraint"}, {"DPVC", "poleVectorConstraint"}, {"DSCC", "scaleConstraint"},
    {"PCUA", "animCurveUA"}, {"PCUL", "animCurveUL"}, {"PCUU", "animCurveUU"},
    {"DDMN", "distanceDimShape"}, {"NCRV", "nurbsCurve"}, {"NSRF", "nurbsSurface"}, {"GPID", "groupId"},
    {"OBST", "objectSet"},
    // Plug-in types of files older than the header's type table, from the
    // names Maya gives their default nodes.
    {std::string_view("\x00\x10\x2E\x40", 4), "mentalrayItemsList"},
    {std::string_view("\x00\x10\x2E\x41", 4), "mentalrayGlobals"},
    {std::string_view("\x00\x10\x2E\x42", 4), "mentalrayOptions"},
    {std::string_view("\x00\x10\x2E\x43", 4), "mentalrayFramebuffer"},
};

constexpr size_t kMaxDepth = 8;   // the forms Maya writes nest 3 deep

uint32_t be32(const char* p) {
    const auto* u = reinterpret_cast<const unsigned char*>(p);
    return uint32_t(u[0]) << 24 | uint32_t(u[1]) << 16 | uint32_t(u[2]) << 8 | uint32_t(u[3]);
}
uint64_t be64(const char* p) { return uint64_t(be32(p)) << 32 | be32(p + 4); }
double beDouble(const char* p) { return std::bit_cast<double>(be64(p)); }
float beFloat(const char* p) { return std::bit_cast<float>(be32(p)); }

std::string hex32(uint32_t v) {
    static const char* digits = "0123456789ABCDEF";
    std::string s = "0x";
    for (int i = 28; i >= 0; i -= 4) s += digits[(v >> i) & 15];
    return s;
}

// A printable code as it is, anything else as its number.
std::string codeText(std::string_view code) {
    const bool printable = code.size() == 4 && std::all_of(code.begin(), code.end(), [](char c) {
        return c >= 0x20 && c < 0x7f;
    });
    return printable ? std::string(code) : hex32(code.size() == 4 ? be32(code.data()) : 0);
}

// One group or chunk header inside [begin, end) of its parent.
struct Item {
    uint64_t offset = 0;       // of the header
    std::string_view tag;
    bool group = false;
    std::string_view formType; // groups only
    uint64_t bodyBegin = 0;    // groups: after the form type
    uint64_t bodyEnd = 0;
};

// The children of one group, read one by one with every size checked.
struct Cursor {
    uint64_t first;   // start of the first child: padding counts from here
    uint64_t pos;
    uint64_t end;
};

class MbReader {
public:
    MbReader(std::string_view bytes, std::string_view fileName, StatementBuilder& builder)
        : data_(bytes), file_(fileName), builder_(builder), maxWarnings_(limits().maxWarnings) {}

    ReadResult run() {
        ReadResult r;
        r.bytes = data_.size();
        if (data_.empty()) return fail(ReadError::Empty, "file is empty");
        if (!looksLikeMayaBinary(data_))
            return fail(ReadError::NotMayaAscii, "not a Maya Binary file (FOR4/FOR8 with form type Maya)");
        wide_ = data_.substr(0, 4) == "FOR8";
        const uint64_t header = headerSize();
        uint64_t size = wide_ ? be64(data_.data() + 8) : be32(data_.data() + 4);
        uint64_t end = header + size;
        if (size > data_.size() - header) {
            warn(0, "file is " + std::to_string(data_.size()) + " bytes but its top group claims " +
                        std::to_string(size) + " after its header: truncated, reading what is there");
            end = data_.size();
        }
        trailing_ = data_.size() - end;
        Cursor top{header + 4, header + 4, end};
        Item item;
        while (next(top, item)) {
            if (!item.group) {
                skipped(item, "top level");
                continue;
            }
            Cursor c{item.bodyBegin, item.bodyBegin, item.bodyEnd};
            if (item.formType == "HEAD") readHead(c);
            else if (item.formType == "SLCT") readSelect(item, c);
            else if (item.formType == "CONS" || item.formType == "CONN") readConnections(c, 0);
            else readNode(item, c);
        }
        if (trailing_ > 0) warn(end, std::to_string(trailing_) + " bytes after the top group ignored");
        if (warnings_ > maxWarnings_)
            builder_.warning(FileLoc{file_, 0, 0},
                             std::to_string(warnings_ - maxWarnings_) + " further warnings not shown");
        // Like an ASCII file of comments only: nothing to build a scene from.
        if (statements_ == 0) return fail(ReadError::Empty, "Maya Binary file holds no scene (cut short?)");
        r.statements = statements_;
        r.warnings = warnings_;
        return r;
    }

private:
    uint64_t headerSize() const { return wide_ ? 16 : 8; }
    uint64_t align() const { return wide_ ? 8 : 4; }

    FileLoc loc(uint64_t offset) const {
        return FileLoc{file_, uint32_t(std::min<uint64_t>(offset, UINT32_MAX)), 0};
    }

    void warn(uint64_t offset, const std::string& message) {
        ++warnings_;
        if (warnings_ <= maxWarnings_)
            builder_.warning(loc(offset), "at byte " + std::to_string(offset) + ": " + message);
    }

    ReadResult fail(ReadError e, std::string_view why) const {
        ReadResult r;
        r.error = e;
        r.message = std::string(file_) + ": " + std::string(why);
        r.bytes = data_.size();
        return r;
    }

    // Reads the header at c.pos; false at the end of the parent or when the
    // rest of the parent cannot hold an item (after a warning).
    bool next(Cursor& c, Item& out) {
        while (c.pos < c.end) {
            const uint64_t h = headerSize();
            if (c.end - c.pos < h) {
                warn(c.pos, std::to_string(c.end - c.pos) + " bytes left in the group, too few for a chunk header");
                c.pos = c.end;
                return false;
            }
            const char* p = data_.data() + c.pos;
            out.offset = c.pos;
            out.tag = std::string_view(p, 4);
            const uint64_t size = wide_ ? be64(p + 8) : be32(p + 4);
            const uint64_t room = c.end - c.pos - h;
            if (size > room) {
                warn(c.pos, "chunk " + codeText(out.tag) + " claims " + std::to_string(size) +
                                " bytes, its group holds " + std::to_string(room) + ": rest of the group skipped");
                c.pos = c.end;
                return false;
            }
            const char w = wide_ ? '8' : '4';
            const std::string_view kind = out.tag.substr(0, 3);
            out.group = out.tag[3] == w && (kind == "FOR" || kind == "LIS" || kind == "CAT");
            const uint64_t body = c.pos + h;
            if (out.group) {
                c.pos = body + size;   // groups are not padded
                if (size < 4) {
                    warn(out.offset, "group " + std::string(out.tag) + " too small for its form type: skipped");
                    continue;
                }
                out.formType = data_.substr(body, 4);
                out.bodyBegin = body + 4;
                out.bodyEnd = body + size;
            } else {
                out.formType = {};
                out.bodyBegin = body;
                out.bodyEnd = body + size;
                const uint64_t a = align();
                const uint64_t used = body + size - c.first;
                c.pos = std::min(c.end, c.first + (used + a - 1) / a * a);
            }
            return true;
        }
        return false;
    }

    std::string_view body(const Item& i) const { return data_.substr(i.bodyBegin, i.bodyEnd - i.bodyBegin); }

    void skipped(const Item& item, std::string_view where) {
        const std::string key = codeText(item.tag) + " " + std::string(where);
        if (warnedSkips_.insert(key).second)
            warn(item.offset, (item.group ? "group " : "chunk ") + codeText(item.tag) + " in " + std::string(where) +
                                  " not read: skipped");
    }

    // NUL-terminated string from `s` at `pos`; moves `pos` past the NUL.
    // A string without NUL runs to the end.
    static std::string_view cstr(std::string_view s, size_t& pos) {
        if (pos >= s.size()) return {};
        const size_t z = s.find('\0', pos);
        const std::string_view r = s.substr(pos, z == std::string_view::npos ? s.npos : z - pos);
        pos = z == std::string_view::npos ? s.size() : z + 1;
        return r;
    }

    // ------------------------------------------------------------ header

    void readHead(Cursor c) {
        Item item;
        CurrentUnit units;
        uint64_t unitsAt = 0;
        bool haveUnits = false;
        while (next(c, item)) {
            if (item.group) {
                skipped(item, "HEAD");
                continue;
            }
            const std::string_view b = body(item);
            const FileLoc l = loc(item.offset);
            size_t pos = 0;
            if (item.tag == "VERS") {
                version_ = std::string(cstr(b, pos));
                versionYear_ = std::atoi(version_.c_str());
                Requires r;
                r.plugin = "maya";
                r.version = version_;
                emit([&] { builder_.requiresPlugin(r, l); });
            } else if (item.tag == "FINF") {
                const std::string_view key = cstr(b, pos);
                const std::string_view value = cstr(b, pos);
                emit([&] { builder_.fileInfo(key, value, l); });
            } else if (item.tag == "PLUG") {
                readPlugin(b, l);
            } else if (item.tag == "LUNI" || item.tag == "AUNI" || item.tag == "TUNI") {
                if (!haveUnits) unitsAt = item.offset;
                haveUnits = true;
                // Values are stored in internal units (centimetres, radians) whatever the file's UI units,
                // so those are what the builder is told to convert from.
                const std::string_view v = cstr(b, pos);
                if (item.tag == "LUNI") units.linear = "centimeter";
                else if (item.tag == "AUNI") units.angle = "radian";
                else timeUnit_ = std::string(units.time = v);
            } else if (item.tag == "TDUR") {
                const std::string v(cstr(b, pos));
                const long long t = std::atoll(v.c_str());
                if (t > 0) ticksPerSecond_ = double(t);
            }
            // VERS aside, the header's remaining chunks (UVER, MADE, CHNG, ICON, INFO, OBJN, INCL, BCSZ) say
            // nothing a scene needs.
        }
        if (haveUnits) emit([&] { builder_.currentUnit(units, loc(unitsAt)); });
    }

    // plugin, version, the requires flags as text, then (type name, 4-byte id) pairs.
    void readPlugin(std::string_view b, const FileLoc& l) {
        size_t pos = 0;
        Requires r;
        r.plugin = cstr(b, pos);
        r.version = cstr(b, pos);
        const std::string_view flags = cstr(b, pos);
        // -nodeType "a" -dataType "b": the quoted names after each flag
        size_t at = 0;
        while (at < flags.size()) {
            const size_t dash = flags.find('-', at);
            if (dash == flags.npos) break;
            const size_t q1 = flags.find('"', dash);
            const size_t q2 = q1 == flags.npos ? flags.npos : flags.find('"', q1 + 1);
            if (q2 == flags.npos) break;
            const std::string_view flag = flags.substr(dash, flags.find(' ', dash) - dash);
            const std::string_view name = flags.substr(q1 + 1, q2 - q1 - 1);
            if (flag == "-nodeType") r.nodeTypes.push_back(name);
            else if (flag == "-dataType") r.dataTypes.push_back(name);
            at = q2 + 1;
        }
        while (pos < b.size()) {
            const std::string_view name = cstr(b, pos);
            if (b.size() - pos < 4) break;
            pluginTypes_[be32(b.data() + pos)] = std::string(name);
            pos += 4;
        }
        emit([&] { builder_.requiresPlugin(r, l); });
    }

    // ------------------------------------------------------------ nodes

    std::string typeName(const Item& form) {
        if (const std::string_view known = mbNodeTypeName(form.formType); !known.empty()) return std::string(known);
        const uint32_t id = be32(form.formType.data());
        if (auto it = pluginTypes_.find(id); it != pluginTypes_.end()) return it->second;
        const std::string name = codeText(form.formType);
        if (warnedTypes_.insert(name).second)
            warn(form.offset, "node type code " + name + " unknown: nodes of it get a generic type \"" + name + "\"");
        return name;
    }

    void readNode(const Item& form, Cursor c) {
        Item item;
        if (!next(c, item)) {
            warn(form.offset, "node form " + codeText(form.formType) + " is empty: skipped");
            return;
        }
        if (item.group || item.tag != "CREA") {
            warn(item.offset, "node form " + codeText(form.formType) + " does not start with CREA: skipped");
            return;
        }
        const std::string type = typeName(form);
        const std::string_view b = body(item);
        if (b.empty()) {
            warn(item.offset, "CREA is empty: node skipped");
            return;
        }
        const uint8_t flags = uint8_t(b[0]);
        size_t pos = 1;
        CreateNode cn;
        cn.type = type;
        cn.name = cstr(b, pos);
        // From 2016 the last 16 bytes are the node's uid; a parent name, when
        // there is one, sits between the name and the uid.
        const bool uidEra = wide_ && versionYear_ >= 2016;
        const size_t tail = uidEra ? 16 : 0;
        if (b.size() >= pos + tail + 1) {
            const std::string_view rest = b.substr(pos, b.size() - pos - tail);
            size_t p = 0;
            cn.parent = cstr(rest, p);
            pos += p;
        }
        cn.shared = flags & 0x01;
        meshRead_ = false;
        const FileLoc l = loc(item.offset);
        emit([&] { builder_.createNode(cn, l); });
        if (uidEra) {
            if (b.size() - pos == 16) {
                const std::string uid = uidText(b.data() + pos);
                Rename rn;
                rn.uuid = uid;
                emit([&] { builder_.rename(rn, l); });
            } else {
                warn(item.offset, "CREA of \"" + std::string(cn.name) + "\" has no 16-byte uid");
            }
        }
        readAttributes(c, type);
    }

    // Four little-endian words, printed as 8-4-4-4-12 hex digits.
    static std::string uidText(const char* p) {
        const auto* u = reinterpret_cast<const unsigned char*>(p);
        std::string hex;
        for (int w = 0; w < 4; ++w)
            for (int i = 3; i >= 0; --i) {
                static const char* digits = "0123456789ABCDEF";
                hex += digits[u[w * 4 + i] >> 4];
                hex += digits[u[w * 4 + i] & 15];
            }
        return hex.substr(0, 8) + "-" + hex.substr(8, 4) + "-" + hex.substr(12, 4) + "-" + hex.substr(16, 4) + "-" +
               hex.substr(20);
    }

    void readSelect(const Item& form, Cursor c) {
        Item item;
        if (!next(c, item) || item.group || item.tag != "SLCT") {
            warn(form.offset, "SLCT form without its SLCT chunk: skipped");
            return;
        }
        const std::string_view b = body(item);
        Select s;
        s.noExpand = true;
        size_t pos = 0;
        while (pos < b.size())
            if (const std::string_view n = cstr(b, pos); !n.empty()) s.names.push_back(n);
        const FileLoc l = loc(item.offset);
        emit([&] { builder_.select(s, l); });
        readAttributes(c, "selected node");
    }

    // ------------------------------------------------------------ attributes

    void readAttributes(Cursor c, const std::string& nodeType) {
        Item item;
        while (next(c, item)) {
            if (item.group) {
                skipped(item, nodeType);
                continue;
            }
            readAttribute(item, nodeType);
        }
    }

    void cantDecode(const Item& item, const std::string& nodeType, std::string_view why) {
        const std::string key = codeText(item.tag) + "\n" + nodeType;
        if (warnedSkips_.insert(key).second)
            warn(item.offset, "attribute chunk " + codeText(item.tag) + " on " + nodeType + " not decoded (" +
                                  std::string(why) + "): skipped, and further ones like it without warning");
    }

    // addAttr: a four-byte kind ("aDBL", "aBOL", "aTYP" ...), flags
    // (two bytes before 2014, four after), a count (the children of a
    // compound, which a second word follows), a data type code ("STR ",
    // "aMSG", zero for numbers), the long and the short name. What follows
    // (parent, defaults, ranges) is not read: a value set later lands either way.
    void readAddAttr(const Item& item, const std::string& nodeType) {
        static constexpr std::pair<std::string_view, std::string_view> kinds[] = {
            {"aDBL", "double"}, {"aFLT", "float"}, {"aBOL", "bool"}, {"aMSG", "message"}, {"aCPD", "compound"},
            {"aLNG", "long"}, {"aSHT", "short"}, {"aBYT", "byte"}, {"aCHR", "char"}, {"aENM", "enum"}};
        const std::string_view b = body(item);
        const std::string_view kind = b.substr(0, 4);
        const size_t words = 2 + (kind == "aCPD" ? 1 : 0);
        size_t pos = 4 + (wide_ ? 4 : 2);
        if (pos + 4 * words > b.size()) return cantDecode(item, nodeType, "addAttr header cut short");
        const std::string_view dataType = b.substr(pos + 4 * (words - 1), 4);
        pos += 4 * words;
        AddAttr a;
        a.longName = cstr(b, pos);
        a.shortName = cstr(b, pos);
        if (a.longName.empty() || pos > b.size()) return cantDecode(item, nodeType, "addAttr without names");
        std::string dataTypeName;
        for (const auto& [code, type] : kinds)
            if (kind == code) a.attributeType = type;
        if (kind == "aTYP") {
            dataTypeName = dataType == "STR " ? "string" : codeText(dataType);
            a.dataTypes.push_back(dataTypeName);
        }
        const FileLoc l = loc(item.offset);
        emit([&] { builder_.addAttr(a, l); });
    }

    void readAttribute(const Item& item, const std::string& nodeType) {
        if (item.tag == "ATTR") return readAddAttr(item, nodeType);
        const std::string_view b = body(item);
        size_t pos = 0;
        const std::string_view name = cstr(b, pos);
        if (name.empty() || pos >= b.size()) {
            cantDecode(item, nodeType, "no attribute name and flags");
            return;
        }
        const uint8_t flags = uint8_t(b[pos++]);
        SetAttr& cmd = set_;
        cmd = SetAttr{};
        if (flags & 0x08) {
            if (b.size() - pos < 4) {
                cantDecode(item, nodeType, "multi size cut short");
                return;
            }
            cmd.size = int64_t(be32(b.data() + pos));
            pos += 4;
        }
        const std::string_view v = b.substr(pos);
        const std::string_view tag = item.tag;
        attrName_.assign(".").append(name);
        cmd.attribute = attrName_;

        if (tag == "FLGS") {
            cmd.value = NoValue{};
        } else if (tag == "DBLE" || tag == "CMPD") {
            Numbers n;
            if (tag == "DBLE" && v.size() == 4) {
                n.values.push_back(ticksToTime(double(int32_t(be32(v.data())))));
            } else {
                if (v.size() % 8) return cantDecode(item, nodeType, "size not a multiple of 8");
                n.values.reserve(v.size() / 8);
                for (size_t i = 0; i < v.size(); i += 8) n.values.push_back(doubleOrTime(v.data() + i));
            }
            cmd.value = std::move(n);
        } else if (tag == "DBL2" || tag == "DBL3" || tag == "FLT2" || tag == "FLT3") {
            const bool isFloat = tag[0] == 'F';
            const uint8_t comps = uint8_t(tag[3] - '0');
            const size_t elem = comps * (isFloat ? 4u : 8u);
            if (v.empty() || v.size() % elem) return cantDecode(item, nodeType, "size not a whole number of tuples");
            Numbers n;
            n.kind = isFloat ? NumberKind::Float : NumberKind::Double;
            n.components = comps;
            n.values.reserve(v.size() / (isFloat ? 4 : 8));
            for (size_t i = 0; i < v.size(); i += isFloat ? 4 : 8)
                n.values.push_back(isFloat ? double(beFloat(v.data() + i)) : beDouble(v.data() + i));
            cmd.typeName = isFloat ? (comps == 2 ? "float2" : "float3") : (comps == 2 ? "double2" : "double3");
            cmd.value = std::move(n);
        } else if (tag == "MATR") {
            if (v.size() != 128) return cantDecode(item, nodeType, "not a 16-double matrix");
            MatrixValue m;
            for (size_t i = 0; i < 16; ++i) m.m[i] = beDouble(v.data() + i * 8);
            cmd.typeName = "matrix";
            cmd.value = m;
        } else if (tag == "STR ") {
            size_t p = 0;
            cmd.typeName = "string";
            cmd.value = StringValue{std::string(cstr(v, p))};
        } else if (tag == "STR#") {
            if (v.size() < 4) return cantDecode(item, nodeType, "string count cut short");
            const uint32_t count = be32(v.data());
            // every string takes at least its NUL
            if (count > v.size() - 4) return cantDecode(item, nodeType, "string count beyond the chunk");
            StringArray a;
            a.items.reserve(count);
            size_t p = 4;
            for (uint32_t i = 0; i < count; ++i) {
                if (p >= v.size()) return cantDecode(item, nodeType, "fewer strings than counted");
                a.items.emplace_back(cstr(v, p));
            }
            cmd.typeName = "stringArray";
            cmd.value = std::move(a);
        } else if (tag == "I32#") {
            // no count: the chunk's size gives it
            if (v.size() % 4) return cantDecode(item, nodeType, "size not a multiple of 4");
            DoubleArray a;
            a.kind = NumberKind::Int;
            a.values.reserve(v.size() / 4);
            for (size_t i = 0; i < v.size(); i += 4) a.values.push_back(double(int32_t(be32(v.data() + i))));
            cmd.typeName = "Int32Array";
            cmd.value = std::move(a);
        } else if (tag == "CMP#") {
            StringArray a;
            if (!componentList(v, a)) return cantDecode(item, nodeType, "component list not understood");
            cmd.typeName = "componentList";
            cmd.value = std::move(a);
        } else if (tag == "NRBC" || tag == "NRBS") {
            std::string why;
            const bool ok = tag == "NRBC" ? decodeMbCurve(v, cmd.value.emplace<NurbsCurveData>(), why)
                                          : decodeMbSurface(v, cmd.value.emplace<NurbsSurfaceData>(), why);
            if (!ok) return cantDecode(item, nodeType, why);
            cmd.typeName = tag == "NRBC" ? "nurbsCurve" : "nurbsSurface";
        } else if (tag == "MESH") {
            return readMesh(item, v, nodeType);
        } else {
            return cantDecode(item, nodeType, "unknown value shape");
        }
        const FileLoc l = loc(item.offset);
        emit([&] { builder_.setAttr(cmd, l); });
    }

    // A mesh block becomes the statements a .ma gives the same shape: uv set
    // names and points, then `.vt`, `.ed` and `.fc`. Maya stores it under
    // several attribute names (cached input, output); whichever comes first
    // is the shape's geometry.
    void readMesh(const Item& item, std::string_view v, const std::string& nodeType) {
        if (nodeType != "mesh") return cantDecode(item, nodeType, "mesh data on a node that is not a mesh shape");
        if (meshRead_) return cantDecode(item, nodeType, "a second mesh block on one shape");
        MbMesh mesh;
        std::string why;
        if (!decodeMbMesh(v, mesh, why)) return cantDecode(item, nodeType, why);
        meshRead_ = true;
        if (mesh.skippedTriples && warnedSkips_.insert("MESH block").second)
            warn(item.offset, "mesh data: a block of " + std::to_string(mesh.skippedTriples) +
                                  " float triples after the faces is not understood: skipped, and in further meshes "
                                  "without warning");
        if (mesh.trailingBytes)
            warn(item.offset, "mesh data: " + std::to_string(mesh.trailingBytes) +
                                  " bytes after the uv sets not read (colour sets?)");
        const FileLoc l = loc(item.offset);
        auto emitSet = [&](std::string attribute, std::string_view typeName, size_t count, Value value) {
            if (count == 0) return;
            SetAttr cmd;
            attrName_ = std::move(attribute);
            if (attrName_.back() == '[') attrName_ += "0:" + std::to_string(count - 1) + "]";
            cmd.attribute = attrName_;
            cmd.typeName = typeName;
            if (typeName != "string") cmd.size = int64_t(count);
            cmd.value = std::move(value);
            emit([&] { builder_.setAttr(cmd, l); });
        };
        for (size_t s = 0; s < mesh.uvSets.size(); ++s) {
            MbUvSet& set = mesh.uvSets[s];
            const std::string prefix = ".uvst[" + std::to_string(s) + "].";
            emitSet(prefix + "uvsn", "string", 1, StringValue{std::move(set.name)});
            const size_t points = set.points.size() / 2;
            emitSet(prefix + "uvsp[", "float2", points, Numbers{NumberKind::Float, 2, std::move(set.points)});
        }
        // Counts first: the values are moved out in the same calls.
        const size_t vertices = mesh.vertices.size() / 3, edges = mesh.edges.size() / 3;
        const size_t faces = mesh.faces.faceCount();
        emitSet(".vt[", "", vertices, Numbers{NumberKind::Untyped, 1, std::move(mesh.vertices)});
        emitSet(".ed[", "", edges, Numbers{NumberKind::Untyped, 1, std::move(mesh.edges)});
        emitSet(".fc[", "polyFaces", faces, std::move(mesh.faces));
    }

    // group count, then per group: component code, range count, (first, last) per range.
    static bool componentList(std::string_view v, StringArray& out) {
        static constexpr std::pair<std::string_view, std::string_view> kinds[] = {{"CMDF", "f"}, {"CMDE", "e"}};
        if (v.size() < 4) return false;
        const uint32_t groups = be32(v.data());
        size_t p = 4;
        for (uint32_t g = 0; g < groups; ++g) {
            if (v.size() - p < 8) return false;
            const std::string_view code = v.substr(p, 4);
            std::string_view prefix;
            for (const auto& [c, pf] : kinds)
                if (c == code) prefix = pf;
            if (prefix.empty()) return false;
            const uint32_t ranges = be32(v.data() + p + 4);
            p += 8;
            if (ranges > (v.size() - p) / 8) return false;
            for (uint32_t r = 0; r < ranges; ++r, p += 8) {
                const uint32_t a = be32(v.data() + p), b = be32(v.data() + p + 4);
                std::string s = std::string(prefix) + "[" + std::to_string(a);
                if (b != a) s += ":" + std::to_string(b);
                out.items.push_back(s + "]");
            }
        }
        return p == v.size();
    }

    // Times are stored as integer ticks in a double's bytes; no real double
    // value is subnormal, so a subnormal pattern is read as ticks.
    double doubleOrTime(const char* p) const {
        const uint64_t bits = be64(p);
        const bool subnormal = (bits & 0x7FF0000000000000ull) == 0 && (bits & 0x000FFFFFFFFFFFFFull) != 0;
        return subnormal ? ticksToTime(double(int64_t(bits))) : std::bit_cast<double>(bits);
    }

    double ticksToTime(double ticks) const {
        static constexpr std::pair<std::string_view, double> rates[] = {
            {"game", 15}, {"film", 24}, {"pal", 25}, {"ntsc", 30}, {"show", 48}, {"palf", 50}, {"ntscf", 60},
            {"hour", 1.0 / 3600}, {"min", 1.0 / 60}, {"sec", 1}, {"millisec", 1000}};
        double perSecond = 24;
        for (const auto& [n, r] : rates)
            if (timeUnit_ == n) perSecond = r;
        if (timeUnit_.size() > 3 && timeUnit_.ends_with("fps")) {
            const double r = std::atof(timeUnit_.c_str());
            if (r > 0) perSecond = r;
        }
        return ticks / ticksPerSecond_ * perSecond;
    }

    // ------------------------------------------------------------ connections

    void readConnections(Cursor c, int depth) {
        Item item;
        while (next(c, item)) {
            if (item.group) {
                if (depth + 1 >= int(kMaxDepth)) {
                    warn(item.offset, "groups nested too deep: skipped");
                    continue;
                }
                // CONS holds CONN forms; the depth bound keeps a hostile file's nesting off the stack
                readConnections(Cursor{item.bodyBegin, item.bodyBegin, item.bodyEnd}, depth + 1);
                continue;
            }
            const std::string_view b = body(item);
            const FileLoc l = loc(item.offset);
            if (item.tag == "CWFL") {
                if (b.empty()) {
                    warn(item.offset, "empty CWFL: skipped");
                    continue;
                }
                size_t pos = 1;
                ConnectAttr ca;
                ca.nextAvailable = b[0] & 0x01;
                ca.source = cstr(b, pos);
                ca.destination = cstr(b, pos);
                if (ca.source.empty() || ca.destination.empty()) {
                    warn(item.offset, "CWFL without source and destination: skipped");
                    continue;
                }
                emit([&] { builder_.connectAttr(ca, l); });
            } else if (item.tag == "RELA") {
                size_t pos = 0;
                Relationship r;
                r.kind = cstr(b, pos);
                r.arguments.push_back(cstr(b, pos));
                if (b.size() - std::min(pos, b.size()) < 4) {
                    warn(item.offset, "RELA cut short: skipped");
                    continue;
                }
                const uint32_t n = be32(b.data() + pos);
                pos += 4;
                if (n > b.size() - pos) {
                    warn(item.offset, "RELA counts more plugs than it holds: skipped");
                    continue;
                }
                for (uint32_t i = 0; i < n && pos < b.size(); ++i) r.arguments.push_back(cstr(b, pos));
                emit([&] { builder_.relationship(r, l); });
            } else {
                skipped(item, "CONS");
            }
        }
    }

    template <typename F>
    void emit(F&& f) {
        ++statements_;
        f();
    }

    std::string_view data_;
    std::string_view file_;
    StatementBuilder& builder_;
    uint64_t maxWarnings_;
    bool wide_ = false;
    std::string version_;
    int versionYear_ = 0;
    std::string timeUnit_ = "film";
    double ticksPerSecond_ = 6000;
    std::unordered_map<uint32_t, std::string> pluginTypes_;
    std::set<std::string> warnedTypes_, warnedSkips_;
    std::string attrName_;
    SetAttr set_;
    bool meshRead_ = false;   // the current node's geometry came from a mesh block
    uint64_t statements_ = 0, warnings_ = 0, trailing_ = 0;
};

}  // namespace

bool looksLikeMayaBinary(std::string_view head) {
    if (head.size() >= 12 && head.substr(0, 4) == "FOR4" && head.substr(8, 4) == "Maya") return true;
    return head.size() >= 20 && head.substr(0, 4) == "FOR8" && head.substr(16, 4) == "Maya";
}

bool isMayaBinaryFile(const std::string& path) {
    std::ifstream in(mayahost::utf8Path(path), std::ios::binary);
    char head[20] = {};
    in.read(head, sizeof head);
    return looksLikeMayaBinary(std::string_view(head, size_t(in.gcount())));
}

ReadResult readSceneFile(const std::string& path, StatementBuilder& builder) {
    return isMayaBinaryFile(path) ? readMbFile(path, builder) : readMaFile(path, builder);
}

std::string_view mbNodeTypeName(std::string_view code) {
    for (const auto& [c, name] : kNodeTypes)
        if (c == code) return name;
    return {};
}

ReadResult readMbBytes(std::string_view bytes, std::string_view fileName, StatementBuilder& builder) {
    return MbReader(bytes, fileName, builder).run();
}

ReadResult readMbFile(const std::string& path, StatementBuilder& builder) {
    ReadResult r;
    std::error_code ec;
    const std::filesystem::path file = mayahost::utf8Path(path);
    const auto status = std::filesystem::status(file, ec);
    if (ec || !std::filesystem::exists(status)) {
        r.error = ReadError::FileNotFound;
    } else if (std::filesystem::is_directory(status)) {
        r.error = ReadError::Unreadable;
    } else {
        const uint64_t size = std::filesystem::file_size(file, ec);
        std::ifstream in(file, std::ios::binary);
        std::string bytes;
        if (!ec && in) {
            bytes.resize(size);
            in.read(bytes.data(), std::streamsize(size));
            bytes.resize(size_t(in.gcount()));
            if (!in.bad()) return readMbBytes(bytes, path, builder);
        }
        r.error = ReadError::Unreadable;
    }
    r.message = std::string(readErrorText(r.error)) + ": " + path;
    return r;
}

}  // namespace mayahost::scenefile
