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

  // Writes `body` after a standard header to <scratch>/<name>.ma and opens it.
  std::string load(const std::string& body, const std::string& name = "scene") {
    const std::string path = (root_ / (name + ".ma")).string();
    std::ofstream(path) << "//Maya ASCII 2011 scene\n"
                           "requires maya \"2011\";\n"
                           "currentUnit -l centimeter -a degree -t film;\n"
                        << body;
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
    for (MItDependencyNodes nodes; !nodes.isDone(); nodes.next()) {
      MFnDependencyNode node(nodes.item());
      if (name == node.name().asChar()) return nodes.item();
    }
    ADD_FAILURE() << "no node " << name;
    return MObject::kNullObj;
  }
};
