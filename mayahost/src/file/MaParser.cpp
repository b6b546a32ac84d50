#include "file/MaParser.h"
#include "base/Limits.h"

#include <utility>

namespace mayahost::scenefile {

namespace {

bool is(std::string_view flag, std::string_view shortName, std::string_view longName) {
    return flag == shortName || flag == longName;
}

}  // namespace

void StatementParser::warn(uint32_t line, uint32_t column, std::string_view message) {
    ++warnings_;
    if (warnings_ > maxWarnings_) return;
    FileLoc loc{fileName_, line, column};
    builder_.warning(loc, message);
}

void StatementParser::failAt(uint32_t line, uint32_t column, std::string_view message) {
    if (failed_) return;   // one warning per statement
    failed_ = true;
    warn(line, column, message);
}

void StatementParser::fail(const Token& at, std::string_view message) {
    failAt(at.line ? at.line : loc_.line, at.line ? at.column : loc_.column, message);
}

std::string_view StatementParser::store(std::string&& s) {
    if (arenaUsed_ == arena_.size()) arena_.emplace_back();
    std::string& slot = arena_[arenaUsed_++];
    slot = std::move(s);
    return slot;
}

std::string_view StatementParser::resolve(const Token& t) {
    if (t.kind != TokenKind::String || !t.escaped) return t.text;
    if (arenaUsed_ == arena_.size()) arena_.emplace_back();
    std::string& slot = arena_[arenaUsed_++];
    unescape(t.text, slot);
    return slot;
}

bool StatementParser::gatherArgs(Lexer& lex) {
    args_.clear();
    while (true) {
        Token t = lex.next();
        switch (t.kind) {
        case TokenKind::End:
            return true;
        case TokenKind::BadString:
            fail(t, "unterminated string");
            return false;
        case TokenKind::Word:
        case TokenKind::String:
            if (args_.size() >= limits().maxStatementArgs) {
                fail(t, "too many arguments");
                return false;
            }
            args_.push_back(Arg{resolve(t), t.kind == TokenKind::String, t.line, t.column});
            break;
        default:
            fail(t, "unexpected '" + std::string(t.text) + "'");
            return false;
        }
    }
}

void StatementParser::parse(std::string_view text, uint32_t line, uint32_t column) {
    loc_ = FileLoc{fileName_, line, column};
    failed_ = false;
    arenaUsed_ = 0;
    Lexer lex(text, line, column);
    Token cmd = lex.next();
    if (cmd.kind == TokenKind::End) return;   // a lone ';'
    if (cmd.kind != TokenKind::Word) {
        fail(cmd, "statement does not start with a command");
        return;
    }
    const std::string_view name = cmd.text;
    if (name == "setAttr") {
        parseSetAttr(lex);
        return;
    }
    using Handler = void (StatementParser::*)();
    Handler handler = nullptr;
    if (name == "createNode") handler = &StatementParser::parseCreateNode;
    else if (name == "connectAttr" || name == "disconnectAttr") {}  // share one parser, below
    else if (name == "rename") handler = &StatementParser::parseRename;
    else if (name == "addAttr") handler = &StatementParser::parseAddAttr;
    else if (name == "select") handler = &StatementParser::parseSelect;
    else if (name == "relationship") handler = &StatementParser::parseRelationship;
    else if (name == "requires") handler = &StatementParser::parseRequires;
    else if (name == "currentUnit") handler = &StatementParser::parseCurrentUnit;
    else if (name == "fileInfo") handler = &StatementParser::parseFileInfo;
    else if (name == "file") handler = &StatementParser::parseFile;
    else if (name == "parent") handler = &StatementParser::parseParent;
    else if (name == "lockNode") handler = &StatementParser::parseLockNode;
    else if (name == "dataStructure") handler = &StatementParser::parseDataStructure;
    else if (name == "applyMetadata") handler = &StatementParser::parseApplyMetadata;
    else {
        fail(cmd, "unknown command '" + std::string(name.substr(0, 64)) + "' skipped");
        return;
    }
    if (!gatherArgs(lex)) return;
    if (name == "connectAttr" || name == "disconnectAttr") {
        parseConnectAttr(name == "connectAttr");
        return;
    }
    (this->*handler)();
}

// ---------------------------------------------------------------- commands

void StatementParser::parseRequires() {
    Requires cmd;
    std::vector<std::string_view> positional;
    for (size_t i = 0; i < args_.size(); ++i) {
        const Arg& a = args_[i];
        if (!a.quoted && isFlag(a.text)) {
            if (i + 1 >= args_.size()) return failAt(a.line, a.column, "requires: flag without value");
            if (is(a.text, "-nodeType", "-nt")) cmd.nodeTypes.push_back(args_[++i].text);
            else if (is(a.text, "-dataType", "-dt")) cmd.dataTypes.push_back(args_[++i].text);
            else ++i;   // other flags of requires take one value
            continue;
        }
        positional.push_back(a.text);
    }
    if (positional.size() != 2) return failAt(loc_.line, loc_.column, "requires: expected a plug-in and a version");
    cmd.plugin = positional[0];
    cmd.version = positional[1];
    ++statements_;
    builder_.requiresPlugin(cmd, loc_);
}

void StatementParser::parseCurrentUnit() {
    CurrentUnit cmd;
    for (size_t i = 0; i < args_.size(); ++i) {
        const std::string_view f = args_[i].text;
        if (i + 1 >= args_.size()) return failAt(args_[i].line, args_[i].column, "currentUnit: flag without value");
        const std::string_view v = args_[++i].text;
        if (is(f, "-l", "-linear")) cmd.linear = v;
        else if (is(f, "-a", "-angle")) cmd.angle = v;
        else if (is(f, "-t", "-time")) cmd.time = v;
        else return failAt(args_[i].line, args_[i].column, "currentUnit: unknown flag '" + std::string(f.substr(0, 32)) + "'");
    }
    ++statements_;
    builder_.currentUnit(cmd, loc_);
}

void StatementParser::parseFileInfo() {
    size_t i = 0;
    // Some files write "fileInfo -e"; the flag changes nothing for a reader.
    while (i < args_.size() && !args_[i].quoted && isFlag(args_[i].text)) ++i;
    if (args_.size() - i != 2) return failAt(loc_.line, loc_.column, "fileInfo: expected a key and a value");
    ++statements_;
    builder_.fileInfo(args_[i].text, args_[i + 1].text, loc_);
}

void StatementParser::parseFile() {
    FileReference cmd;
    std::vector<std::string_view> positional;
    for (size_t i = 0; i < args_.size(); ++i) {
        const Arg& a = args_[i];
        if (a.quoted || !isFlag(a.text)) {
            positional.push_back(a.text);
            continue;
        }
        const std::string_view f = a.text;
        auto value = [&]() -> std::string_view {
            return i + 1 < args_.size() ? args_[++i].text : std::string_view{};
        };
        if (is(f, "-r", "-reference")) cmd.reference = true;
        else if (is(f, "-ns", "-namespace")) cmd.nameSpace = value();
        else if (is(f, "-rfn", "-referenceNode")) cmd.referenceNode = value();
        else if (is(f, "-typ", "-type")) cmd.fileType = value();
        else if (is(f, "-op", "-options")) cmd.options = value();
        else if (is(f, "-rdi", "-referenceDepthInfo")) cmd.referenceDepthInfo = parseInt(value());
        else if (is(f, "-dr", "-deferReference")) cmd.deferred = parseBool(value()).value_or(false);
        else if (i + 1 < args_.size() && (args_[i + 1].quoted || !isFlag(args_[i + 1].text)) &&
                 i + 2 < args_.size())
            cmd.otherFlags.push_back(ExtraFlag{f, value()});
        else
            cmd.otherFlags.push_back(ExtraFlag{f, {}});
    }
    if (positional.size() != 1) return failAt(loc_.line, loc_.column, "file: expected one file path");
    cmd.path = positional[0];
    ++statements_;
    builder_.file(cmd, loc_);
}

void StatementParser::parseCreateNode() {
    CreateNode cmd;
    bool haveType = false;
    for (size_t i = 0; i < args_.size(); ++i) {
        const Arg& a = args_[i];
        if (!a.quoted && isFlag(a.text)) {
            const std::string_view f = a.text;
            if (is(f, "-s", "-shared")) { cmd.shared = true; continue; }
            if (is(f, "-ss", "-skipSelect")) { cmd.skipSelect = true; continue; }
            if (i + 1 >= args_.size()) return failAt(a.line, a.column, "createNode: flag without value");
            if (is(f, "-n", "-name")) cmd.name = args_[++i].text;
            else if (is(f, "-p", "-parent")) cmd.parent = args_[++i].text;
            else return failAt(a.line, a.column, "createNode: unknown flag '" + std::string(f.substr(0, 32)) + "'");
            continue;
        }
        if (haveType) return failAt(a.line, a.column, "createNode: more than one node type");
        cmd.type = a.text;
        haveType = true;
    }
    if (!haveType || cmd.type.empty()) return failAt(loc_.line, loc_.column, "createNode: no node type");
    ++statements_;
    builder_.createNode(cmd, loc_);
}

void StatementParser::parseRename() {
    Rename cmd;
    std::vector<std::string_view> positional;
    for (size_t i = 0; i < args_.size(); ++i) {
        const Arg& a = args_[i];
        if (!a.quoted && isFlag(a.text)) {
            if (is(a.text, "-uid", "-uuid")) {
                if (i + 1 >= args_.size()) return failAt(a.line, a.column, "rename: -uid without value");
                cmd.uuid = args_[++i].text;
            }
            // -ignoreShape / -is take no value and change nothing here.
            continue;
        }
        positional.push_back(a.text);
    }
    if (positional.size() == 2) {
        cmd.oldName = positional[0];
        cmd.newName = positional[1];
    } else if (positional.size() == 1 && cmd.uuid.empty()) {
        cmd.newName = positional[0];
    } else if (!(positional.empty() && !cmd.uuid.empty())) {
        return failAt(loc_.line, loc_.column, "rename: expected a uuid or names");
    }
    ++statements_;
    builder_.rename(cmd, loc_);
}

void StatementParser::parseSelect() {
    Select cmd;
    for (const Arg& a : args_) {
        if (!a.quoted && isFlag(a.text)) {
            if (is(a.text, "-ne", "-noExpand")) cmd.noExpand = true;
            else if (is(a.text, "-add", "-add")) cmd.add = true;
            // -r (replace) and -cl (clear) need nothing: the list says it all.
            continue;
        }
        cmd.names.push_back(a.text);
    }
    ++statements_;
    builder_.select(cmd, loc_);
}

void StatementParser::parseAddAttr() {
    AddAttr cmd;
    for (size_t i = 0; i < args_.size(); ++i) {
        const Arg& a = args_[i];
        if (a.quoted || !isFlag(a.text)) {
            cmd.node = a.text;
            continue;
        }
        const std::string_view f = a.text;
        // Boolean flags take an optional true/false argument.
        auto optBool = [&]() {
            if (i + 1 < args_.size() && !args_[i + 1].quoted) {
                if (auto b = parseBool(args_[i + 1].text)) {
                    ++i;
                    return *b;
                }
            }
            return true;
        };
        auto value = [&](std::string_view& out) {
            if (i + 1 >= args_.size()) return false;
            out = args_[++i].text;
            return true;
        };
        auto number = [&](std::optional<double>& out) {
            if (i + 1 >= args_.size()) return false;
            out = parseDouble(args_[++i].text);
            return out.has_value();
        };
        bool ok = true;
        std::string_view text;
        if (is(f, "-ln", "-longName")) ok = value(cmd.longName);
        else if (is(f, "-sn", "-shortName")) ok = value(cmd.shortName);
        else if (is(f, "-nn", "-niceName")) ok = value(cmd.niceName);
        else if (is(f, "-at", "-attributeType")) ok = value(cmd.attributeType);
        else if (is(f, "-dt", "-dataType")) { ok = value(text); cmd.dataTypes.push_back(text); }
        else if (is(f, "-p", "-parent")) ok = value(cmd.parent);
        else if (is(f, "-en", "-enumName")) ok = value(cmd.enumNames);
        else if (is(f, "-ct", "-category")) ok = value(cmd.category);
        else if (is(f, "-dv", "-defaultValue")) ok = number(cmd.defaultValue);
        else if (is(f, "-min", "-minValue")) ok = number(cmd.minValue);
        else if (is(f, "-max", "-maxValue")) ok = number(cmd.maxValue);
        else if (is(f, "-smn", "-softMinValue")) ok = number(cmd.softMinValue);
        else if (is(f, "-smx", "-softMaxValue")) ok = number(cmd.softMaxValue);
        else if (is(f, "-nc", "-numberOfChildren")) {
            ok = i + 1 < args_.size() && (cmd.numberOfChildren = parseInt(args_[++i].text)).has_value();
        }
        else if (is(f, "-m", "-multi")) cmd.multi = optBool();
        else if (is(f, "-im", "-indexMatters")) cmd.indexMatters = optBool();
        else if (is(f, "-uac", "-usedAsColor")) cmd.usedAsColor = optBool();
        else if (is(f, "-uaf", "-usedAsFilename")) cmd.usedAsFilename = optBool();
        else if (is(f, "-h", "-hidden")) cmd.hidden = optBool();
        else if (is(f, "-k", "-keyable")) cmd.keyable = optBool();
        else if (is(f, "-ci", "-cachedInternally")) cmd.cachedInternally = optBool();
        else if (is(f, "-is", "-internalSet")) cmd.internalSet = optBool();
        else if (is(f, "-r", "-readable")) cmd.readable = optBool();
        else if (is(f, "-w", "-writable")) cmd.writable = optBool();
        else if (is(f, "-s", "-storable")) cmd.storable = optBool();
        else {
            // Other flags (-dcb, -uap, -pxy ...) are kept; one argument when
            // the next word is not a flag.
            ExtraFlag extra{f, {}};
            if (i + 1 < args_.size() && (args_[i + 1].quoted || !isFlag(args_[i + 1].text)))
                extra.value = args_[++i].text;
            cmd.otherFlags.push_back(extra);
        }
        if (!ok) return failAt(a.line, a.column, "addAttr: bad or missing value for " + std::string(f.substr(0, 32)));
    }
    if (cmd.longName.empty() && cmd.shortName.empty())
        return failAt(loc_.line, loc_.column, "addAttr: no attribute name");
    ++statements_;
    builder_.addAttr(cmd, loc_);
}

void StatementParser::parseConnectAttr(bool connect) {
    std::string_view plugs[2];
    size_t count = 0;
    bool nextAvailable = false, force = false;
    std::optional<bool> lock;
    for (size_t i = 0; i < args_.size(); ++i) {
        const Arg& a = args_[i];
        if (!a.quoted && isFlag(a.text)) {
            if (is(a.text, "-na", "-nextAvailable")) nextAvailable = true;
            else if (is(a.text, "-f", "-force")) force = true;
            else if (is(a.text, "-l", "-lock")) {
                if (i + 1 < args_.size()) lock = parseBool(args_[++i].text);
            }
            continue;
        }
        if (count == 2) return failAt(a.line, a.column, connect ? "connectAttr: more than two plugs" : "disconnectAttr: more than two plugs");
        plugs[count++] = a.text;
    }
    if (count != 2) return failAt(loc_.line, loc_.column, connect ? "connectAttr: expected two plugs" : "disconnectAttr: expected two plugs");
    ++statements_;
    if (connect) {
        ConnectAttr cmd{plugs[0], plugs[1], nextAvailable, force, lock};
        builder_.connectAttr(cmd, loc_);
    } else {
        DisconnectAttr cmd{plugs[0], plugs[1], nextAvailable};
        builder_.disconnectAttr(cmd, loc_);
    }
}

void StatementParser::parseParent() {
    Parent cmd;
    std::vector<std::string_view> names;
    for (const Arg& a : args_) {
        if (!a.quoted && isFlag(a.text)) {
            const std::string_view f = a.text;
            if (is(f, "-w", "-world")) cmd.world = true;
            else if (is(f, "-s", "-shape")) cmd.shape = true;
            else if (is(f, "-nc", "-noConnections")) cmd.noConnections = true;
            else if (is(f, "-r", "-relative")) cmd.relative = true;
            else if (is(f, "-a", "-absolute")) cmd.absolute = true;
            else if (is(f, "-add", "-addObject")) cmd.add = true;
            else return failAt(a.line, a.column, "parent: unknown flag '" + std::string(f.substr(0, 32)) + "'");
            continue;
        }
        names.push_back(a.text);
    }
    if (!cmd.world) {
        if (names.size() < 2) return failAt(loc_.line, loc_.column, "parent: expected children and a parent");
        cmd.parent = names.back();
        names.pop_back();
    } else if (names.empty()) {
        return failAt(loc_.line, loc_.column, "parent: no child named");
    }
    cmd.children = std::move(names);
    ++statements_;
    builder_.parent(cmd, loc_);
}

void StatementParser::parseRelationship() {
    Relationship cmd;
    size_t i = 0;
    if (args_.empty()) return failAt(loc_.line, loc_.column, "relationship: no relationship kind");
    cmd.kind = args_[i++].text;
    for (; i < args_.size(); ++i) cmd.arguments.push_back(args_[i].text);
    ++statements_;
    builder_.relationship(cmd, loc_);
}

void StatementParser::parseLockNode() {
    LockNode cmd;
    for (size_t i = 0; i < args_.size(); ++i) {
        const Arg& a = args_[i];
        if (!a.quoted && isFlag(a.text)) {
            std::optional<bool>* target = nullptr;
            if (is(a.text, "-l", "-lock")) target = &cmd.lock;
            else if (is(a.text, "-lu", "-lockUnpublished")) target = &cmd.lockUnpublished;
            if (target && i + 1 < args_.size()) {
                if (auto b = parseBool(args_[i + 1].text)) { *target = b; ++i; continue; }
            }
            if (target) { *target = true; continue; }
            // -ic (ignoreComponents) and others: no value Maya writes matters here.
            continue;
        }
        cmd.nodes.push_back(a.text);
    }
    ++statements_;
    builder_.lockNode(cmd, loc_);
}

void StatementParser::parseDataStructure() {
    DataStructure cmd;
    for (size_t i = 0; i < args_.size(); ++i) {
        const std::string_view f = args_[i].text;
        if (i + 1 >= args_.size()) return failAt(args_[i].line, args_[i].column, "dataStructure: flag without value");
        const std::string_view v = args_[++i].text;
        if (is(f, "-fmt", "-format")) cmd.format = v;
        else if (is(f, "-as", "-asString")) cmd.asString = v;
    }
    ++statements_;
    builder_.dataStructure(cmd, loc_);
}

void StatementParser::parseApplyMetadata() {
    ApplyMetadata cmd;
    for (size_t i = 0; i < args_.size(); ++i) {
        const Arg& a = args_[i];
        if (a.quoted || !isFlag(a.text)) {
            cmd.nodes.push_back(a.text);
            continue;
        }
        if (is(a.text, "-scn", "-scene")) {
            cmd.scene = true;
            continue;
        }
        if (i + 1 >= args_.size()) return failAt(a.line, a.column, "applyMetadata: flag without value");
        const std::string_view v = args_[++i].text;
        if (is(a.text, "-fmt", "-format")) cmd.format = v;
        else if (is(a.text, "-v", "-value")) cmd.value = v;
        else return failAt(a.line, a.column, "applyMetadata: unknown flag '" + std::string(a.text.substr(0, 32)) + "'");
    }
    ++statements_;
    builder_.applyMetadata(cmd, loc_);
}

}  // namespace mayahost::scenefile
