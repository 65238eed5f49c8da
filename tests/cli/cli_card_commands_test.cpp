// Every torvane-cli command that changes a card, run as a program against the local content
// service, with the card's files, databases and tables read back afterwards.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <memory>
#include <nlohmann/json.hpp>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "common/messages.h"
#include "store/default_xml.h"
#include "store/device_setup.h"
#include "store/diy_xml.h"
#include "tests/cli/demo_card_test.h"
#include "tests/support/service_test_util.h"
#include "tools/demo_service/demo_service.h"

namespace torvane::test {
namespace {

namespace fs = std::filesystem;
using nlohmann::json;

// The card holds each sound with every byte raised by one.
std::string AsOnCard(std::string bytes) {
    for (char& c : bytes) c = static_cast<char>(static_cast<unsigned char>(c) + 1);
    return bytes;
}

class CliCardCommandsTest : public DemoCardTest {
  protected:
    // torvane-cli as a user runs it: signed in as the demo account through the environment.
    static ProgramRun Cli(const std::vector<std::string>& command, const ProgramInput& input,
                          const std::string& device) {
        std::vector<std::string> arguments = {TORVANE_CLI_BIN, "--user", "demo", "--device",
                                              device};
        arguments.insert(arguments.end(), command.begin(), command.end());
        return RunProgram(arguments, input,
                          {"TORVANE_SERVICE_URL=" + service->BaseUrl(), "TORVANE_PASSWORD=demo1234",
                           "TORVANE_DEVICE"});
    }
    ProgramRun Cli(const std::vector<std::string>& command, const ProgramInput& input = {}) {
        return Cli(command, input, Card());
    }

    CDefaultXML Database() const {
        CDefaultXML database(Card());
        EXPECT_TRUE(database.Load().ok());
        return database;
    }
    CDiyXML Diy() const {
        CDiyXML diy(Card());
        EXPECT_TRUE(diy.Load().ok());
        return diy;
    }

