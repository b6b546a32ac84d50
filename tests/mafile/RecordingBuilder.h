#pragma once
// A builder that records every call, for the reader tests.

#include <sstream>
#include <string>
#include <string_view>
#include <vector>

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

class RecordingBuilder : public StatementBuilder {
public:
    // One line per call, e.g. "createNode transform n=pCube1 p= s=0 ss=0".
    std::vector<std::string> calls;
    std::vector<uint32_t> callLines;
    std::vector<RecordedSetAttr> setAttrs;
    std::vector<RecordedWarning> warnings;
    std::vector<std::string> fileNames;     // FileLoc::file of every call

    void requiresPlugin(const Requires& c, const FileLoc& l) override {
        std::ostringstream o;
        o << "requires " << c.plugin << " " << c.version;
        for (auto t : c.nodeTypes) o << " nt=" << t;
        for (auto t : c.dataTypes) o << " dt=" << t;
        add(o, l);
    }
    void currentUnit(const CurrentUnit& c, const FileLoc& l) override {
        std::ostringstream o;
        o << "currentUnit l=" << c.linear << " a=" << c.angle << " t=" << c.time;
        add(o, l);
    }
    void fileInfo(std::string_view k, std::string_view v, const FileLoc& l) override {
        std::ostringstream o;
        o << "fileInfo " << k << "=" << v;
        add(o, l);
    }
    void file(const FileReference& c, const FileLoc& l) override {
        std::ostringstream o;
        o << "file " << c.path << " ns=" << c.nameSpace << " rfn=" << c.referenceNode << " typ=" << c.fileType
          << " op=" << c.options << " r=" << c.reference << " dr=" << c.deferred << " rdi=";
        if (c.referenceDepthInfo) o << *c.referenceDepthInfo; else o << "-";
        add(o, l);
    }
    void createNode(const CreateNode& c, const FileLoc& l) override {
        std::ostringstream o;
        o << "createNode " << c.type << " n=" << c.name << " p=" << c.parent << " s=" << c.shared
          << " ss=" << c.skipSelect;
        add(o, l);
    }
    void rename(const Rename& c, const FileLoc& l) override {
        std::ostringstream o;
        o << "rename " << c.oldName << ">" << c.newName << " uid=" << c.uuid;
        add(o, l);
    }
    void select(const Select& c, const FileLoc& l) override {
        std::ostringstream o;
        o << "select ne=" << c.noExpand << " add=" << c.add;
        for (auto n : c.names) o << " " << n;
        add(o, l);
    }
    void setAttr(SetAttr& c, const FileLoc& l) override {
        RecordedSetAttr r;
        r.attribute = std::string(c.attribute);
        r.typeName = std::string(c.typeName);
        r.flags = c;
        r.flags.attribute = {};
        r.flags.typeName = {};
        r.flags.value = NoValue{};
        r.value = c.value;
        r.line = l.line;
        setAttrs.push_back(std::move(r));
        std::ostringstream o;
        o << "setAttr " << c.attribute;
        add(o, l);
    }
    void addAttr(const AddAttr& c, const FileLoc& l) override {
        std::ostringstream o;
        o << "addAttr ln=" << c.longName << " sn=" << c.shortName << " at=" << c.attributeType;
        for (auto t : c.dataTypes) o << " dt=" << t;
        o << " p=" << c.parent << " m=" << c.multi << " h=" << c.hidden << " k=" << c.keyable
          << " uac=" << c.usedAsColor << " s=" << c.storable;
        if (c.defaultValue) o << " dv=" << *c.defaultValue;
        if (c.minValue) o << " min=" << *c.minValue;
        if (c.maxValue) o << " max=" << *c.maxValue;
        if (c.numberOfChildren) o << " nc=" << *c.numberOfChildren;
        if (!c.enumNames.empty()) o << " en=" << c.enumNames;
        for (const ExtraFlag& f : c.otherFlags) o << " " << f.flag << "=" << f.value;
        add(o, l);
    }
    void connectAttr(const ConnectAttr& c, const FileLoc& l) override {
        std::ostringstream o;
        o << "connectAttr " << c.source << " " << c.destination << " na=" << c.nextAvailable << " f=" << c.force;
        add(o, l);
    }
    void disconnectAttr(const DisconnectAttr& c, const FileLoc& l) override {
        std::ostringstream o;
        o << "disconnectAttr " << c.source << " " << c.destination << " na=" << c.nextAvailable;
        add(o, l);
    }
    void parent(const Parent& c, const FileLoc& l) override {
        std::ostringstream o;
        o << "parent";
        for (auto n : c.children) o << " " << n;
        o << " to=" << c.parent << " w=" << c.world << " s=" << c.shape << " nc=" << c.noConnections
          << " r=" << c.relative << " add=" << c.add;
        add(o, l);
    }
    void relationship(const Relationship& c, const FileLoc& l) override {
        std::ostringstream o;
        o << "relationship " << c.kind;
        for (auto a : c.arguments) o << " " << a;
        add(o, l);
    }
    void lockNode(const LockNode& c, const FileLoc& l) override {
        std::ostringstream o;
        o << "lockNode l=";
        if (c.lock) o << *c.lock; else o << "-";
        o << " lu=";
        if (c.lockUnpublished) o << *c.lockUnpublished; else o << "-";
        for (auto n : c.nodes) o << " " << n;
        add(o, l);
    }
    void dataStructure(const DataStructure& c, const FileLoc& l) override {
        std::ostringstream o;
        o << "dataStructure fmt=" << c.format << " as=" << c.asString;
        add(o, l);
    }
    void applyMetadata(const ApplyMetadata& c, const FileLoc& l) override {
        std::ostringstream o;
        o << "applyMetadata fmt=" << c.format << " scn=" << c.scene << " v=" << c.value;
        for (auto n : c.nodes) o << " " << n;
        add(o, l);
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
    void add(const std::ostringstream& o, const FileLoc& l) {
        calls.push_back(o.str());
        callLines.push_back(l.line);
        fileNames.emplace_back(l.file);
    }
};

// Reads `text` with a recording builder; small chunks make statements cross
// chunk boundaries.
inline ReadResult read(std::string_view text, RecordingBuilder& b, size_t chunkBytes = size_t(1) << 20) {
    mayahost::Limits limits;
    limits.chunkBytes = chunkBytes;
    return readMaText(text, "test.ma", b, limits);
}

}  // namespace mayahost::scenefile::test
