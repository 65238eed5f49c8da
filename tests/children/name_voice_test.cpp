// Applying and releasing a child's name voice on the card.
#include "children/name_voice.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "children/child_rules.h"
#include "common/messages.h"
#include "store/card_anchor.h"
#include "store/card_paths.h"
#include "tests/support/demo_session.h"
#include "tests/support/device_fixture.h"

namespace torvane {
namespace {

namespace fs = std::filesystem;
using test::ReadFile;

class NameVoiceTest : public test::ServiceFixture {
  protected:
    ChildInfo Child(int childNo) {
        const ChildrenList list = FetchChildrenList(session);
        EXPECT_TRUE(list.ok()) << list.status.message();
        for (const ChildInfo& child : list.items) {
            if (child.childNo == childNo) return child;
        }
        ADD_FAILURE() << "no child " << childNo;
        return {};
    }
};

TEST_F(NameVoiceTest, ApplyingAVoicePutsItInEveryLanguageFolderAndReleasingRemovesIt) {
    const ChildInfo child = Child(101);
    ASSERT_FALSE(child.nameFiles.empty());
    std::string served = Served(child.nameFiles[0].url);
    for (char& c : served) c = static_cast<char>(static_cast<unsigned char>(c) + 1);

    const Status applied = ApplyNameVoice(child, database, session);
    ASSERT_TRUE(applied.ok()) << applied.message();
    for (const char* language : {"en", "ko", "ja", "ch"}) {
        EXPECT_EQ(ReadFile(Card() / "ck1" / language / "00000003.qvx"), served) << language;
    }
    EXPECT_EQ(Reloaded().selectedChildNo(), 101);

    ASSERT_TRUE(ReleaseNameVoice(database).ok());
    for (const std::string& path : card_paths::NameVoiceFiles(Card().string())) {
        EXPECT_FALSE(fs::exists(path)) << path;
        EXPECT_TRUE(fs::is_directory(fs::path(path).parent_path()));
    }
    EXPECT_EQ(Reloaded().selectedChildNo(), 0);
}

TEST_F(NameVoiceTest, ChildWithoutAVoiceChangesNothing) {
    ASSERT_TRUE(ApplyNameVoice(Child(101), database, session).ok());
    const Status applied = ApplyNameVoice(Child(102), database, session);
    EXPECT_EQ(applied.kind(), OutcomeKind::UnknownItem);
    EXPECT_EQ(applied.said(), Say(MessageId::NoNameVoice));
    EXPECT_EQ(Reloaded().selectedChildNo(), 101);
    EXPECT_TRUE(fs::exists(Card() / "ck1/ko/00000003.qvx"));
}

TEST_F(NameVoiceTest, WithoutADeviceNothingIsTriedAndTheOutcomeSaysSo) {
    const Status required = RequireCard(nullptr);
    EXPECT_EQ(required.kind(), OutcomeKind::CardUnreadable);
    EXPECT_EQ(required.said(), Say(MessageId::NoDevice));
    EXPECT_EQ(required.message(), kMsgNoDevice);
    CDefaultXML noCard;
    EXPECT_EQ(ApplyNameVoice(Child(101), noCard, session).kind(), OutcomeKind::CardUnreadable);
    EXPECT_EQ(ReleaseNameVoice(noCard).kind(), OutcomeKind::CardUnreadable);
}

// A card that was pulled takes neither a voice nor its release, and says it left.
TEST_F(NameVoiceTest, APulledCardIsToldAsGone) {
    ASSERT_TRUE(ApplyNameVoice(Child(101), database, session).ok());
    const std::string before = ReadFile(Card() / "Default.dat");
    auto anchor = std::make_shared<CardAnchor>(Card().string());
    CDefaultXML pulled(anchor);
    ASSERT_TRUE(pulled.Load().ok());
    anchor->MarkRemoved();
    EXPECT_EQ(SelectNameVoiceChild(0, pulled).kind(), OutcomeKind::CardUnreadable);
    EXPECT_EQ(ReleaseNameVoice(pulled).kind(), OutcomeKind::CardUnreadable);
    EXPECT_EQ(ReadFile(Card() / "Default.dat"), before);
    const Status deleted = DeleteNameVoiceFiles(*anchor);
    EXPECT_EQ(deleted.kind(), OutcomeKind::CardUnreadable);
    EXPECT_EQ(deleted.said(), Say(MessageId::CardRemovedDuringJob));
    const Status placed = PlaceNameVoice(Child(101), *anchor, session);
    EXPECT_EQ(placed.kind(), OutcomeKind::CardUnreadable);
    EXPECT_TRUE(fs::exists(Card() / "ck1/ko/00000003.qvx"));
}

// A name voice is held to the size the service listed and to a bound, like a content file: a
// service that lists some kilobytes and sends hundreds of megabytes, or lists a size no name voice
// has, gets nothing written to the card, and the card keeps calling the child it called.
TEST_F(NameVoiceTest, AVoiceLargerThanListedOrThanAnyNameVoiceNeverReachesTheCard) {
    ASSERT_TRUE(ApplyNameVoice(Child(101), database, session).ok());
    const std::string voice = ReadFile(Card() / "ck1/ko/00000003.qvx");
    const std::string before = ReadFile(Card() / "Default.dat");
    const auto voiceRequests = [](const demo::DemoService& from) {
        int count = 0;
        for (const auto& request : from.Requests())
            if (request.target.starts_with("/torvane/voice/")) ++count;
        return count;
    };

    ChildInfo listedTooLarge = Child(101);
    listedTooLarge.nameFiles[0].size = static_cast<std::int32_t>(kMaxNameVoiceBytes + 1);
    const int requestsBefore = voiceRequests(*service);
    const Status refused = ApplyNameVoice(listedTooLarge, database, session);
    EXPECT_EQ(refused.kind(), OutcomeKind::ServiceFailed);
    EXPECT_EQ(refused.said(), Say(MessageId::NameVoiceNotDownloaded));
    EXPECT_EQ(voiceRequests(*service), requestsBefore) << "refused before the download";

    demo::DemoSettings settings;
    settings.oversizeVoiceMiB = 300;
    demo::DemoService oversized(demo::DemoService::DefaultDataDir(), {}, settings);
    ASSERT_TRUE(oversized.Start(0)) << oversized.Error();
    const ServiceSession oversizedSession = test::DemoSession(oversized);
    const ChildrenList list = FetchChildrenList(oversizedSession);
    ASSERT_TRUE(list.ok()) << list.status.message();
    int tried = 0;
    for (const ChildInfo& child : list.items) {
        if (FirstReadyVoice(child) == nullptr) continue;
        ++tried;
        ASSERT_LT(FirstReadyVoice(child)->size, 1024 * 1024) << "listed at its real size";
        const Status cut = ApplyNameVoice(child, database, oversizedSession);
        EXPECT_EQ(cut.kind(), OutcomeKind::ServiceFailed) << child.childNo;
        EXPECT_EQ(cut.said(), Say(MessageId::NameVoiceNotDownloaded)) << child.childNo;
    }
    EXPECT_GT(tried, 0);
    for (const char* language : {"en", "ko", "ja", "ch"})
        EXPECT_EQ(ReadFile(Card() / "ck1" / language / "00000003.qvx"), voice) << language;
    EXPECT_EQ(ReadFile(Card() / "Default.dat"), before);
    EXPECT_EQ(Reloaded().selectedChildNo(), 101);
}

}  // namespace
}  // namespace torvane