    // The bytes the service sends for an address it handed out.
    static std::string Served(const std::string& url) {
        const std::string base = service->BaseUrl();
        EXPECT_EQ(url.rfind(base, 0), 0u) << url;
        const HttpAnswer answer = Get(service->Port(), url.substr(base.size()));
        EXPECT_EQ(answer.status, 200) << url;
        return answer.body;
    }
    // The address of a content's file, as the account's catalogue gives it.
    static std::string FileUrl(const std::string& contentNo, std::size_t index) {
        const ProgramRun run = Cli({"catalogue", "--json"}, {}, "/");
        EXPECT_EQ(run.exitCode, 0) << run.err;
        const json shelves = json::parse(run.out);
        for (const json& contents : shelves) {
            for (const json& content : contents) {
                if (content["contentNo"] == contentNo) return content["files"].at(index)["fileUrl"];
            }
        }
        ADD_FAILURE() << "no content " << contentNo;
        return {};
    }
};

struct InstalledFile {
    const char* contentNo;
    const char* subGroup;
    const char* typeName;
    const char* onCard;  // where the content's first file lands, as the device names it
    const char* table;   // the kind's table, rebuilt with the install
};

const InstalledFile kInstalledFiles[] = {
    {"L0001", "single", "language", "ck2/en/word/00000001.qvx", "ck2/rfid.tbl"},
    {"L0002", "single", "language", "ck2/ko/sound/00000011.qvx", "ck2/rfid.tbl"},
    {"M0002", "single", "music", "ck7/00000111.qvx", "ck7/sw.tbl"},
    {"S0001", "single", "story", "ck8/00000201.qvx", "ck8/sw.tbl"},
    {"B0001", "series", "book", "ck3/ko/page/00000301.qvx", "ck3/rfid.tbl"},
    {"C0001", "series", "card", "ck10/ko/card/00000501.qvx", "ck10/rfid.tbl"},
    {"E0001", "series", "excellent", "ck11/ko/special/00000601.qvx", "ck11/rfid.tbl"},
};

TEST_F(CliCardCommandsTest, InstallPutsEachKindWhereTheDeviceLooksAndSkipsItThen) {
    std::vector<std::string> command = {"install"};
    for (const InstalledFile& file : kInstalledFiles) command.push_back(file.contentNo);
    const ProgramRun run = Cli(command);
    ASSERT_EQ(run.exitCode, 0) << run.err;
    // The completion is said once, and a status never runs on into the title it is about.
    const std::string said = run.out + run.err;
    ASSERT_NE(said.find(kMsgDownloadDone), std::string::npos) << said;
    EXPECT_EQ(said.find(kMsgDownloadDone), said.rfind(kMsgDownloadDone)) << said;
    const std::string status(kMsgCopyingToDevice);
    for (auto at = said.find(status); at != std::string::npos; at = said.find(status, at + 1))
        EXPECT_EQ(said[at + status.size()], '\n') << said;

    const CDefaultXML database = Database();
    for (const InstalledFile& file : kInstalledFiles) {
        SCOPED_TRACE(file.contentNo);
        EXPECT_TRUE(database.FindContent(file.subGroup, file.typeName, file.contentNo));
        EXPECT_EQ(ReadFile(fs::path(Card()) / file.onCard),
                  AsOnCard(Served(FileUrl(file.contentNo, 0))));
        EXPECT_GT(fs::file_size(fs::path(Card()) / file.table), 0u);
    }

    // Installed once, a content is left as it is.
    const auto before = Snapshot(Card());
    const ProgramRun again = Cli({"install", "M0002"});
    EXPECT_EQ(again.exitCode, 0) << again.err;
    EXPECT_NE(again.out.find("M0002 is already on the device; skipped"), std::string::npos)
        << again.out;
    EXPECT_EQ(Snapshot(Card()), before);
}

TEST_F(CliCardCommandsTest, InstallOfAContentNotBoughtChangesNothing) {
    const auto before = Snapshot(Card());
    const ProgramRun run = Cli({"install", "M0001", "X9999"});
    EXPECT_EQ(run.exitCode, 8) << "an unknown content";
    EXPECT_NE(run.err.find("X9999"), std::string::npos) << run.err;
    EXPECT_EQ(Snapshot(Card()), before);
}

TEST_F(CliCardCommandsTest, DeleteTakesTheContentsFilesAndEntryAndLeavesTheOthers) {
    ASSERT_EQ(Cli({"install", "M0001", "M0002", "L0001"}).exitCode, 0);

    const ProgramRun run = Cli({"delete", "M0001", "L0001"});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    const CDefaultXML database = Database();
    EXPECT_FALSE(database.FindContent("single", "music", "M0001"));
    EXPECT_FALSE(database.FindContent("single", "language", "L0001"));
    EXPECT_TRUE(database.FindContent("single", "music", "M0002"));
    EXPECT_FALSE(fs::exists(fs::path(Card()) / "ck7/00000101.qvx"));
    EXPECT_FALSE(fs::exists(fs::path(Card()) / "ck2/en/word/00000001.qvx"));
    EXPECT_TRUE(fs::exists(fs::path(Card()) / "ck7/00000111.qvx"));

    const auto before = Snapshot(Card());
    EXPECT_EQ(Cli({"delete", "M0001"}).exitCode, 8) << "no longer on the device";
    EXPECT_EQ(Snapshot(Card()), before);
}

TEST_F(CliCardCommandsTest, GameTakesLanguageContentsInAndOut) {
    ASSERT_EQ(Cli({"install", "L0001", "L0002", "M0001"}).exitCode, 0);

    ASSERT_EQ(Cli({"game", "add", "L0001", "L0002"}).exitCode, 0);
    EXPECT_EQ(Database().gameContentList(), (std::vector<std::string>{"L0001", "L0002"}));
    const std::string gameTable = ReadFile(fs::path(Card()) / "ck6/rfid.tbl");

    ASSERT_EQ(Cli({"game", "remove", "L0001"}).exitCode, 0);
    EXPECT_EQ(Database().gameContentList(), std::vector<std::string>{"L0002"});
    EXPECT_NE(ReadFile(fs::path(Card()) / "ck6/rfid.tbl"), gameTable);
    EXPECT_TRUE(Database().FindContent("single", "language", "L0001"))
        << "taken out of the game, still on the device";

    const auto before = Snapshot(Card());
    EXPECT_EQ(Cli({"game", "add", "M0001"}).exitCode, 8) << "only language contents play";
    EXPECT_EQ(Cli({"game", "remove", "L0001"}).exitCode, 8) << "not in the game any more";
    EXPECT_EQ(Snapshot(Card()), before);
}

TEST_F(CliCardCommandsTest, DiyRecordingsGoOnTheCardAndComeBack) {
    ASSERT_EQ(Cli({"install", "L0001"}).exitCode, 0);
    ASSERT_EQ(Cli({"diy", "select", "L0001"}).exitCode, 0);
    EXPECT_EQ(Database().selectedDiyContentNo(), "L0001");

    const fs::path recording = folder.path() / "recordings" / "hello.mp3";
    WriteFile(recording, "ID3 a parent's voice");
    const ProgramRun assigned = Cli({"diy", "assign", "92100012", "2", recording.string()});
    ASSERT_EQ(assigned.exitCode, 0) << assigned.err;
    EXPECT_EQ(ReadFile(fs::path(Card()) / "ck9/re2/hello.mp3"), "ID3 a parent's voice");
    EXPECT_EQ(Diy().RecordForCard(92100012)->slots[1].file, "hello.mp3");

    ASSERT_EQ(Cli({"diy", "rename", "12", "2", "아빠 인사"}).exitCode, 0);
    EXPECT_EQ(Diy().RecordForCard(92100012)->slots[1].name, "아빠 인사");
    // Diy.dat would read a tab or line break back as a blank: such a name is refused.
    for (const char* name : {"아빠\t인사", "two\nlines", "bell\x07"}) {
        const ProgramRun refused = Cli({"diy", "rename", "12", "2", name});
        EXPECT_NE(refused.exitCode, 0) << name;
        EXPECT_FALSE(refused.err.empty()) << name;
        EXPECT_EQ(Diy().RecordForCard(92100012)->slots[1].name, "아빠 인사");
    }

    const fs::path exported = folder.path() / "saved" / "copy";
    ASSERT_EQ(Cli({"diy", "export", "12", "2", exported.string()}).exitCode, 0);
    EXPECT_EQ(ReadFile(exported.string() + ".mp3"), "ID3 a parent's voice");

    ASSERT_EQ(Cli({"diy", "delete", "12", "2"}).exitCode, 0);
    EXPECT_FALSE(fs::exists(fs::path(Card()) / "ck9/re2/hello.mp3"));
    EXPECT_FALSE(Diy().RecordForCard(92100012)->slots[1].InUse());
}

TEST_F(CliCardCommandsTest, DiyCommandsRefuseWhatTheCardCannotHold) {
    ASSERT_EQ(Cli({"install", "M0001"}).exitCode, 0);
    const fs::path recording = folder.path() / "hello.mp3";
    WriteFile(recording, "ID3 voice");
    WriteFile(folder.path() / "hostname.mp3", "my-laptop\n");  // no sound, whatever its name
    const auto before = Snapshot(Card());
    // Nothing to act on is an unknown item (8); a file that is no sound is refused by rule (3).
    const std::vector<std::pair<std::vector<std::string>, int>> refused = {
        {{"diy", "select", "M0001"}, 8},
        {{"diy", "assign", "1501", "1", recording.string()}, 8},
        {{"diy", "assign", "1", "5", recording.string()}, 8},
        {{"diy", "assign", "1", "1", (folder.path() / "missing.mp3").string()}, 8},
        {{"diy", "assign", "1", "1", (folder.path() / "hostname.mp3").string()}, 3},
        {{"diy", "rename", "1", "1", "nothing recorded"}, 8},
        {{"diy", "export", "1", "1", (folder.path() / "out").string()}, 8},
    };
    for (const auto& [command, exitCode] : refused) {
        const ProgramRun run = Cli(command);
        EXPECT_EQ(run.exitCode, exitCode) << command[1] << " " << command[2];
        EXPECT_FALSE(run.err.empty()) << command[1];
    }
    const ProgramRun noSound =
        Cli({"diy", "assign", "1", "1", (folder.path() / "hostname.mp3").string(), "--json"});
    const json error = json::parse(noSound.err.substr(noSound.err.find("{\"error\"")))["error"];
    EXPECT_EQ(error["kind"], "refused");
    EXPECT_NE(error["message"].get<std::string>().find("hostname.mp3"), std::string::npos);
    EXPECT_EQ(Snapshot(Card()), before);
}

TEST_F(CliCardCommandsTest, ChildrenApplyPutsTheNameVoiceInEveryLanguageAndReleaseTakesItAway) {
    const ProgramRun list = Cli({"children", "list", "--json"});
    ASSERT_EQ(list.exitCode, 0) << list.err;
    std::string voiceUrl;
    const json children = json::parse(list.out);
    for (const json& child : children) {
        if (child["childNo"] == 101) voiceUrl = child["nameFiles"].at(0)["url"];
    }
    const std::string voice = AsOnCard(Served(voiceUrl));

    const ProgramRun applied = Cli({"children", "apply", "101"});
    ASSERT_EQ(applied.exitCode, 0) << applied.err;
    for (const char* language : {"en", "ko", "ja", "ch"}) {
        EXPECT_EQ(ReadFile(fs::path(Card()) / "ck1" / language / "00000003.qvx"), voice)
            << language;
    }
    EXPECT_EQ(Database().selectedChildNo(), 101);

    ASSERT_EQ(Cli({"children", "release"}).exitCode, 0);
    for (const char* language : {"en", "ko", "ja", "ch"}) {
        EXPECT_FALSE(fs::exists(fs::path(Card()) / "ck1" / language / "00000003.qvx"));
    }
    EXPECT_EQ(Database().selectedChildNo(), 0);

    const ProgramRun unknown = Cli({"children", "apply", "999"});
    EXPECT_EQ(unknown.exitCode, 8);
    EXPECT_EQ(Database().selectedChildNo(), 0);
}

TEST_F(CliCardCommandsTest, UpdateKeepsTheCardsContentsAndDatabase) {
    ASSERT_EQ(Cli({"install", "M0001"}).exitCode, 0);
    const std::string database = ReadFile(fs::path(Card()) / "Default.dat");
    const std::string sound = ReadFile(fs::path(Card()) / "ck7/00000101.qvx");

    const ProgramRun run = Cli({"updates", "install", "1", "--kind", "update", "--drive", Card()});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(ReadFile(fs::path(Card()) / "Default.dat"), database);
    EXPECT_EQ(ReadFile(fs::path(Card()) / "ck7/00000101.qvx"), sound);
    EXPECT_NE(ReadFile(fs::path(Card()) / "info.dat").find("2.1.0"), std::string::npos);
}

struct Said {
    const char* what;
    std::vector<std::string> command;
    std::string sentence;
    int exitCode;  // 1 for a rule of the card, 8 for something the card does not hold
};

// stdout keeps what a command did and stderr what it refused: a script reads the one and shows
// the other. The core's refusals are said with and without an icon alike; each lands on stderr
// with its exit status and leaves the card as it was.
TEST_F(CliCardCommandsTest, RefusalsGoToStderrAndLeaveStdoutEmpty) {
    ASSERT_EQ(Cli({"install", "L0001", "L0002", "M0001"}).exitCode, 0);
    ASSERT_EQ(Cli({"diy", "select", "L0001"}).exitCode, 0);
    ASSERT_EQ(Cli({"game", "add", "L0002"}).exitCode, 0);
    const auto before = Snapshot(Card());

    const Said refusals[] = {
        {"the DIY content", {"delete", "L0001"}, std::string(kMsgDiyNotDeletable), 1},
        {"a game's content", {"delete", "L0002"}, std::string(kMsgGameContentNotDeleted), 1},
        {"the last game", {"game", "remove", "L0002"}, std::string(kMsgOneGameRequired), 1},
        {"a game not chosen", {"game", "remove", "L0001"}, "content L0001 is not a chosen game", 8},
        {"a content not on the card", {"delete", "X9999"}, "content X9999 is not on the device", 8},
        {"a game that is no language content",
         {"game", "add", "M0001"},
         "content M0001 is not a language content on the device",
         8},
    };
    for (const Said& refusal : refusals) {
        SCOPED_TRACE(refusal.what);
        const ProgramRun run = Cli(refusal.command);
        EXPECT_EQ(run.exitCode, refusal.exitCode);
        EXPECT_EQ(run.out, "");
        EXPECT_NE(run.err.find(refusal.sentence), std::string::npos) << run.err;
        EXPECT_EQ(Snapshot(Card()), before);
    }

    // What a command did stays on stdout.
    const ProgramRun deleted = Cli({"delete", "M0001"});
    EXPECT_EQ(deleted.exitCode, 0) << deleted.err;
    EXPECT_EQ(deleted.out, std::string(kMsgDeleted) + "\n");
    EXPECT_EQ(deleted.err, "");
}

// A job that ran to its end without doing all of it: the status lines of its progress stay on
// stdout, and that it failed is said on stderr only, never "done".
TEST_F(CliCardCommandsTest, AJobThatFailedSaysSoOnStderrOnly) {
    const fs::path recording = folder.path() / "hello.mp3";
    WriteFile(recording, "ID3 a parent's voice");
    fs::remove_all(fs::path(Card()) / "ck9/re1");
    WriteFile(fs::path(Card()) / "ck9/re1", "a file where the slot's folder belongs");

    const ProgramRun run = Cli({"diy", "assign", "1", "1", recording.string()});

    EXPECT_EQ(run.exitCode, 7) << "the card did not take the recording";
    EXPECT_EQ(run.out.find(kMsgJobFailed), std::string::npos) << run.out;
    EXPECT_EQ(run.out.find(kMsgDownloadDone), std::string::npos) << run.out;
    EXPECT_EQ(run.err.find(kMsgDownloadDone), std::string::npos) << run.err;
    EXPECT_NE(run.err.find(kMsgJobFailed), std::string::npos) << run.err;
    EXPECT_FALSE(Diy().RecordForCard(92100001)->slots[0].InUse());

    // A script reads the kind of what was left out, and the sentence by its name.
    const ProgramRun scripted = Cli({"diy", "assign", "1", "1", recording.string(), "--json"});
    EXPECT_EQ(scripted.exitCode, 7);
    const json error = json::parse(scripted.err.substr(scripted.err.find("{\"error\"")))["error"];
    EXPECT_EQ(error["kind"], "cardFull");
    EXPECT_EQ(error["id"], "jobFailed");
    EXPECT_EQ(error["message"], kMsgJobFailed);
}

// With --json stdout is the one document a script parses, even when the repair downloads.
TEST_F(CliCardCommandsTest, ARepairWithJsonPrintsOnlyTheDocument) {
    ASSERT_EQ(Cli({"install", "M0001"}).exitCode, 0);
    fs::remove(fs::path(Card()) / "ck7/00000101.qvx");

    const ProgramRun repair = Cli({"device", "check", "--repair", "--json"});

    EXPECT_EQ(repair.exitCode, 0) << repair.err;
    const json result = json::parse(repair.out, nullptr, false);
    ASSERT_FALSE(result.is_discarded()) << repair.out;
    ASSERT_EQ(result["repairs"].size(), 2u) << repair.out;  // the file and its folder's tables
    for (const json& step : result["repairs"]) EXPECT_TRUE(step["mended"]) << step.dump();
    EXPECT_TRUE(fs::exists(fs::path(Card()) / "ck7/00000101.qvx"));
}

struct ResetAnswer {
    const char* what;
    bool yesFlag;
    ProgramInput input;
    bool wiped;
};

class CliResetTest : public CliCardCommandsTest,
                     public ::testing::WithParamInterface<ResetAnswer> {};

// Only a "yes" the user gave wipes the card: --yes, or "y" typed on a terminal. A script's input
// is never taken for an answer.
TEST_P(CliResetTest, WipesTheCardOnlyWhenTheUserSaysYes) {
    ASSERT_EQ(Cli({"install", "M0001"}).exitCode, 0);
    WriteFile(fs::path(Card()) / "notes/keep.txt", "the parent's own file");
    const auto before = Snapshot(Card());

    std::vector<std::string> command = {"updates", "install", "2",   "--kind",
                                        "reset",   "--drive", Card()};
    if (GetParam().yesFlag) command.push_back("--yes");
    const ProgramRun run = Cli(command, GetParam().input);

    if (GetParam().wiped) {
        ASSERT_EQ(run.exitCode, 0) << run.err;
        EXPECT_FALSE(fs::exists(fs::path(Card()) / "notes"));
        EXPECT_FALSE(fs::exists(fs::path(Card()) / "ck7/00000101.qvx"));
        const CDefaultXML fresh = Database();
        EXPECT_TRUE(fresh.Contents(Shelf::Music).empty());
        EXPECT_EQ(fresh.systemVersion(), "1.4");
    } else {
        EXPECT_EQ(run.exitCode, 3) << run.err;
        EXPECT_NE(run.err.find("cancelled"), std::string::npos) << run.err;
        EXPECT_EQ(Snapshot(Card()), before);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Answers, CliResetTest,
    ::testing::Values(ResetAnswer{"NoInput", false, {Input::Closed, ""}, false},
                      ResetAnswer{"ScriptSaysNothing", false, {Input::Empty, ""}, false},
                      ResetAnswer{"ScriptSaysYes", false, {Input::Piped, "y\n"}, false},
                      ResetAnswer{"TypedNo", false, {Input::Terminal, "n\n"}, false},
                      ResetAnswer{"TypedYes", false, {Input::Terminal, "y\n"}, true},
                      ResetAnswer{"YesFlag", true, {Input::Closed, ""}, true}),
    [](const auto& info) { return std::string(info.param.what); });

// A card broken by hand: the check lists each problem and exits 1 without changing a byte; the
// repair downloads the lost song again, rebuilds the table and removes the leftover, and the
// card is then sound.
TEST_F(CliCardCommandsTest, DeviceCheckFindsWhatIsBrokenAndRepairMendsIt) {
    ASSERT_EQ(Cli({"install", "M0001"}).exitCode, 0);
    const std::string song = ReadFile(fs::path(Card()) / "ck7/00000101.qvx");
    ASSERT_EQ(Cli({"device", "check"}).exitCode, 0);

    fs::remove(fs::path(Card()) / "ck7/00000101.qvx");
    fs::remove(fs::path(Card()) / "ck6/rfid.tbl");
    WriteFile(fs::path(Card()) / "ck7/.~rfid.tbl.x1y2z3", "half a table");
    const auto broken = Snapshot(Card());

    const ProgramRun check = Cli({"device", "check", "--json"});
    EXPECT_EQ(check.exitCode, 1) << check.err;
    const json found = json::parse(check.out);
    std::set<std::string> kinds;
    for (const json& problem : found["problems"]) kinds.insert(problem["kind"]);
    EXPECT_EQ(kinds, (std::set<std::string>{"missing-content-file", "stale-folder-tables",
                                            "stale-game-table", "leftover"}));
    EXPECT_EQ(Snapshot(Card()), broken);

    const ProgramRun repair = Cli({"device", "check", "--repair"});
    EXPECT_EQ(repair.exitCode, 0) << repair.out << repair.err;
    EXPECT_EQ(ReadFile(fs::path(Card()) / "ck7/00000101.qvx"), song);
    EXPECT_FALSE(fs::exists(fs::path(Card()) / "ck7/.~rfid.tbl.x1y2z3"));
    EXPECT_EQ(Cli({"device", "check"}).exitCode, 0);
}

// The parent's recording and the child's name voice survive a broken card through a backup, and
// a reset through --keep-recordings; a damaged backup is refused on stderr.
TEST_F(CliCardCommandsTest, BackupRestoreAndAResetKeepingTheRecordings) {
    const fs::path card(Card());
    WriteFile(folder / "dad.mp3", "ID3 dad's voice");
    ASSERT_EQ(Cli({"diy", "assign", "92100001", "1", folder / "dad.mp3"}).exitCode, 0);
    for (const char* language : {"en", "ko", "ja", "ch"})
        WriteFile(card / "ck1" / language / "00000003.qvx", "name voice");
    const auto before = Snapshot(Card());
    const DiySlot assigned = Diy().RecordForCard(92100001)->slots[0];
    const std::string archive = folder / "card.tvbackup";

    const ProgramRun backup = Cli({"device", "backup", archive});
    ASSERT_EQ(backup.exitCode, 0) << backup.err;
    fs::remove_all(card / "ck9/re1");
    fs::remove(card / "Diy.dat");
    const ProgramRun restore = Cli({"device", "restore", archive, "--yes"});
    ASSERT_EQ(restore.exitCode, 0) << restore.err;
    EXPECT_EQ(Snapshot(Card()), before);

    std::string damaged = ReadFile(archive);
    damaged[damaged.find("dad's voice")] ^= 0x20;
    WriteFile(archive, damaged);
    fs::remove(card / "Diy.dat");
    const auto broken = Snapshot(Card());
    const ProgramRun refused = Cli({"device", "restore", archive, "--yes"});
    EXPECT_EQ(refused.exitCode, 1);
    EXPECT_NE(refused.err.find("손상"), std::string::npos) << refused.err;
    EXPECT_EQ(Snapshot(Card()), broken);

    WriteFile(card / "Diy.dat", before.at("Diy.dat"));
    const ProgramRun reset = Cli({"updates", "install", "2", "--kind", "reset", "--drive", Card(),
                                  "--yes", "--keep-recordings"});
    ASSERT_EQ(reset.exitCode, 0) << reset.err;
    EXPECT_EQ(Database().systemVersion(), "1.4");
    EXPECT_EQ(Diy().RecordForCard(92100001)->slots[0], assigned);
    EXPECT_EQ(ReadFile(card / "ck9/re1" / assigned.file), before.at("ck9/re1/" + assigned.file));
    EXPECT_EQ(ReadFile(card / "ck1/ja/00000003.qvx"), "name voice");
    EXPECT_NE(reset.out.find("다시 썼습니다"), std::string::npos) << reset.out;
}

}  // namespace
}  // namespace torvane::test
