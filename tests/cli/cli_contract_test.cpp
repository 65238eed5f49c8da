// torvane-cli as a script relies on it, run as a program against the local content service: every
// command's --json document in its one shape, each kind of failure with its own exit status and
// JSON error, and the manual page's examples as they are written.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <nlohmann/json.hpp>
#include <optional>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "store/device_setup.h"
#include "tests/cli/demo_card_test.h"
#include "tests/support/service_test_util.h"
#include "tools/demo_service/demo_service.h"

namespace torvane::test {
namespace {

namespace fs = std::filesystem;
using nlohmann::json;

// The bytes of a short MP3: an ID3 tag, then MPEG-1 layer III frames of silence.
std::string Mp3Bytes() {
    std::string bytes("ID3\x03\x00\x00\x00\x00\x00\x00", 10);
    for (int frame = 0; frame < 4; ++frame) {
        std::string header("\xFF\xFB\x90\x64", 4);
        bytes += header + std::string(413, '\0');
    }
    return bytes;
}

bool IsIsoDate(const json& value) {
    static const std::regex iso(R"(\d{4}-\d{2}-\d{2}(T\d{2}:\d{2}:\d{2})?)");
    return value.is_string() && std::regex_match(value.get<std::string>(), iso);
}

class CliContractTest : public DemoCardTest {
  protected:
    std::string InFolder(const std::string& name) const { return folder.path() / name; }

    // The environment a script sets once: account, password, service and card; `changes` are
    // put over it ("NAME=value", or "NAME" to unset).
    std::vector<std::string> Environment(const std::vector<std::string>& changes = {}) const {
        std::vector<std::string> environment = {"TORVANE_SERVICE_URL=" + service->BaseUrl(),
                                                "TORVANE_USER=demo", "TORVANE_PASSWORD=demo1234",
                                                "TORVANE_DEVICE=" + Card()};
        environment.insert(environment.end(), changes.begin(), changes.end());
        return environment;
    }

