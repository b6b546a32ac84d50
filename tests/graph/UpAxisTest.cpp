// The up axis a scene's script node sets, as Maya and other writers save it,
// read from the script text alone and through MGlobal after MFileIO::open.

#include "db/UpAxis.h"

#include <maya/MGlobal.h>
#include <maya/MVector.h>

#include "TransformSceneUtil.h"

namespace {

using mayahost::upAxisFromScript;

TEST(UpAxisScript, TheAxisTheScriptSetsOrY) {
    const std::pair<const char*, char> cases[] = {
        // Maya's own script sets the axis through a variable.
        {"string $currentAxis = \"z\"; if ($currentAxis != `upAxis -q -ax`){ upAxis -ax $currentAxis; rotate -r -os "
         "90 0 0 $currentCamera; }", 'z'},
        {"string $currentAxis = \"y\"; if ($currentAxis != `upAxis -q -ax`){ upAxis -ax $currentAxis; }", 'y'},
        // Only the assignment before the command counts.
        {"string $a = \"z\"; upAxis -ax $a; $a = \"y\";", 'z'},
        {"string $a = \"z\"; $a = \"y\"; upAxis -axis $a;", 'y'},
        // A literal axis after the query is the one set.
        {"string $currentAxis = `upAxis -q -ax`; if ($currentAxis != \"z\") { upAxis -ax \"z\"; viewSet -home persp; }", 'z'},
        {"upAxis -ax z", 'z'}, {"upAxis -axis 'Z';", 'z'},
        {"upAxis -ax \"z\"; upAxis -ax \"y\";", 'y'},   // the last command run wins
        // Anything else leaves y up.
        {"", 'y'}, {"upAxis -q -ax", 'y'}, {"upAxis -ax", 'y'}, {"upAxis -ax \"x\"", 'y'}, {"upAxis -ax zed", 'y'},
        {"upAxis -ax $unknown", 'y'}, {"string $a = `upAxis -q -ax`; upAxis -ax $a;", 'y'}, {"print \"upAxis\";", 'y'},
        {"string $currentAxis = \"z\";", 'y'},
    };
    for (const auto& [script, axis] : cases) EXPECT_EQ(upAxisFromScript(script), axis) << script;
}

using UpAxisSceneTest = transform_test::SceneFileTest;

TEST_F(UpAxisSceneTest, TheAxisBelongsToTheOpenedScene) {
    ASSERT_TRUE(open("createNode script -n \"upAxisScriptNode\";\n"
                     "\trename -uid \"5E3F1C00-0000-0000-0000-000000000001\";\n"
                     "\tsetAttr \".b\" -type \"string\" \"string $currentAxis = \\\"z\\\"; if ($currentAxis != "
                     "`upAxis -q -ax`){ upAxis -ax $currentAxis; rotate -r -os 90 0 0 $currentCamera; }\";\n"
                     "\tsetAttr \".st\" 2;\n"));
    EXPECT_TRUE(MGlobal::upAxis() == MVector::zAxis);
    EXPECT_TRUE(MGlobal::isZAxisUp());
    EXPECT_FALSE(MGlobal::isYAxisUp());

    // Not to the process.
    ASSERT_TRUE(open("createNode transform -n \"plain\";\n"));
    EXPECT_TRUE(MGlobal::upAxis() == MVector::yAxis);
    EXPECT_TRUE(MGlobal::isYAxisUp());
    // The script is read under its long name too.
    ASSERT_TRUE(open("createNode script -n \"upAxisScriptNode\";\n"
                     "\tsetAttr \".before\" -type \"string\" \"upAxis -ax \\\"z\\\";\";\n"));
    EXPECT_TRUE(MGlobal::isZAxisUp());
    // A script node of another name does not set the axis.
    ASSERT_TRUE(open("createNode script -n \"sceneConfigurationScriptNode\";\n"
                     "\tsetAttr \".b\" -type \"string\" \"upAxis -ax \\\"z\\\";\";\n"));
    EXPECT_TRUE(MGlobal::isYAxisUp());
}

}  // namespace
