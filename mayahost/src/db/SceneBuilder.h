#pragma once
// Builds a Scene from the statements of a Maya ASCII file (the reader's
// builder interface), applying each as Maya does when it loads the file.
// A statement that cannot be applied is skipped with a warning naming the
// file and line; loading always goes on.

#include "file/StatementBuilder.h"
#include "db/Scene.h"

#include <initializer_list>
#include <vector>
#include <string>
#include <string_view>

namespace mayahost {

// Centimetres in one of the file's linear units ("cm" or "centimeter" ...);
// 0 for a name Maya does not know.
double centimetresPerLinearUnit(std::string_view unit);

class SceneBuilder : public scenefile::StatementBuilder {
public:
    SceneBuilder(Scene& scene, std::string fileName);

    void requiresPlugin(const scenefile::Requires& cmd, const scenefile::FileLoc& loc) override;
    void currentUnit(const scenefile::CurrentUnit& cmd, const scenefile::FileLoc& loc) override;
    void fileInfo(std::string_view key, std::string_view value, const scenefile::FileLoc& loc) override;
    void file(const scenefile::FileReference& cmd, const scenefile::FileLoc& loc) override;
    void createNode(const scenefile::CreateNode& cmd, const scenefile::FileLoc& loc) override;
    void rename(const scenefile::Rename& cmd, const scenefile::FileLoc& loc) override;
    void select(const scenefile::Select& cmd, const scenefile::FileLoc& loc) override;
    void setAttr(scenefile::SetAttr& cmd, const scenefile::FileLoc& loc) override;
    void addAttr(const scenefile::AddAttr& cmd, const scenefile::FileLoc& loc) override;
    void connectAttr(const scenefile::ConnectAttr& cmd, const scenefile::FileLoc& loc) override;
    void disconnectAttr(const scenefile::DisconnectAttr& cmd, const scenefile::FileLoc& loc) override;
    void parent(const scenefile::Parent& cmd, const scenefile::FileLoc& loc) override;
    void relationship(const scenefile::Relationship& cmd, const scenefile::FileLoc& loc) override;
    void lockNode(const scenefile::LockNode& cmd, const scenefile::FileLoc& loc) override;
    void dataStructure(const scenefile::DataStructure& cmd, const scenefile::FileLoc& loc) override;
    void warning(const scenefile::FileLoc& loc, std::string_view message) override;

    // Programmatic building (the default nodes, tests). Values are in file
    // units as the current unit settings say.
    Node* create(std::string_view type, std::string_view name, Node* parent = nullptr);
    bool set(Node& node, std::string_view attr, std::initializer_list<double> values);
    bool setString(Node& node, std::string_view attr, std::string_view text);
    bool connect(std::string_view source, std::string_view destination, bool nextAvailable = false);

    Node* current() const { return current_; }

private:
    // False, with a warning, for a name longer than limits().maxNameBytes.
    bool nameFits(std::string_view name, std::string_view command, const scenefile::FileLoc& loc);
    // A builder for a file referenced by this one: its names live under
    // `nameSpace` ("outer:inner:"), and it knows the files being loaded above
    // it, so that a file referencing itself through others stops.
    SceneBuilder(Scene& scene, std::string fileName, std::string nameSpace, std::vector<std::string> openFiles);
    // A name as the file writes it, under this file's namespace: "a|b" ->
    // "ns:a|ns:b"; a name starting with ":" is in the root namespace.
    std::string qualified(std::string_view name) const;
    Node* find(std::string_view name) const { return scene_.findNode(qualified(name)); }
    void loadReference(const scenefile::FileReference& cmd, const scenefile::FileLoc& loc);
    // Applies the setAttr edits a reference node keeps (.ed), as Maya does once the reference is loaded.
    void applyReferenceEdits(const scenefile::RawData& edits, const scenefile::FileLoc& loc);

    struct Target {
        Node* node = nullptr;
        PlugPath plug;          // element range excluded: the last step holds `first`
        bool ranged = false;    // the last segment had an index
        bool innerRange = false; // a range before the last segment (".wl[0:15].w")
        int64_t declaredSize = 0; // the statement's -s, a hint only
        int64_t first = 0;
        int64_t last = 0;
    };

    void warn(const scenefile::FileLoc& loc, std::string message);
    Node* lookup(std::string_view name, const scenefile::FileLoc& loc, const char* what);
    bool resolveForSet(std::string_view text, Target& out, const scenefile::FileLoc& loc, bool create);
    bool resolvePlugText(std::string_view text, Node*& node, PlugPath& plug, const scenefile::FileLoc& loc);
    void storeNumbers(Target& target, scenefile::Numbers& numbers, const scenefile::FileLoc& loc);
    void storeDense(Target& target, const scenefile::Numbers& numbers, const scenefile::FileLoc& loc);
    void storeData(Target& target, scenefile::Value&& value, const scenefile::FileLoc& loc);
    double unitFactor(const AttrSpec* attr) const;
    std::string uniqueName(std::string_view base, Node* parent) const;
    bool nameTaken(const std::string& name, Node* parent) const;

    Scene& scene_;
    std::string file_;
    std::string namespace_;               // empty for the opened file
    std::vector<std::string> openFiles_;  // this file and those referencing it, as absolute paths
    Node* current_ = nullptr;
    bool selectionMissing_ = false;
    double linearToCm_ = 1.0;
    double angleToRad_ = 3.14159265358979323846 / 180.0;
};

// Creates Maya's default nodes in an empty scene, as a new Maya scene has them.
void createDefaultNodes(Scene& scene);

}  // namespace mayahost
