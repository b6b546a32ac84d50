#pragma once
// Loads small Maya ASCII scenes written by the tests, and finds their nodes.

#include "tests/plugin/LogCapture.h"

#include <maya/MDagPath.h>
#include <maya/MFileIO.h>
#include <maya/MFnDependencyNode.h>
#include <maya/MItDag.h>
#include <maya/MItDependencyNodes.h>
#include <maya/MLibrary.h>
#include <maya/MObject.h>

#include <fstream>
#include <string>

class MayaSceneTest : public LogCapture {
 protected:
  static void SetUpTestSuite() {
    static const bool started = !MLibrary::initialize("plugin_tests", true).error();
    ASSERT_TRUE(started);
  }

  // Writes `body` after a standard header to <scratch>/<name>.ma.
  std::string write(const std::string& body, const std::string& name = "scene") const {
    const std::string path = (root_ / (name + ".ma")).string();
    std::ofstream(path) << "//Maya ASCII 2011 scene\nrequires maya \"2011\";\n"
                           "currentUnit -l centimeter -a degree -t film;\n"
                        << body;
    return path;
  }

  // Writes the scene and opens it.
  std::string load(const std::string& body, const std::string& name = "scene") {
    const std::string path = write(body, name);
    const MStatus status = MFileIO::open(path.c_str(), nullptr, true, MFileIO::kLoadNoReferences, true);
    EXPECT_FALSE(status.error()) << status.errorString();
    newRecords();
    return path;
  }

  static MDagPath pathTo(const std::string& fullName) {
    for (MItDag dag; !dag.isDone(); dag.next()) {
      MDagPath path;
      dag.getPath(path);
      if (fullName == path.fullPathName().asChar()) return path;
    }
    ADD_FAILURE() << "no DAG path " << fullName;
    return MDagPath();
  }

  static MObject nodeNamed(const std::string& name) {
    for (MItDependencyNodes nodes; !nodes.isDone(); nodes.next())
      if (name == MFnDependencyNode(nodes.item()).name().asChar()) return nodes.item();
    ADD_FAILURE() << "no node " << name;
    return MObject::kNullObj;
  }
};

// A transform `name` with a mesh `<name>Shape` built by a `creator` node
// (polyCube, polyPlane ...); `shaded` puts it in the default shading set.
inline std::string meshNode(const std::string& name, const std::string& creator = "polyCube", bool shaded = true) {
  std::string text = "createNode transform -n \"" + name + "\";\ncreateNode mesh -n \"" + name + "Shape\" -p \"" +
                     name + "\";\ncreateNode " + creator + " -n \"" + name + "In\";\nconnectAttr \"" + name +
                     "In.out\" \"" + name + "Shape.i\";\n";
  if (shaded) text += "connectAttr \"" + name + "Shape.iog\" \":initialShadingGroup.dsm\" -na;\n";
  return text;
}

// A shader `name` of `type` with `attributes` (setAttr lines) and its shading set `<name>SG`.
inline std::string shader(const std::string& type, const std::string& name, const std::string& attributes = "") {
  return "createNode " + type + " -n \"" + name + "\";\n" + attributes + "createNode shadingEngine -n \"" + name +
         "SG\";\nconnectAttr \"" + name + ".oc\" \"" + name + "SG.ss\";\n";
}