    ProgramRun Cli(std::vector<std::string> command,
                   const std::vector<std::string>& changes = {}) const {
        command.insert(command.begin(), TORVANE_CLI_BIN);
        return RunProgram(command, {}, Environment(changes));
    }
};

struct DocumentCase {
    std::vector<std::string> command;  // run with --json, in the table's order, on one card
    std::function<void(const json&)> check;
};

// Every command's document parses whole from stdout and follows the manual's shape; the commands
// run one after another as a parent's script would, each on the card the one before left.
TEST_F(CliContractTest, EveryCommandPrintsOneDocumentOfWhatItDid) {
    const std::string recording = InFolder("dad.mp3");
    WriteFile(recording, Mp3Bytes());
    const std::string exported = InFolder("exported");
    const std::string archive = InFolder("card.tvbackup");
    const std::string plain = InFolder("plain.txt");
    WriteFile(plain, "a plain text");
    const std::string enciphered = InFolder("plain.dat");

    const DocumentCase cases[] = {
        {{"login"},
         [](const json& d) {
             EXPECT_EQ(d["userId"], "demo");
             EXPECT_TRUE(d["userInfo"].contains("userId")) << d.dump();
             for (const auto& [name, value] : d["userInfo"].items())
                 EXPECT_TRUE(std::islower(static_cast<unsigned char>(name[0]))) << name;
         }},
        {{"catalogue"},
         [](const json& d) {
             const json& first = d["language"].at(0);
             EXPECT_TRUE(first["downloadType"].is_number()) << first.dump();
             EXPECT_TRUE(first["defaultContent"].is_boolean());
             EXPECT_TRUE(first["files"].at(0)["fileUrl"].is_string());
             EXPECT_TRUE(first["files"].at(0)["fileSize"].is_number());
             EXPECT_TRUE(first.contains("endDateIso"));
         }},
        {{"install", "L0001", "L0002", "M0001"},
         [](const json& d) {
             EXPECT_EQ(d["installed"], json({"L0001", "L0002", "M0001"}));
             EXPECT_EQ(d["skipped"], json::array());
         }},
        {{"install", "M0001"},
         [](const json& d) {
             EXPECT_EQ(d["installed"], json::array());
             EXPECT_EQ(d["skipped"], json({"M0001"}));
         }},
        {{"device", "show"},
         [](const json& d) {
             const json& music = d["shelves"]["music"].at(0);
             EXPECT_EQ(music["contentNo"], "M0001");
             EXPECT_TRUE(IsIsoDate(music["downloadDateIso"])) << music.dump();
             EXPECT_TRUE(d["selectedChildNo"].is_number());
         }},
        {{"game", "add", "L0002"},
         [](const json& d) {
             EXPECT_EQ(d["added"], 1);
             EXPECT_NE(std::find(d["gameContentList"].begin(), d["gameContentList"].end(), "L0002"),
                       d["gameContentList"].end());
         }},
        {{"diy", "select", "L0001"},
         [](const json& d) { EXPECT_EQ(d["selectedDiyContentNo"], "L0001"); }},
        {{"diy", "assign", "1", "1", recording},
         [](const json& d) {
             EXPECT_EQ(d["card"], 1);
             EXPECT_EQ(d["deviceCard"], 92100001);
             EXPECT_EQ(d["slot"], 1);
         }},
        {{"diy", "rename", "92100001", "1", "아빠"},
         [](const json& d) {
             EXPECT_EQ(d["card"], 1) << "the card as the user types it, whichever was typed";
             EXPECT_EQ(d["name"], "아빠");
         }},
        {{"diy", "show"},
         [](const json& d) {
             const json& card = d["cards"].at(0);
             EXPECT_EQ(card["card"], 1);
             EXPECT_EQ(card["deviceCard"], 92100001);
             EXPECT_EQ(card["slots"].at(0)["inUse"], true);
             EXPECT_TRUE(IsIsoDate(card["slots"].at(0)["dateIso"])) << card.dump();
         }},
        {{"diy", "export", "1", "1", exported},
         [&](const json& d) { EXPECT_EQ(d["file"], exported + ".mp3"); }},
        {{"diy", "delete", "1", "1"}, [](const json& d) { EXPECT_EQ(d["deleted"], true); }},
        {{"delete", "M0001"}, [](const json& d) { EXPECT_EQ(d["deleted"], json({"M0001"})); }},
        {{"tables", "rebuild", "music"}, [](const json& d) { EXPECT_EQ(d["rebuilt"], "music"); }},
        {{"children", "list"},
         [](const json& d) {
             EXPECT_EQ(d.at(0)["childNo"], 101);
             EXPECT_EQ(d.at(0)["sex"], "boy");
             EXPECT_TRUE(IsIsoDate(d.at(0)["birthdayIso"]));
         }},
        {{"children", "apply", "101"},
         [](const json& d) { EXPECT_EQ(d["applied"]["childNo"], 101); }},
        {{"children", "release"}, [](const json& d) { EXPECT_EQ(d["released"], true); }},
        {{"children", "request", "102"},
         [](const json& d) { EXPECT_EQ(d["requested"]["childNo"], 102); }},
        {{"updates", "list"},
         [](const json& d) {
             EXPECT_EQ(d.at(0)["index"], 1);
             EXPECT_TRUE(d.at(0)["fileSize"].is_number());
         }},
        {{"updates", "install", "1", "--kind", "update"},
         [&](const json& d) {
             EXPECT_EQ(d["device"], Card()) << "--drive defaults to the card of TORVANE_DEVICE";
             EXPECT_EQ(d["installed"]["index"], 1);
         }},
        {{"device", "check"}, [](const json& d) { EXPECT_TRUE(d["problems"].is_array()); }},
        {{"device", "backup", archive},
         [](const json& d) {
             EXPECT_TRUE(d["files"].is_number());
             EXPECT_GT(d["bytes"].get<long>(), 0);
         }},
        {{"device", "restore", archive, "--yes"},
         [](const json& d) { EXPECT_GT(d["files"].get<long>(), 0); }},
        {{"cipher", "encipher", plain, enciphered},
         [&](const json& d) { EXPECT_EQ(d["enciphered"]["to"], enciphered); }},
    };
    for (const DocumentCase& entry : cases) {
        std::vector<std::string> command = entry.command;
        command.push_back("--json");
        std::string name;
        for (const std::string& word : entry.command) name += word + " ";
        SCOPED_TRACE(name);
        const ProgramRun run = Cli(command);
        ASSERT_EQ(run.exitCode, 0) << run.err;
        json document;
        ASSERT_NO_THROW(document = json::parse(run.out)) << "stdout:\n" << run.out;
        entry.check(document);
    }
}

struct FailureCase {
    const char* what;
    std::vector<std::string> command;
    std::vector<std::string> environment;  // put over the script's environment
    int exitCode;
    const char* kind;
};

// Each kind of failure has its exit status, and with --json an error document on stderr naming
// its kind, while stdout stays empty.
TEST_F(CliContractTest, EachKindOfFailureHasItsExitStatusAndErrorDocument) {
    ASSERT_EQ(Cli({"install", "L0001"}).exitCode, 0);
    const std::string unreadable = InFolder("no-database");
    fs::create_directories(unreadable);
    const std::string fullCard = InFolder("full");
    ASSERT_TRUE(CreateEmptyDevice(fullCard, "1.0", "larkspin"));
    // The music folder taken by a file: the card does not take the content's files.
    fs::remove_all(fs::path(fullCard) / "ck7");
    WriteFile(fs::path(fullCard) / "ck7", "a file where the folder belongs");
    const std::string archive = InFolder("card.tvbackup");
    ASSERT_EQ(Cli({"device", "backup", archive}).exitCode, 0);

    const FailureCase cases[] = {
        {"a failure of no other kind",
         {"cipher", "decipher", InFolder("none"), InFolder("out")},
         {},
         1,
         "failed"},
        {"an unknown command", {"bogus"}, {}, 2, "usage"},
        {"a malformed argument", {"children", "add", "김", "별", "--sex", "cat"}, {}, 2, "usage"},
        {"a question answered No", {"device", "restore", archive}, {}, 3, "cancelled"},
        {"a child registered already",
         {"children", "add", "김", "하늘", "--sex", "boy", "--birthday", "2019-03-07"},
         {},
         3,
         "refused"},
        {"a wrong password", {"login"}, {"TORVANE_PASSWORD=wrong"}, 4, "notSignedIn"},
        {"no account", {"catalogue"}, {"TORVANE_USER"}, 4, "notSignedIn"},
        {"no service",
         {"catalogue"},
         {"TORVANE_SERVICE_URL=http://127.0.0.1:1"},
         5,
         "serviceFailed"},
        {"no card",
         {"device", "show"},
         {"TORVANE_DEVICE=" + InFolder("gone")},
         6,
         "cardUnreadable"},
        {"a card without its database",
         {"device", "show"},
         {"TORVANE_DEVICE=" + unreadable},
         6,
         "cardUnreadable"},
        {"a card that does not take a content",
         {"install", "M0001"},
         {"TORVANE_DEVICE=" + fullCard},
         7,
         "cardFull"},
        {"a content not bought", {"install", "X9999"}, {}, 8, "unknownItem"},
        {"a content not on the card", {"delete", "M0002"}, {}, 8, "unknownItem"},
        {"an unknown child", {"children", "apply", "999"}, {}, 8, "unknownItem"},
        {"an unknown package",
         {"updates", "install", "99", "--kind", "update"},
         {},
         8,
         "unknownItem"},
        {"an unknown DIY card", {"diy", "delete", "1501", "1"}, {}, 8, "unknownItem"},
    };
    for (const FailureCase& entry : cases) {
        SCOPED_TRACE(entry.what);
        std::vector<std::string> command = entry.command;
        command.push_back("--json");
        const ProgramRun run = Cli(command, entry.environment);
        EXPECT_EQ(run.exitCode, entry.exitCode) << run.err;
        EXPECT_EQ(run.out, "");
        // The error document is stderr's last line, after the sentences said on the way.
        std::string last = run.err;
        while (!last.empty() && last.back() == '\n') last.pop_back();
        last = last.substr(last.rfind('\n') == std::string::npos ? 0 : last.rfind('\n') + 1);
        json error;
        ASSERT_NO_THROW(error = json::parse(last)) << run.err;
        EXPECT_EQ(error["error"]["kind"], entry.kind);
        EXPECT_FALSE(error["error"]["message"].get<std::string>().empty()) << run.err;
    }
}

// A script acts on the reason by its stable name, whatever the wording: a sentence of the
// program's own is named by "id"; words the service or a library chose carry none.
TEST_F(CliContractTest, AnErrorOfTheProgramsOwnWordsNamesItsSentence) {
    ASSERT_EQ(Cli({"install", "L0001"}).exitCode, 0);
    ASSERT_EQ(Cli({"diy", "select", "L0001"}).exitCode, 0);
    const struct {
        const char* what;
        std::vector<std::string> command;
        std::vector<std::string> environment;
        std::optional<std::string> id;
    } cases[] = {
        {"the DIY content", {"delete", "L0001"}, {}, "diyNotDeletable"},
        {"a child registered already",
         {"children", "add", "김", "하늘", "--sex", "boy", "--birthday", "2019-03-07"},
         {},
         "childNameTaken"},
        {"a wrong password", {"login"}, {"TORVANE_PASSWORD=wrong"}, "wrongPassword"},
        {"a library's words",
         {"cipher", "decipher", InFolder("none"), InFolder("out")},
         {},
         std::nullopt},
    };
    for (const auto& entry : cases) {
        SCOPED_TRACE(entry.what);
        std::vector<std::string> command = entry.command;
        command.push_back("--json");
        const ProgramRun run = Cli(command, entry.environment);
        std::string last = run.err;
        while (!last.empty() && last.back() == '\n') last.pop_back();
        last = last.substr(last.rfind('\n') == std::string::npos ? 0 : last.rfind('\n') + 1);
        json error;
        ASSERT_NO_THROW(error = json::parse(last)) << run.err;
        if (entry.id)
            EXPECT_EQ(error["error"].value("id", ""), *entry.id) << run.err;
        else
            EXPECT_FALSE(error["error"].contains("id")) << run.err;
    }
}

TEST_F(CliContractTest, UnknownCommandsAreNamedAndSubcommandHelpShowsTheGlobalOptions) {
    for (const std::vector<std::string>& command :
         {std::vector<std::string>{"--device", Card(), "bogus"}, {"diy", "bogus"}}) {
        const ProgramRun unknown = Cli(command);
        EXPECT_EQ(unknown.exitCode, 2);
        EXPECT_NE(unknown.err.find("unknown command: bogus"), std::string::npos) << unknown.err;
    }

    const ProgramRun help = Cli({"diy", "assign", "--help"});
    EXPECT_EQ(help.exitCode, 0);
    for (const char* option : {"--device", "--json", "--user", "--password-stdin"})
        EXPECT_NE(help.out.find(option), std::string::npos) << option << "\n" << help.out;

    const ProgramRun list = Cli({"updates", "list"});
    ASSERT_EQ(list.exitCode, 0) << list.err;
    EXPECT_EQ(list.out.rfind("1  ", 0), 0u) << "the number `updates install` takes\n" << list.out;
}

// The manual's examples, read from the manual page itself, run as written with the environment
// its EXAMPLES section names.
TEST_F(CliContractTest, TheManualsExamplesRunAsWritten) {
    std::ifstream manual(TORVANE_CLI_MANUAL);
    ASSERT_TRUE(manual) << TORVANE_CLI_MANUAL;
    std::string line;
    bool inExamples = false;
    std::vector<std::string> examples;
    while (std::getline(manual, line)) {
        if (line.rfind(".SH", 0) == 0) inExamples = line == ".SH EXAMPLES";
        if (!inExamples || line.rfind("torvane-cli ", 0) != 0) continue;
        examples.push_back(std::regex_replace(line, std::regex(R"(\\-)"), "-"));
    }
    ASSERT_GE(examples.size(), 3u);
    // The example's recording, in the folder the examples run in.
    WriteFile(fs::path(folder.path()) / "dad.mp3", Mp3Bytes());
    for (const std::string& example : examples) {
        SCOPED_TRACE(example);
        std::vector<std::string> arguments = {
            "/bin/sh", "-c",
            "cd '" + folder.path().string() + "' && " +
                std::regex_replace(example, std::regex("^torvane-cli"), TORVANE_CLI_BIN)};
        const ProgramRun run = RunProgram(arguments, {}, Environment());
        EXPECT_EQ(run.exitCode, 0) << run.err;
    }
}

}  // namespace
}  // namespace torvane::test
