// torvane-cli's store commands, run as a program on a card folder made here.
#include <gtest/gtest.h>

#include <cstdlib>
#include <nlohmann/json.hpp>
#include <sstream>

#include "store/default_xml.h"
#include "store/device_clock.h"
#include "store/device_setup.h"
#include "store/diy_xml.h"
#include "tests/support/program_run.h"
#include "tests/support/store_test_support.h"

namespace torvane {
namespace {

using nlohmann::json;
using test::ProgramRun;
using test::ReadFile;
using test::WithoutPadding;
using test::WriteFile;

class StoreCommands : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(CreateEmptyDevice(card.str(), "1.4.0", "1"));
        CDefaultXML database{card.str()};
        ASSERT_TRUE(database.Load().ok());
        ContentRecord content;
        content.contentNo = "L0001";
        content.title = "똠방각하 영어";
        content.mainGroup = "language";
        content.status = "Y";
        FileRecord file;
        file.name = "00000001.MP3";
        file.language = "en";
        file.folderType = "1";
        file.rfidCardId = "1001";
        file.size = 4096;
        content.files = {file};
        ASSERT_TRUE(database.AddContent(content));
        ASSERT_TRUE(database.Save().ok());
        database.SelectDiyContent(database.Contents(Shelf::Language)[0]);

        CDiyXML diy{card.str()};
        ASSERT_TRUE(diy.Load().ok());
        diy.RecordForCard(92100003)->slots[1] = {"아빠 목소리", "2024-03-05T14-07-09", "a.mp3"};
        ASSERT_TRUE(diy.SaveDiyFile().ok());
        ASSERT_TRUE(diy.SaveRecTable().ok());
    }

    // Runs torvane-cli with the words of `arguments` (the test's paths hold no spaces).
    static ProgramRun Run(const std::string& arguments) {
        std::vector<std::string> words = {TORVANE_CLI_PATH};
        std::istringstream split(arguments);
        for (std::string word; split >> word;) words.push_back(word);
        return test::RunProgram(words);
    }
    std::string Device() const { return "--device " + card.str(); }

    test::TempFolder card;
    test::TempFolder scratch;
    ScopedDeviceDate date{"2024-03-05T14-07-09"};
};

TEST_F(StoreCommands, DeviceShowJsonHoldsSettingsAndEveryShelf) {
    const ProgramRun result = Run("device show --json " + Device());
    ASSERT_EQ(result.exitCode, 0) << result.err;
    const json device = json::parse(result.out);
    EXPECT_EQ(device["systemVersion"], "1.4.0");
    EXPECT_EQ(device["soundType"], "1");
    EXPECT_EQ(device["selectedChildNo"], 0);
    EXPECT_EQ(device["selectedDiyContentNo"], "L0001");
    EXPECT_EQ(device["diyList"], json::array({"00000001"}));
    EXPECT_EQ(device["gameContentList"], json::array());
    for (const char* shelf : {"language", "music", "story", "bookSeries", "book", "game",
                              "cardSeries", "card", "excellentSeries", "excellent"})
        EXPECT_TRUE(device["shelves"][shelf].is_array()) << shelf;
    const json& content = device["shelves"]["language"].at(0);
    EXPECT_EQ(content["contentNo"], "L0001");
    EXPECT_EQ(content["name"], "똠방각하 영어");
    EXPECT_EQ(content["mainGroup"], "language");
    EXPECT_EQ(content["subGroup"], "");
    EXPECT_EQ(content["downloadDate"], "2024-03-05T14-07-09");
    EXPECT_EQ(content["downloadDateIso"], "2024-03-05T14:07:09");
    EXPECT_EQ(content["status"], "default");
    EXPECT_EQ(content["files"], json::parse(R"([{"name": "00000001.qvx", "language": "en",
        "folderType": "1", "rfidCardId": "1001", "fileSize": 4096}])"));
}

TEST_F(StoreCommands, HumanOutputShowsKoreanTitlesAndTakesTheDeviceFromTheEnvironment) {
    ::setenv("TORVANE_DEVICE", card.str().c_str(), 1);
    const ProgramRun result = Run("device show");
    ::unsetenv("TORVANE_DEVICE");
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_NE(result.out.find("L0001  똠방각하 영어"), std::string::npos) << result.out;
    EXPECT_NE(result.out.find("00000001.qvx"), std::string::npos);
}

TEST_F(StoreCommands, TablesRebuildWritesTheKindsTables) {
    WriteFile(card / "ck7/00000009.qvx", "x");
    ASSERT_EQ(Run(Device() + " tables rebuild music").exitCode, 0);
    EXPECT_EQ(WithoutPadding(test::DecipherToBytes(card / "ck7/sw.tbl")),
              "00000009^^00000009.qvx^^/ck7\r\n");
    EXPECT_EQ(Run(Device() + " tables rebuild game").exitCode, 0);
    EXPECT_EQ(Run(Device() + " tables rebuild video").exitCode, 2);
}

TEST_F(StoreCommands, DiyShowListsCardsInUseOrAll) {
    const ProgramRun used = Run("diy show --json " + Device());
    ASSERT_EQ(used.exitCode, 0) << used.err;
    const json cards = json::parse(used.out)["cards"];
    EXPECT_EQ(cards, json::parse(R"([{"card": 3, "deviceCard": 92100003, "slots": [
        {"slot": 1, "inUse": false, "name": "", "date": "", "dateIso": null, "file": ""},
        {"slot": 2, "inUse": true, "name": "아빠 목소리", "date": "2024-03-05T14-07-09",
         "dateIso": "2024-03-05T14:07:09", "file": "a.mp3"},
        {"slot": 3, "inUse": false, "name": "", "date": "", "dateIso": null, "file": ""},
        {"slot": 4, "inUse": false, "name": "", "date": "", "dateIso": null, "file": ""}]}])"));
    const ProgramRun all = Run("diy show --all --json " + Device());
    EXPECT_EQ(json::parse(all.out)["cards"].size(), 1500u);
    const ProgramRun human = Run("diy show " + Device());
    EXPECT_NE(human.out.find("2: 아빠 목소리  (a.mp3, 2024-03-05T14-07-09)"), std::string::npos)
        << human.out;
}

TEST_F(StoreCommands, CipherRoundTrip) {
    WriteFile(scratch / "plain", "thirteen byte");
    ASSERT_EQ(Run("cipher encipher " + (scratch / "plain") + " " + (scratch / "enc")).exitCode, 0);
    EXPECT_EQ(ReadFile(scratch / "enc").size(), 16u);
    ASSERT_EQ(Run("cipher decipher " + (scratch / "enc") + " " + (scratch / "back")).exitCode, 0);
    EXPECT_EQ(ReadFile(scratch / "back"), std::string("thirteen byte\0\0\0", 16));
}

TEST_F(StoreCommands, FailuresAndUsageErrorsHaveTheirStatus) {
    const ProgramRun missing = Run("cipher encipher " + (scratch / "none") + " " + (scratch / "x"));
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_EQ(std::count(missing.err.begin(), missing.err.end(), '\n'), 1) << missing.err;

    std::filesystem::remove(card / "Default.dat");
    const ProgramRun noDatabase = Run("device show " + Device());
    EXPECT_EQ(noDatabase.exitCode, 6);
    EXPECT_NE(noDatabase.err.find("Default.dat"), std::string::npos);
    EXPECT_EQ(Run("device show --device " + (scratch / "absent")).exitCode, 6);

    EXPECT_EQ(Run("cipher encipher onlyone").exitCode, 2);
    EXPECT_EQ(Run("device").exitCode, 2);
}

}  // namespace
}  // namespace torvane
