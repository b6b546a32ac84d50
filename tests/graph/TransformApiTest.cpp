// MFnTransform and MFnCamera over a scene opened from a file, reached the way
// the importer reaches them: through DAG iteration and paths.

#include <maya/MDagPath.h>
#include <maya/MFnCamera.h>
#include <maya/MFnDependencyNode.h>
#include <maya/MFnTransform.h>
#include <maya/MGlobal.h>
#include <maya/MItDag.h>

#include "TransformSceneUtil.h"
#include "db/UpAxis.h"

#include <numbers>

namespace {

constexpr double kPi = std::numbers::pi;

const char* kScene = R"(//Maya ASCII 2016 scene
requires maya "2016";
currentUnit -l centimeter -a degree -t film;
createNode transform -n "grp"; setAttr ".t" -type "double3" 1 2 3 ; setAttr ".r" -type "double3" 0 90 0 ;
createNode transform -n "shot" -p "grp"; setAttr ".t" -type "double3" 0 0 10 ; setAttr ".ro" 2;
createNode camera -n "shotShape" -p "shot"; setAttr ".fl" 50; setAttr ".ncp" 1; setAttr ".fcp" 500;
createNode joint -n "bone"; setAttr ".jo" -type "double3" 0 0 90 ;
createNode animCurveTL -n "grp_translateX"; setAttr ".tan" 2; setAttr ".wgt" no; setAttr -s 2 ".ktv[0:1]"  1 1 11 21;
connectAttr "grp_translateX.o" "grp.tx";
select -ne :time1; setAttr ".o" 6;
)";

class TransformApi : public transform_test::SceneFileTest {
protected:
    void SetUp() override {
        SceneFileTest::SetUp();
        ASSERT_TRUE(open(kScene));
    }

    static MDagPath pathTo(const char* name) {
        MDagPath path;
        EXPECT_TRUE(MDagPath::getAPathTo(transform_test::nodeNamed(name), path)) << name;
        return path;
    }
};

TEST_F(TransformApi, TransformationComesFromTheAnimatedAttributes) {
    MStatus status;
    MFnTransform grp(pathTo("grp"), &status);
    ASSERT_TRUE(status);
    // Frame 6 of a 1 -> 21 ramp over frames 1 to 11.
    const MMatrix m = grp.transformation(&status).asMatrix();
    ASSERT_TRUE(status);
    EXPECT_TRUE(MPoint(m(3, 0), m(3, 1), m(3, 2)).isEquivalent(MPoint(11, 2, 3), 1e-12));
    MEulerRotation r;
    grp.getRotation(r);
    EXPECT_NEAR(r.y, kPi / 2, 1e-12);
    MFnTransform shot(pathTo("shot"));
    EXPECT_EQ(shot.rotationOrder(), MTransformationMatrix::kZXY);
    // (0, 0, 10) turned a quarter about y is (10, 0, 0); plus (11, 2, 3).
    const MVector world = shot.getTranslation(MSpace::kWorld);
    EXPECT_TRUE(world.isEquivalent(MVector(21, 2, 3), 1e-9)) << world;
    EXPECT_TRUE(shot.getTranslation(MSpace::kTransform).isEquivalent(MVector(0, 0, 10)));
    // Joints add their orient.
    const MPoint p = MPoint(1, 0, 0) * MFnTransform(pathTo("bone")).transformation().asMatrix();
    EXPECT_TRUE(p.isEquivalent(MPoint(0, 1, 0), 1e-12)) << p;
}

TEST_F(TransformApi, ShapesAreNoTransformsAndEmptyFunctionSetsFail) {
    MStatus status;
    MFnTransform shape(pathTo("shotShape"), &status);
    EXPECT_FALSE(status);
    EXPECT_TRUE(shape.transformation(&status).asMatrix() == MMatrix::identity);
    EXPECT_FALSE(status);
    EXPECT_FALSE(status.errorString().length() == 0);
    MStatus fov, eye, translation;
    MFnCamera().horizontalFieldOfView(&fov);
    MFnCamera().eyePoint(MSpace::kWorld, &eye);
    MFnTransform().getTranslation(MSpace::kWorld, &translation);
    EXPECT_FALSE(fov || eye || translation);
}

TEST_F(TransformApi, CameraAnswersInObjectAndWorldSpace) {
    MStatus status;
    const MDagPath path = pathTo("shotShape");
    MFnCamera camera(path, &status);
    ASSERT_TRUE(status);
    EXPECT_TRUE(camera.eyePoint(MSpace::kObject, &status) == MPoint(0, 0, 0));
    ASSERT_TRUE(status);
    EXPECT_TRUE(camera.viewDirection(MSpace::kObject) == MVector(0, 0, -1) && camera.upDirection(MSpace::kObject) == MVector(0, 1, 0));
    EXPECT_TRUE(camera.eyePoint(MSpace::kWorld).isEquivalent(MPoint(21, 2, 3), 1e-9));
    // -z turned a quarter about y is -x.
    EXPECT_TRUE(camera.viewDirection(MSpace::kWorld).isEquivalent(MVector(-1, 0, 0), 1e-12));
    EXPECT_NEAR(camera.horizontalFieldOfView(&status) * 180.0 / kPi, 39.598, 0.0005);
    EXPECT_EQ((std::vector<double>{camera.nearClippingPlane(), camera.farClippingPlane(), camera.focalLength()}),
              (std::vector<double>{1, 500, 50}));
    EXPECT_FALSE(camera.isOrtho());
    EXPECT_TRUE(path.inclusiveMatrix().isEquivalent(
        MFnTransform(pathTo("shot")).transformation().asMatrix() * MFnTransform(pathTo("grp")).transformation().asMatrix(),
        1e-12));
    // The default views are orthographic.
    int cameras = 0;
    for (MItDag it(MItDag::kDepthFirst, MFn::kCamera); !it.isDone(); it.next(), ++cameras) {
        MDagPath view;
        it.getPath(view);
        const MString name = MFnDependencyNode(view.node()).name();
        EXPECT_EQ(MFnCamera(view).isOrtho(), name == "topShape" || name == "frontShape" || name == "sideShape")
            << name.asChar();
    }
    EXPECT_EQ(cameras, 5);
}

// The up axis a scene's script node sets, as Maya and other writers save it,
// read from the script text alone and through MGlobal after MFileIO::open.

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
