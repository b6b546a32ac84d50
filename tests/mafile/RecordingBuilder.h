#pragma once
// A builder that records every call, for the reader tests.

#include <optional>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "base/Limits.h"
#include "file/StatementBuilder.h"
#include "file/MaReader.h"

namespace mayahost::scenefile::test {

struct RecordedSetAttr {
    std::string attribute;
    std::string typeName;
    SetAttr flags;     // flags only: attribute/typeName views are cleared
    Value value;
    uint32_t line = 0;
};

struct RecordedWarning {
    std::string file;
    uint32_t line = 0;
    uint32_t column = 0;
    std::string message;
};

// Each item after `sep`.
template <typename C>
std::string each(std::string_view sep, const C& items) {
    std::string s;
    for (std::string_view i : items) (s += sep) += i;
    return s;
}

// `prefix` and the value when there is one, else `none`.
template <typename T>
std::string opt(const std::optional<T>& v, std::string_view prefix = "", std::string_view none = "-") {
    std::ostringstream o;
    if (v) o << prefix << *v; else o << none;
    return o.str();
}

class RecordingBuilder : public StatementBuilder {
public:
    // One line per call, e.g. "createNode transform n=pCube1 p= s=0 ss=0".
    std::vector<std::string> calls;
    std::vector<uint32_t> callLines, callColumns;
    std::vector<RecordedSetAttr> setAttrs;
    std::vector<RecordedWarning> warnings;
    std::vector<std::string> fileNames;     // FileLoc::file of every call

    void requiresPlugin(const Requires& c, const FileLoc& l) override {
        add(l, "requires ", c.plugin, " ", c.version, each(" nt=", c.nodeTypes), each(" dt=", c.dataTypes));
    }
    void currentUnit(const CurrentUnit& c, const FileLoc& l) override {
        add(l, "currentUnit l=", c.linear, " a=", c.angle, " t=", c.time);
    }
    void fileInfo(std::string_view k, std::string_view v, const FileLoc& l) override { add(l, "fileInfo ", k, "=", v); }
    void file(const FileReference& c, const FileLoc& l) override {
        add(l, "file ", c.path, " ns=", c.nameSpace, " rfn=", c.referenceNode, " typ=", c.fileType, " op=", c.options,
            " r=", c.reference, " dr=", c.deferred, " rdi=", opt(c.referenceDepthInfo));
    }
    void createNode(const CreateNode& c, const FileLoc& l) override {
        add(l, "createNode ", c.type, " n=", c.name, " p=", c.parent, " s=", c.shared, " ss=", c.skipSelect);
    }
    void rename(const Rename& c, const FileLoc& l) override {
        add(l, "rename ", c.oldName, ">", c.newName, " uid=", c.uuid);
    }
    void select(const Select& c, const FileLoc& l) override {
        add(l, "select ne=", c.noExpand, " add=", c.add, each(" ", c.names));
    }
    void setAttr(SetAttr& c, const FileLoc& l) override {
        RecordedSetAttr r{std::string(c.attribute), std::string(c.typeName), c, c.value, l.line};
        r.flags.attribute = {};
        r.flags.typeName = {};
        r.flags.value = NoValue{};
        setAttrs.push_back(std::move(r));
        add(l, "setAttr ", c.attribute);
    }
    void addAttr(const AddAttr& c, const FileLoc& l) override {
        std::string other;
        for (const ExtraFlag& f : c.otherFlags) ((other += " ") += f.flag) += "=" + std::string(f.value);
        add(l, "addAttr ln=", c.longName, " sn=", c.shortName, " at=", c.attributeType, each(" dt=", c.dataTypes),
            " p=", c.parent, " m=", c.multi, " h=", c.hidden, " k=", c.keyable, " uac=", c.usedAsColor,
            " s=", c.storable, opt(c.defaultValue, " dv=", ""), opt(c.minValue, " min=", ""),
            opt(c.maxValue, " max=", ""), opt(c.numberOfChildren, " nc=", ""),
            c.enumNames.empty() ? "" : " en=", c.enumNames, other);
    }
    void connectAttr(const ConnectAttr& c, const FileLoc& l) override {
        add(l, "connectAttr ", c.source, " ", c.destination, " na=", c.nextAvailable, " f=", c.force);
    }
    void disconnectAttr(const DisconnectAttr& c, const FileLoc& l) override {
        add(l, "disconnectAttr ", c.source, " ", c.destination, " na=", c.nextAvailable);
    }
    void parent(const Parent& c, const FileLoc& l) override {
        add(l, "parent", each(" ", c.children), " to=", c.parent, " w=", c.world, " s=", c.shape,
            " nc=", c.noConnections, " r=", c.relative, " add=", c.add);
    }
    void relationship(const Relationship& c, const FileLoc& l) override {
        add(l, "relationship ", c.kind, each(" ", c.arguments));
    }
    void lockNode(const LockNode& c, const FileLoc& l) override {
        add(l, "lockNode l=", opt(c.lock), " lu=", opt(c.lockUnpublished), each(" ", c.nodes));
    }
    void dataStructure(const DataStructure& c, const FileLoc& l) override {
        add(l, "dataStructure fmt=", c.format, " as=", c.asString);
    }
    void applyMetadata(const ApplyMetadata& c, const FileLoc& l) override {
        add(l, "applyMetadata fmt=", c.format, " scn=", c.scene, " v=", c.value, each(" ", c.nodes));
    }
    void warning(const FileLoc& l, std::string_view message) override {
        warnings.push_back(RecordedWarning{std::string(l.file), l.line, l.column, std::string(message)});
    }

    // The last setAttr's value as T (test fails if it is another form).
    template <typename T>
    const T* lastValue() const {
        return setAttrs.empty() ? nullptr : std::get_if<T>(&setAttrs.back().value);
    }
    std::string warningText() const {
        std::ostringstream o;
        for (const auto& w : warnings) o << w.line << ": " << w.message << "\n";
        return o.str();
    }

private:
    template <typename... T>
    void add(const FileLoc& l, const T&... parts) {
        std::ostringstream o;
        (o << ... << parts);
        calls.push_back(o.str());
        callLines.push_back(l.line);
        callColumns.push_back(l.column);
        fileNames.emplace_back(l.file);
    }
};

// Reads `text` with a recording builder; small chunks make statements cross
// chunk boundaries.
inline ReadResult read(std::string_view text, RecordingBuilder& b, size_t chunkBytes = size_t(1) << 20) {
    const mayahost::ScopedLimits chunks({.chunkBytes = chunkBytes});
    return readMaText(text, "test.ma", b);
}

}  // namespace mayahost::scenefile::test
