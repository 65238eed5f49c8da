#include "base/command_line.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "tests/support/temp_folder.h"
#include "tools/dev_app/dev_options.h"

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
        {{"--version"}, StartAction::PrintVersion},
        {{"--help"}, StartAction::PrintHelp},
        {{"-h"}, StartAction::PrintHelp},
    };
    for (const auto& c : cases) {
        const StartOptions options = ParseStartOptions(c.arguments);
        EXPECT_EQ(options.action, c.action) << (c.arguments.empty() ? "" : c.arguments[0]);
        EXPECT_EQ(options.error, "");
    }
}

TEST(StartOptions, ServiceAddress) {
    StartOptions options = ParseStartOptions({"--service", "http://127.0.0.1:8080"});
    EXPECT_EQ(options.serviceUrl, "http://127.0.0.1:8080");
    EXPECT_EQ(options.action, StartAction::Run);

    EXPECT_NE(ParseStartOptions({"--service"}).error, "");
    EXPECT_NE(ParseStartOptions({"--bogus"}).error, "");
}

// The screenshots and the demo account belong to the development build: the shipping program
// refuses them, the development build takes them out and hands the rest on unchanged.
TEST(StartOptions, ScreenshotAndDemoAccountOnlyInTheDevelopmentBuild) {
    for (const char* option : {"--screenshot=/tmp/shots", "--demo-account"})
        EXPECT_NE(ParseStartOptions({option}).error, "") << option;
    EXPECT_EQ(StartHelpText().find("--screenshot"), std::string::npos);

    const DevelopmentOptions options =
        TakeDevelopmentOptions({"--service", "http://127.0.0.1:8080", "--screenshot=/tmp/shots",
                                "--demo-account", "/home/a/card.tvbackup"});
    EXPECT_EQ(options.screenshotDir, "/tmp/shots");
    EXPECT_TRUE(options.demoAccount);
    EXPECT_EQ(options.rest, (std::vector<std::string>{"--service", "http://127.0.0.1:8080",
                                                      "/home/a/card.tvbackup"}));
    EXPECT_EQ(ParseStartOptions(options.rest).error, "");
    EXPECT_EQ(TakeDevelopmentOptions({"--screenshot", "shots"}).screenshotDir, "shots");
    EXPECT_NE(TakeDevelopmentOptions({"--screenshot"}).error, "");
    EXPECT_TRUE(TakeDevelopmentOptions({"-h"}).help);
}

// The file manager passes the opened backup as an absolute path, which starts like a "/" switch.
TEST(StartOptions, ABackupFileOpenedFromTheFileManager) {
    const struct {
        std::vector<std::string> arguments;
        std::string backupFile;
        StartAction action;
    } cases[] = {
        {{"/home/엄마/카드 백업.tvbackup"}, "/home/엄마/카드 백업.tvbackup", StartAction::Run},
        {{"card.tvbackup"}, "card.tvbackup", StartAction::Run},
        {{"--service", "http://127.0.0.1:8080", "/tmp/a.tvbackup"},
         "/tmp/a.tvbackup",
         StartAction::Run},
        {{"/regserver"}, "", StartAction::Register},
    };
    for (const auto& c : cases) {
        const StartOptions options = ParseStartOptions(c.arguments);
        EXPECT_EQ(options.backupFile, c.backupFile) << c.arguments.back();
        EXPECT_EQ(options.action, c.action) << c.arguments.back();
        EXPECT_EQ(options.error, "") << c.arguments.back();
    }
    EXPECT_NE(ParseStartOptions({"/tmp/a.tvbackup", "/tmp/b.tvbackup"}).error, "");
}

TEST(DesktopEntry, RegisterWritesItAndUnregisterRemovesIt) {
    test::TempFolder folder;
    const std::string applications = folder.str() + "/share/applications";
    const std::string entry = applications + "/io.torvane.Torvane.desktop";
    ASSERT_TRUE(InstallDesktopEntry(applications, "/opt/torvane/torvane"));
    std::ifstream in(entry);
    std::stringstream text;
    text << in.rdbuf();
    EXPECT_NE(text.str().find("Name=Torvane\n"), std::string::npos);
    EXPECT_NE(text.str().find("Exec=\"/opt/torvane/torvane\" %f\n"), std::string::npos);
    EXPECT_NE(text.str().find("MimeType=application/x-torvane-backup;\n"), std::string::npos);
    EXPECT_EQ(text.str().find('@'), std::string::npos) << "a template marker left: " << text.str();
    EXPECT_TRUE(RemoveDesktopEntry(applications));
    EXPECT_FALSE(std::filesystem::exists(entry));
    EXPECT_TRUE(RemoveDesktopEntry(applications));  // nothing to remove is no failure
}

// A build folder can be anywhere; the launcher must get back exactly the program's path.
TEST(DesktopEntry, ExecLineQuotesTheProgramsPath) {
    const struct {
        std::string executable;
        std::string exec;
    } cases[] = {
        {"torvane", "Exec=torvane %f\n"},
        {"/home/me/My Builds/torvane", R"(Exec="/home/me/My Builds/torvane" %f)"},
        {"/tmp/$HOME/100%/torvane", R"(Exec="/tmp/\\$HOME/100%%/torvane" %f)"},
        {R"(/tmp/say "hi"/torvane)", R"(Exec="/tmp/say \\"hi\\"/torvane" %f)"},
        {R"(/tmp/back\slash/torvane)", R"(Exec="/tmp/back\\\\slash/torvane" %f)"},
    };
    for (const auto& c : cases) {
        const std::string text = DesktopEntryText(c.executable);
        EXPECT_NE(text.find(c.exec), std::string::npos) << c.executable << "\n" << text;
    }
}

}  // namespace
}  // namespace torvane
