#pragma once
// Builds a Scene from the statements of a Maya ASCII file (the reader's
// builder interface), applying each as Maya does when it loads the file.
// A statement that cannot be applied is skipped with a warning naming the
// file and line; loading always goes on.

#include "file/MaBuilder.h"
#include "graph/Scene.h"

#include <initializer_list>
#include <string>
#include <string_view>

namespace mayahost {

// Centimetres in one of the file's linear units ("cm" or "centimeter" ...);
// 0 for a name Maya does not know.
double centimetresPerLinearUnit(std::string_view unit);

class SceneBuilder : public ma::MaBuilder {
public:
    SceneBuilder(Scene& scene, std::string fileName);

    void requiresPlugin(const ma::Requires& cmd, const ma::FileLoc& loc) override;
    void currentUnit(const ma::CurrentUnit& cmd, const ma::FileLoc& loc) override;
    void fileInfo(std::string_view key, std::string_view value, const ma::FileLoc& loc) override;
    void file(const ma::FileReference& cmd, const ma::FileLoc& loc) override;
    void createNode(const ma::CreateNode& cmd, const ma::FileLoc& loc) override;
    void rename(const ma::Rename& cmd, const ma::FileLoc& loc) override;
    void select(const ma::Select& cmd, const ma::FileLoc& loc) override;
    void setAttr(ma::SetAttr& cmd, const ma::FileLoc& loc) override;
    void addAttr(const ma::AddAttr& cmd, const ma::FileLoc& loc) override;
    void connectAttr(const ma::ConnectAttr& cmd, const ma::FileLoc& loc) override;
    void disconnectAttr(const ma::DisconnectAttr& cmd, const ma::FileLoc& loc) override;
    void parent(const ma::Parent& cmd, const ma::FileLoc& loc) override;
    void relationship(const ma::Relationship& cmd, const ma::FileLoc& loc) override;
    void lockNode(const ma::LockNode& cmd, const ma::FileLoc& loc) override;
    void dataStructure(const ma::DataStructure& cmd, const ma::FileLoc& loc) override;
    void warning(const ma::FileLoc& loc, std::string_view message) override;

    // Programmatic building (the default nodes, tests). Values are in file
    // units as the current unit settings say.
    Node* create(std::string_view type, std::string_view name, Node* parent = nullptr);
    bool set(Node& node, std::string_view attr, std::initializer_list<double> values);
    bool setString(Node& node, std::string_view attr, std::string_view text);
    bool connect(std::string_view source, std::string_view destination, bool nextAvailable = false);

    Node* current() const { return current_; }

private:
    struct Target {
        Node* node = nullptr;
        PlugPath plug;          // element range excluded: the last step holds `first`
        bool ranged = false;    // the last segment had an index
        bool innerRange = false; // a range before the last segment (".wl[0:15].w")
        int64_t declaredSize = 0; // the statement's -s, a hint only
        int64_t first = 0;
        int64_t last = 0;
    };

    void warn(const ma::FileLoc& loc, std::string message);
    Node* lookup(std::string_view name, const ma::FileLoc& loc, const char* what);
    bool resolveForSet(std::string_view text, Target& out, const ma::FileLoc& loc, bool create);
    bool resolvePlugText(std::string_view text, Node*& node, PlugPath& plug, const ma::FileLoc& loc);
    void storeNumbers(Target& target, ma::Numbers& numbers, const ma::FileLoc& loc);
    void storeDense(Target& target, const ma::Numbers& numbers, const ma::FileLoc& loc);
    void storeData(Target& target, ma::Value&& value, const ma::FileLoc& loc);
    double unitFactor(const AttrSpec* attr) const;
    std::string uniqueName(std::string_view base, Node* parent) const;
    bool nameTaken(const std::string& name, Node* parent) const;

    Scene& scene_;
    std::string file_;
    Node* current_ = nullptr;
    bool selectionMissing_ = false;
    double linearToCm_ = 1.0;
    double angleToRad_ = 3.14159265358979323846 / 180.0;
};

// Creates Maya's default nodes in an empty scene, as a new Maya scene has them.
void createDefaultNodes(Scene& scene);

}  // namespace mayahost
