// The update page's state and its card care tab's, without a window: what each tab shows, which
// package an install click takes, the reset's keep choice, and the care findings after each job.
#include "update/update_page_state.h"

#include <gtest/gtest.h>

#include <functional>

#include "common/messages.h"
#include "update/card_care_state.h"

namespace torvane {
namespace {

UpdateFileList TwoPackages() {
    UpdateFileList list;
    const Status read = list.ReadUpdateFiles(R"(<?xml version="1.0" encoding="utf-8"?>
<systemUpdateFiles><firmwareFileList>
 <factoryFile><version>1.2</version><name>new.zip</name></factoryFile>
 <factoryFile><version>1.1</version><name>old.zip</name></factoryFile>
</firmwareFileList></systemUpdateFiles>)");
    EXPECT_TRUE(read.ok()) << read.message();
    return list;
}

TEST(UpdatePageState, EachTabShowsItsOwnWidgetsKindAndVersion) {
    UpdatePageState state;
    state.SetVersions("1.0", "2.0.5");
    const struct {
        UpdateTab tab;
        PackageKind kind;
        bool packages, keep, care;
        std::string_view label;
        const char* version;
    } tabs[] = {
        {UpdateTab::Update, PackageKind::Update, true, false, false, kLabelContentVersion, "1.0"},
        {UpdateTab::Reset, PackageKind::Reset, true, true, false, kLabelFirmwareVersion, "2.0.5"},
        {UpdateTab::Care, PackageKind::Reset, false, false, true, kLabelFirmwareVersion, "2.0.5"},
    };
    for (const auto& t : tabs) {
        state.ChooseTab(t.tab);
        const int which = static_cast<int>(t.tab);
        EXPECT_EQ(state.Kind(), t.kind) << which;
        EXPECT_EQ(state.ShowsPackages(), t.packages) << which;
        EXPECT_EQ(state.ShowsKeepRecordings(), t.keep) << which;
        EXPECT_EQ(state.ShowsCare(), t.care) << which;
        EXPECT_EQ(state.TakesInstallClick(), t.packages) << which;
        EXPECT_EQ(state.VersionLabel(), t.label) << which;
        EXPECT_EQ(state.ShownVersion(), t.version) << which;
    }
    EXPECT_FALSE(state.ChooseTab(UpdateTab::Care)) << "the tab shown already: nothing refilled";
    EXPECT_TRUE(state.ChooseTab(UpdateTab::Update));
}

TEST(UpdatePageState, AnInstallTakesTheTickedPackageOnlyWhenThereIsOne) {
    UpdatePageState state;
    EXPECT_EQ(state.PackageAt(1), std::nullopt) << "no list fetched";
    state.SetList(TwoPackages());
    const struct {
        int position;
        const char* name;  // nullptr: nothing installed
    } clicks[] = {{0, nullptr}, {1, "new.zip"}, {2, "old.zip"}, {3, nullptr}, {-1, nullptr}};
    for (const UpdateTab tab : {UpdateTab::Update, UpdateTab::Reset}) {
        state.ChooseTab(tab);
        for (const auto& c : clicks) {
            const std::optional<UpdateFile> file = state.PackageAt(c.position);
            EXPECT_EQ(file ? file->name : "none", c.name != nullptr ? c.name : "none")
                << "row " << c.position;
        }
    }
    state.SetInstalling(true);
    EXPECT_FALSE(state.TakesInstallClick()) << "one install at a time";
    state.SetInstalling(false);
    state.SetList(std::nullopt);
    EXPECT_TRUE(state.Files().empty()) << "a failed fetch lists nothing";
}

TEST(UpdatePageState, OnePackageIsTickedAtATimeAndANewTabOrListTicksNone) {
    UpdatePageState state;
    state.Tick(1);
    EXPECT_EQ(state.Ticked(), 0) << "nothing listed yet";
    state.SetList(TwoPackages());
    const struct {
        int position, ticked;
        const char* installed;  // nullptr: nothing
    } ticks[] = {{1, 1, "new.zip"}, {1, 1, "new.zip"}, {2, 2, "old.zip"}, {3, 0, nullptr},
                 {2, 2, "old.zip"}, {0, 0, nullptr},   {-1, 0, nullptr}};
    for (const auto& t : ticks) {
        state.Tick(t.position);
        EXPECT_EQ(state.Ticked(), t.ticked) << t.position;
        const std::optional<UpdateFile> file = state.TickedPackage();
        EXPECT_EQ(file ? file->name : "none", t.installed ? t.installed : "none") << t.position;
    }
    const struct {
        const char* change;
        std::function<void()> apply;
    } changes[] = {
        {"another tab", [&] { state.ChooseTab(UpdateTab::Reset); }},
        {"a new list", [&] { state.SetList(TwoPackages()); }},
        {"a failed fetch", [&] { state.SetList(std::nullopt); }},
    };
    for (const auto& c : changes) {
        state.SetList(TwoPackages());
        state.Tick(2);
        c.apply();
        EXPECT_EQ(state.Ticked(), 0) << c.change;
        EXPECT_FALSE(state.TickedPackage().has_value()) << c.change;
    }
    state.SetList(TwoPackages());
    state.Tick(1);
    state.ChooseTab(state.Tab());
    EXPECT_EQ(state.Ticked(), 1) << "a click on the tab shown keeps the tick";
}

TEST(UpdatePageState, OnlyAResetKeepsTheRecordingsAndOnlyWhenChosen) {
    UpdatePageState state;
    EXPECT_TRUE(state.KeepRecordings()) << "on at first";
    EXPECT_FALSE(state.InstallKeepsRecordings()) << "an update wipes nothing";
    state.ChooseTab(UpdateTab::Reset);
    EXPECT_TRUE(state.InstallKeepsRecordings());
    state.SetKeepRecordings(false);
    EXPECT_FALSE(state.InstallKeepsRecordings());
}

TEST(CardCareState, FindingsFollowTheLastCheckOrRepairThatRanToItsEnd) {
    CardCareState state;
    EXPECT_EQ(state.Summary(), kMsgCardNotChecked);
    EXPECT_TRUE(state.FindingRows().empty());

    const CardProblem leftover{CardProblemKind::Leftover, "ck7/.~rfid.tbl.Ab12Cd", ""};
    const CardProblem lost{CardProblemKind::MissingRecording, "ck9/re1/dad.mp3", ""};
    const JobOutcome completed{.status = Status::Ok()};
    const JobOutcome cancelled{.status = Status::Failure(OutcomeKind::Cancelled, Message{})};

    CareReport check;
    check.problems = {leftover, lost};
    EXPECT_FALSE(state.AfterCheck(cancelled, check)) << "a cancelled check shows nothing";
    EXPECT_FALSE(state.Report().has_value());
    ASSERT_TRUE(state.AfterCheck(completed, check));
    const std::string leftoverText(CardProblemSentence(CardProblemKind::Leftover));
    const std::string lostText(CardProblemSentence(CardProblemKind::MissingRecording));
    EXPECT_EQ(state.FindingRows(),
              (std::vector<CardCareState::FindingRow>{{leftover.where, leftoverText, ""},
                                                      {lost.where, lostText, ""}}));
    EXPECT_EQ(state.Summary(), check.Summary());

    CareReport repair = check;
    repair.repairs = std::vector<RepairStep>{{leftover, true}, {lost, false}};
    ASSERT_TRUE(state.AfterCheck(completed, repair));
    EXPECT_EQ(state.FindingRows(), (std::vector<CardCareState::FindingRow>{
                                       {leftover.where, leftoverText, std::string(kLabelMended)},
                                       {lost.where, lostText, std::string(kLabelLeftAsItWas)}}));

    EXPECT_FALSE(state.AfterRestore(cancelled)) << "a restore that stopped keeps the findings";
    EXPECT_TRUE(state.Report().has_value());
    EXPECT_TRUE(state.AfterRestore(completed));
    EXPECT_EQ(state.Summary(), kMsgCardNotChecked) << "the restored card is not checked yet";
}

TEST(CardCareState, ABackupAlwaysCarriesTheExtensionTheFileManagerOpens) {
    const struct {
        const char *chosen, *written;
    } names[] = {
        {"", ""},
        {"/home/a/카드", "/home/a/카드.tvbackup"},
        {"/home/a/card.tvbackup", "/home/a/card.tvbackup"},
        {"/home/a/card.TVBackup", "/home/a/card.TVBackup"},
        {"/home/a/card.zip", "/home/a/card.zip.tvbackup"},
        {"/home/a/tvbackup", "/home/a/tvbackup.tvbackup"},
    };
    for (const auto& n : names) EXPECT_EQ(BackupArchivePath(n.chosen), n.written) << n.chosen;
}

TEST(CardCareState, OneJobAtATime) {
    CardCareState state;
    EXPECT_TRUE(state.BeginJob());
    EXPECT_FALSE(state.BeginJob());
    state.EndJob();
    EXPECT_TRUE(state.BeginJob());
}

}  // namespace
}  // namespace torvane
