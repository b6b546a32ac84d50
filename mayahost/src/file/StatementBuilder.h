#pragma once
// What the Maya ASCII reader emits: one call per statement of the command
// subset Maya writes into .ma files, with the statement's location.
//
// The reader knows nothing of the scene; whoever builds one implements this.
// All string views point into the reader's buffers and are valid only during
// the call: copy what you keep. Optional text arguments that the statement did
// not give are empty views; absent boolean flags are false.

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "file/Values.h"

namespace mayahost::scenefile {

struct FileLoc {
    std::string_view file;
    uint32_t line = 0;    // 1-based line of the statement's first token
    uint32_t column = 0;  // 1-based column of that token; 0 when only the line is known
};

// A flag the reader does not interpret for this command, kept as written
// (`value` empty for a flag without argument).
struct ExtraFlag {
    std::string_view flag;   // with its '-', e.g. "-dcb"
    std::string_view value;
};

// requires [-nodeType T]... [-dataType T]... plugin version
// (the builder call is `requiresPlugin`: `requires` is a C++ keyword)
struct Requires {
    std::string_view plugin;   // "maya", "mtoa" ...
    std::string_view version;
    std::vector<std::string_view> nodeTypes;
    std::vector<std::string_view> dataTypes;
};

// currentUnit -l centimeter -a degree -t film
struct CurrentUnit {
    std::string_view linear;
    std::string_view angle;
    std::string_view time;
};

// file -r / -rdi ...: a scene reference (never loaded by this reader).
struct FileReference {
    std::string_view path;
    std::string_view nameSpace;      // -ns
    std::string_view referenceNode;  // -rfn
    std::string_view fileType;       // -typ ("mayaAscii" ...)
    std::string_view options;        // -op
    bool reference = false;          // -r: the reference itself
    std::optional<int64_t> referenceDepthInfo;  // -rdi: the header form
    bool deferred = false;           // -dr 1
    std::vector<ExtraFlag> otherFlags;
};

// createNode type [-n name] [-p parent] [-s] [-ss]
struct CreateNode {
    std::string_view type;
    std::string_view name;           // may be empty: Maya then names the node
    std::string_view parent;
    bool shared = false;             // -s: reuse the default node of that name
    bool skipSelect = false;         // -ss
};

// rename [-uid uuid] | rename old new
struct Rename {
    std::string_view oldName;        // empty: the current node
    std::string_view newName;
    std::string_view uuid;           // -uid / -uuid
};

// select [-ne] [-r] [-add] names...
struct Select {
    std::vector<std::string_view> names;  // ":time1", "persp" ...
    bool noExpand = false;
    bool add = false;
};

// addAttr: a dynamic attribute on the current node (or on `node` if named).
struct AddAttr {
    std::string_view longName;       // -ln
    std::string_view shortName;      // -sn
    std::string_view niceName;       // -nn
    std::string_view attributeType;  // -at ("double", "compound", "enum" ...)
    std::vector<std::string_view> dataTypes;  // -dt (repeatable)
    std::string_view parent;         // -p: the compound it belongs to
    std::string_view enumNames;      // -en "a:b:c"
    std::string_view category;       // -ct
    std::string_view node;           // trailing positional, rarely written
    std::optional<double> defaultValue;  // -dv
    std::optional<double> minValue, maxValue;          // -min -max
    std::optional<double> softMinValue, softMaxValue;  // -smn -smx
    std::optional<int64_t> numberOfChildren;           // -nc
    bool multi = false;              // -m
    bool indexMatters = true;        // -im
    bool usedAsColor = false;        // -uac
    bool usedAsFilename = false;     // -uaf
    bool hidden = false;             // -h
    bool keyable = false;            // -k
    bool cachedInternally = false;   // -ci
    bool internalSet = false;        // -is
    bool readable = true;            // -r
    bool writable = true;            // -w
    bool storable = true;            // -s
    std::vector<ExtraFlag> otherFlags;
};

// connectAttr src dst [-na] [-f] [-l on]
struct ConnectAttr {
    std::string_view source;
    std::string_view destination;
    bool nextAvailable = false;      // -na
    bool force = false;              // -f
    std::optional<bool> lock;        // -l
};

// disconnectAttr src dst [-na]
struct DisconnectAttr {
    std::string_view source;
    std::string_view destination;
    bool nextAvailable = false;
};

// parent [-s] [-nc] [-r] [-add] [-w] children... parent
struct Parent {
    std::vector<std::string_view> children;
    std::string_view parent;         // empty when `world`
    bool world = false;              // -w
    bool shape = false;              // -s
    bool noConnections = false;      // -nc
    bool relative = false;           // -r
    bool absolute = false;           // -a
    bool add = false;                // -add: instancing
};

// relationship kind node plugs...
struct Relationship {
    std::string_view kind;           // "link", "shadowLink" ...
    std::vector<std::string_view> arguments;
};

// lockNode [-l 0|1] [-lu 0|1] [nodes...]
struct LockNode {
    std::optional<bool> lock;
    std::optional<bool> lockUnpublished;
    std::vector<std::string_view> nodes;   // empty: the current node
};

// dataStructure -fmt "raw" -as "name=...:type=name"
struct DataStructure {
    std::string_view format;
    std::string_view asString;
};

// applyMetadata [-fmt raw] [-scn] -v "..." [nodes...]: metadata values for
// a structure declared by dataStructure.
struct ApplyMetadata {
    std::string_view format;
    std::string_view value;
    bool scene = false;
    std::vector<std::string_view> nodes;   // empty: the current selection
};

class StatementBuilder {
public:
    virtual ~StatementBuilder() = default;

    virtual void requiresPlugin(const Requires& cmd, const FileLoc& loc) = 0;
    virtual void currentUnit(const CurrentUnit& cmd, const FileLoc& loc) = 0;
    virtual void fileInfo(std::string_view key, std::string_view value, const FileLoc& loc) = 0;
    virtual void file(const FileReference& cmd, const FileLoc& loc) = 0;
    virtual void createNode(const CreateNode& cmd, const FileLoc& loc) = 0;
    virtual void rename(const Rename& cmd, const FileLoc& loc) = 0;
    virtual void select(const Select& cmd, const FileLoc& loc) = 0;
    // Non-const: the builder may move large data out of `cmd.value`.
    virtual void setAttr(SetAttr& cmd, const FileLoc& loc) = 0;
    virtual void addAttr(const AddAttr& cmd, const FileLoc& loc) = 0;
    virtual void connectAttr(const ConnectAttr& cmd, const FileLoc& loc) = 0;
    virtual void disconnectAttr(const DisconnectAttr& cmd, const FileLoc& loc) = 0;
    virtual void parent(const Parent& cmd, const FileLoc& loc) = 0;
    virtual void relationship(const Relationship& cmd, const FileLoc& loc) = 0;
    virtual void lockNode(const LockNode& cmd, const FileLoc& loc) = 0;
    virtual void dataStructure(const DataStructure& cmd, const FileLoc& loc) = 0;
    // Metadata has no use in a scene for rendering; builders may ignore it.
    virtual void applyMetadata(const ApplyMetadata& cmd, const FileLoc& loc) { (void)cmd; (void)loc; }

    // The reader's own complaints: a malformed or unknown statement it skipped,
    // a declared size that does not match the data. Reading goes on.
    virtual void warning(const FileLoc& loc, std::string_view message) = 0;
};

}  // namespace mayahost::scenefile
