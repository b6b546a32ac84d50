// The file factory: header, opening and closing failures, and the standard
// output takeover (run in a child process, since it rewires descriptors).

#include <gtest/gtest.h>

#ifndef _WIN32
#include <sys/wait.h>
#include <unistd.h>
#endif

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <stdexcept>
#include <string>

#include "../common/TestEnv.h"
#include "sceneapi/LightFactory.h"
#include "sceneapi/orbScene_api_file.h"
#include "sceneapi/orbSceneapi_oo.h"

namespace {

using commontest::readFile;

const std::string kHeader = "//---vantor:dal:7---\n//---import:dal:1---\n//---id:1---\n// This is a Glowbox scene file\n\n";
const std::string kStart = "#print \"Glowbox SceneApi oo 6.2.85  (built Mon Oct 26 10:26:53 2015)\"\nversion 6\n\n";

std::string tempPath(const char* name) {
    const char* dir = std::getenv("TMPDIR");
    return std::string(dir && *dir ? dir : "/tmp") + "/sceneapi_" + std::to_string(getpid()) + "_" + name;
}

std::string openFailureMessage(const std::string& name) {
    testing::internal::CaptureStderr();
    std::string message = "(no exception)";
    try {
        orb::LightFileFactory factory(name);
    } catch (const std::runtime_error& e) {
        message = e.what();
    }
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_EQ(err.rfind("opening file: ", 0), 0u) << err;
    return message;
}

}  // namespace

TEST(FileFactory, ReplacesAnExistingFileWithHeaderBannerVersionAndBinaryBytes) {
    const std::string path = tempPath("scene.dal");
    std::ofstream(path) << std::string(10000, 'z');
    {
        orb::LightFileFactory factory(path);
        orb::orbSceneapi_oo scene(&factory);
        scene.beginGroup("g");
        scene.endGroup();
        scene.setIntArray("i", {0x0a0d0a0d});
    }  // the destructor closes
    EXPECT_EQ(readFile(path), kHeader + kStart + "\ngroup \"g\" {\n}\n\"i\" [ \x01\x02\x03i" +
                                  std::string("\x01\0\0\0", 4) + "\r\n\r\n] ,\n");
    std::remove(path.c_str());
}

TEST(FileFactory, UnopenableNamesThrowWithTheNameInQuotes) {
    EXPECT_EQ(openFailureMessage("/nonexistent-dir/x/scene.dal"),
              "could not open file: \"/nonexistent-dir/x/scene.dal\"");
    EXPECT_EQ(openFailureMessage(""), "could not open file: \"\"");
}

TEST(FileFactory, ACloseThatFailsThrows) {
#ifdef _WIN32
    GTEST_SKIP() << "no device on Windows refuses writes the way /dev/full does";
#endif
    FILE* probe = std::fopen("/dev/full", "wb");
    if (!probe) GTEST_SKIP() << "no /dev/full";
    std::fclose(probe);
    // Capturing flushes every open stream, which would spend the failure
    // before close() sees it: start capturing first.
    testing::internal::CaptureStderr();
    orb::LightFileFactory factory("/dev/full");
    orb::orbSceneapi_oo scene(&factory);
    try {
        factory.close();
        ADD_FAILURE() << "no exception";
    } catch (const std::runtime_error& e) {
        EXPECT_STREQ(e.what(), "could not close file");
    }
    EXPECT_EQ(factory.api(), nullptr);
    factory.close();  // nothing left to close, nothing thrown again
    EXPECT_EQ(testing::internal::GetCapturedStderr().rfind("closing file: ", 0), 0u);
}

TEST(FileWriter, ANamedFileIsOwnedAndClosedByTheWriter) {
    const std::string path = tempPath("owned.dal");
    {
        orbScene_api_file writer(path, false);
        writer.version(-1);
    }
    EXPECT_EQ(readFile(path), "version 8\n\n");
    std::remove(path.c_str());
    orbScene_api_file unopened(std::string("/nonexistent-dir/x.dal"), true);
    EXPECT_TRUE(unopened.beginGroup("g", true));  // behaves as on a null stream
}

// The takeover rewires descriptors in a forked child; Windows has no fork.
#ifndef _WIN32
namespace {

std::string drain(int fd) {
    std::string text;
    char buffer[4096];
    ssize_t n;
    while ((n = read(fd, buffer, sizeof buffer)) > 0) text.append(buffer, static_cast<std::size_t>(n));
    return text;
}

}  // namespace

TEST(FileFactory, DashTakesOverStandardOutputAndSendsLaterPrintsToStandardError) {
    int out[2], err[2];
    ASSERT_EQ(pipe(out), 0);
    ASSERT_EQ(pipe(err), 0);
    std::fflush(nullptr);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        dup2(out[1], 1);
        dup2(err[1], 2);
        close(out[0]);
        close(err[0]);
        close(out[1]);
        close(err[1]);
        std::printf("before\n");
        {
            orb::LightFileFactory factory("-");
            orb::orbSceneapi_oo scene(&factory);
            std::printf("after\n");
            std::fflush(stdout);
            scene.beginGroup("g");
            scene.endGroup();
            factory.close();
        }
        std::printf("later\n");
        std::fflush(stdout);
        _exit(0);
    }
    close(out[1]);
    close(err[1]);
    const std::string stdoutText = drain(out[0]);  // the child's outputs are far below a pipe's capacity
    const std::string stderrText = drain(err[0]);
    close(out[0]);
    close(err[0]);
    int status = 0;
    waitpid(child, &status, 0);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_EQ(stdoutText, "before\n" + kHeader + kStart + "\ngroup \"g\" {\n}\n");
    EXPECT_EQ(stderrText, "after\nlater\n");
}
#endif
