// The .ma statement splitter and parser alone, every statement handed to a
// builder that keeps nothing: the fastest way through the text's grammar.
#include "file/MaReader.h"
#include "file/StatementBuilder.h"

#include <string_view>

namespace {

using namespace mayahost::scenefile;

class DiscardingBuilder final : public StatementBuilder {
public:
    void requiresPlugin(const Requires&, const FileLoc&) override {}
    void currentUnit(const CurrentUnit&, const FileLoc&) override {}
    void fileInfo(std::string_view, std::string_view, const FileLoc&) override {}
    void file(const FileReference&, const FileLoc&) override {}
    void createNode(const CreateNode&, const FileLoc&) override {}
    void rename(const Rename&, const FileLoc&) override {}
    void select(const Select&, const FileLoc&) override {}
    void setAttr(SetAttr&, const FileLoc&) override {}
    void addAttr(const AddAttr&, const FileLoc&) override {}
    void connectAttr(const ConnectAttr&, const FileLoc&) override {}
    void disconnectAttr(const DisconnectAttr&, const FileLoc&) override {}
    void parent(const Parent&, const FileLoc&) override {}
    void relationship(const Relationship&, const FileLoc&) override {}
    void lockNode(const LockNode&, const FileLoc&) override {}
    void dataStructure(const DataStructure&, const FileLoc&) override {}
    void warning(const FileLoc&, std::string_view) override {}
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, size_t size) {
    DiscardingBuilder builder;
    readMaText(std::string_view(reinterpret_cast<const char*>(data), size), "fuzz.ma", builder);
    return 0;
}
