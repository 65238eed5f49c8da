#include "base/command_line.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "tests/base/test_folder.h"

namespace torvane {
namespace {

TEST(StartOptions, ServerSwitchesInTheirUsualSpellings) {
    const struct {
        std::vector<std::string> arguments;
        StartAction action;
    } cases[] = {
        {{}, StartAction::Run},
        {{"/RegServer"}, StartAction::Register},
        {{"-regserver"}, StartAction::Register},
        {{"--Register"}, StartAction::Register},
        {{"/UnregServer"}, StartAction::Unregister},
        {{"-unregister"}, StartAction::Unregister},
        {{"-Embedding"}, StartAction::ExitQuietly},
        {{"/Automation"}, StartAction::ExitQuietly},
    };
    for (const auto& c : cases) {
        const StartOptions options = ParseStartOptions(c.arguments);
        EXPECT_EQ(options.action, c.action) << (c.arguments.empty() ? "" : c.arguments[0]);
        EXPECT_EQ(options.error, "");
    }
}

TEST(StartOptions, ServiceScreenshotAndDemoAccount) {
    StartOptions options = ParseStartOptions(
        {"--service", "http://127.0.0.1:8080", "--screenshot=/tmp/shots", "--demo-account"});
    EXPECT_EQ(options.serviceUrl, "http://127.0.0.1:8080");
    EXPECT_EQ(options.screenshotDir, "/tmp/shots");
    EXPECT_TRUE(options.demoAccount);
    EXPECT_EQ(options.action, StartAction::Run);

    EXPECT_NE(ParseStartOptions({"--service"}).error, "");
    EXPECT_NE(ParseStartOptions({"--bogus"}).error, "");
    EXPECT_NE(ParseStartOptions({"plain"}).error, "");
}

TEST(DesktopEntry, RegisterWritesItAndUnregisterRemovesIt) {
    testing::TestFolder folder;
    const std::string applications = folder.Path() + "/share/applications";
    ASSERT_TRUE(InstallDesktopEntry(applications, "/opt/torvane/torvane"));
    std::ifstream in(applications + "/Torvane.desktop");
    std::stringstream text;
    text << in.rdbuf();
    EXPECT_NE(text.str().find("Name=Torvane\n"), std::string::npos);
    EXPECT_NE(text.str().find("Exec=\"/opt/torvane/torvane\"\n"), std::string::npos);
    EXPECT_TRUE(RemoveDesktopEntry(applications));
    EXPECT_FALSE(std::filesystem::exists(applications + "/Torvane.desktop"));
    EXPECT_TRUE(RemoveDesktopEntry(applications));  // nothing to remove is no failure
}

}  // namespace
}  // namespace torvane
