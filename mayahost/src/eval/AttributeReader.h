#pragma once
// Reading a history node's attributes for the mesh modifiers: one value at a
// time through the scene database, so that a value the file stores, a
// connection and an animation curve all answer the same way. A plug the node
// does not have, or has nothing on, gives "absent" and the caller keeps the
// node's default.

#include <maya/MMatrix.h>

#include "db/Scene.h"
#include "mesh/PolyCreators.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace mayahost {

class AttributeReader {
public:
    AttributeReader(const Scene& scene, const Node& node) : scene_(scene), node_(node) {}

    const Scene& scene() const { return scene_; }
    const Node& node() const { return node_; }

    // The first number on the plug (a stored value, a connection or a schema default).
    std::optional<double> number(const std::string& plug) const;
    double number(const std::string& plug, double fallback) const;
    // Up to `count` numbers the file or a connection gives; absent when nothing is set.
    std::optional<std::vector<double>> tuple(const std::string& plug, size_t count) const;
    // A 4x4 matrix written row by row; absent when unset, malformed or not finite.
    std::optional<MMatrix> matrix(const std::string& plug) const;
    // A componentList ("f[0:3]" "vtx[*]"); absent when the plug holds none.
    std::optional<std::vector<std::string>> componentList(const std::string& plug) const;
    std::optional<std::string> string(const std::string& plug) const;
    // Typed point data ("pointArray", "vectorArray") as x y z per point.
    std::optional<std::vector<float>> points(const std::string& plug) const;
    // Logical indices under a multi that hold a value or a connection.
    std::vector<int64_t> indices(const std::string& multi) const;
    // The node and plug feeding `plug`, or none.
    PlugRef source(const std::string& plug) const;

private:
    bool resolve(const std::string& plug, PlugPath& out) const { return scene_.resolvePlug(node_, plug, out); }

    const Scene& scene_;
    const Node& node_;
};

// A creator node's values as the creators of meshes and surfaces ask for them.
class CreatorAttributes : public PolyAttributeReader {
public:
    CreatorAttributes(const Scene& scene, const Node& node) : reader_(scene, node) {}
    bool number(std::string_view shortName, double& value) const override;
    bool vector3(std::string_view shortName, double (&value)[3]) const override;

private:
    AttributeReader reader_;
};

// "multi[index]": a plug path to one element.
std::string indexed(const std::string& multi, int64_t index);

// "node type T (name)": how the evaluators' findings name a node.
std::string describedNode(const Node& node);
// What a history walk says when it stops at `node` for the depth limit.
std::string historyTooDeep(const Node& node);

// What evaluating one shape (`what`: "mesh", "surface") found, logged once as
// Maya reports what it could not compute while evaluating: each warning, and
// why the result is empty when it is.
void logFindings(const Scene& scene, const char* what, const Node& shape, const std::vector<std::string>& warnings,
                 const std::string& error);

// Indices written in an element key: "wl[0:15].w" -> 0 and 15 after "wl".
// False when `key` does not start with `prefix` followed by "[a:b]" or "[a]"
// and then exactly `rest`.
bool parseRangeKey(const std::string& key, const std::string& prefix, const std::string& rest, int64_t& first,
                   int64_t& last);

}  // namespace mayahost
