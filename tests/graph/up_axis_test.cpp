// The up axis a scene's script node sets, as Maya and other writers save it,
// read from the script text alone and through MGlobal after MFileIO::open.

#include "db/UpAxis.h"

#include <maya/MFileIO.h>
#include <maya/MGlobal.h>
#include <maya/MVector.h>

#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

namespace fs = std::filesystem;

namespace {

using mayahost::upAxisFromScript;

TEST(UpAxisScript, MayasOwnScriptSetsTheAxisThroughAVariable) {
    EXPECT_EQ(upAxisFromScript("string $currentAxis = \"z\"; if ($currentAxis != `upAxis -q -ax`){ "
                               "upAxis -ax $currentAxis; rotate -r -os 90 0 0 $currentCamera; }"),
              'z');
    EXPECT_EQ(upAxisFromScript("string $currentAxis = \"y\"; if ($currentAxis != `upAxis -q -ax`){ "
                               "upAxis -ax $currentAxis; }"),
              'y');
    // Only the assignment before the command counts.
    EXPECT_EQ(upAxisFromScript("string $a = \"z\"; upAxis -ax $a; $a = \"y\";"), 'z');
    EXPECT_EQ(upAxisFromScript("string $a = \"z\"; $a = \"y\"; upAxis -axis $a;"), 'y');
}

TEST(UpAxisScript, ALiteralAxisAfterTheQueryIsTheOneSet) {
    EXPECT_EQ(upAxisFromScript("string $currentAxis = `upAxis -q -ax`; if ($currentAxis != \"z\") "
                               "{ upAxis -ax \"z\"; viewSet -home persp; }"),
              'z');
    EXPECT_EQ(upAxisFromScript("upAxis -ax z"), 'z');
    EXPECT_EQ(upAxisFromScript("upAxis -axis 'Z';"), 'z');
    // The last command run wins.
    EXPECT_EQ(upAxisFromScript("upAxis -ax \"z\"; upAxis -ax \"y\";"), 'y');
}

TEST(UpAxisScript, AnythingElseLeavesYUp) {
    for (const char* script : {"", "upAxis -q -ax", "upAxis -ax", "upAxis -ax \"x\"", "upAxis -ax zed",
                               "upAxis -ax $unknown", "string $a = `upAxis -q -ax`; upAxis -ax $a;",
                               "print \"upAxis\";", "string $currentAxis = \"z\";"})
        EXPECT_EQ(upAxisFromScript(script), 'y') << script;
}

class UpAxisSceneTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() / ("up_axis_" + std::to_string(::getpid()) + "_" +
                                            ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }

    bool open(const std::string& body) {
        const fs::path path = dir_ / "scene.ma";
        std::ofstream(path, std::ios::binary) << "//Maya ASCII 2024 scene\nrequires maya \"2024\";\n"
                                                 "currentUnit -l centimeter -a degree -t film;\n"
                                              << body;
        return static_cast<bool>(MFileIO::open(path.string().c_str(), NULL, true, 2, true));
    }

    fs::path dir_;
};

TEST_F(UpAxisSceneTest, AZUpFileAnswersZUntilAYUpFileIsOpened) {
    ASSERT_TRUE(open("createNode script -n \"upAxisScriptNode\";\n"
                     "\trename -uid \"5E3F1C00-0000-0000-0000-000000000001\";\n"
                     "\tsetAttr \".b\" -type \"string\" \"string $currentAxis = \\\"z\\\"; if ($currentAxis != "
                     "`upAxis -q -ax`){ upAxis -ax $currentAxis; rotate -r -os 90 0 0 $currentCamera; }\";\n"
                     "\tsetAttr \".st\" 2;\n"));
    EXPECT_TRUE(MGlobal::upAxis() == MVector::zAxis);
    EXPECT_TRUE(MGlobal::isZAxisUp());
    EXPECT_FALSE(MGlobal::isYAxisUp());

    // The axis belongs to the scene, not to the process.
    ASSERT_TRUE(open("createNode transform -n \"plain\";\n"));
    EXPECT_TRUE(MGlobal::upAxis() == MVector::yAxis);
    EXPECT_TRUE(MGlobal::isYAxisUp());
}

TEST_F(UpAxisSceneTest, TheScriptIsReadUnderItsLongNameToo) {
    ASSERT_TRUE(open("createNode script -n \"upAxisScriptNode\";\n"
                     "\tsetAttr \".before\" -type \"string\" \"upAxis -ax \\\"z\\\";\";\n"));
    EXPECT_TRUE(MGlobal::isZAxisUp());
    // A script node of another name does not set the axis.
    ASSERT_TRUE(open("createNode script -n \"sceneConfigurationScriptNode\";\n"
                     "\tsetAttr \".b\" -type \"string\" \"upAxis -ax \\\"z\\\";\";\n"));
    EXPECT_TRUE(MGlobal::isYAxisUp());
}

}  // namespace
