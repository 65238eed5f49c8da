// An outcome names a sentence of the catalogue and its arguments; every front end words it from
// the catalogue, so the words must be the catalogue's to the byte and the names stable for scripts.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "base/outcome_telling.h"
#include "common/message_id.h"
#include "common/messages.h"
#include "common/status.h"
#include "tests/support/recording_sink.h"

namespace torvane {
namespace {

TEST(OutcomeWording, ASentenceWithArgumentsReadsAsItsWordingFunctionSaysIt) {
    const struct {
        Message message;
        std::string sentence;
        std::string_view key;
    } cases[] = {
        {Say(MessageId::CardNotWritten), std::string(kMsgCardNotWritten), "cardNotWritten"},
        {Say(MessageId::EjectFailed, "busy"), std::string(kMsgEjectFailed) + "busy", "ejectFailed"},
        {Say(MessageId::ChildAdded, "김", "하늘"), ChildAddedMessage("김", "하늘"), "childAdded"},
        {Say(MessageId::ChildNotDeleted, "이", "바다"), ChildNotDeletedMessage("이", "바다"),
         "childNotDeleted"},
        {Say(MessageId::SoundFileEmpty, "/home/a/x.wav"), NotASoundFile("/home/a/x.wav", true),
         "soundFileEmpty"},
        {Say(MessageId::NotASoundFile, "/home/a/x.mp3"), NotASoundFile("/home/a/x.mp3", false),
         "notASoundFile"},
        {Say(MessageId::RestoreNoSpace, std::uint64_t{5000000000}, 12),
         RestoreNoSpace(5000000000, 12), "restoreNoSpace"},
        {Say(MessageId::RestoreQuestion, 3, "Default.dat", "ck9/Diy.dat"),
         RestoreQuestion({"Default.dat", "ck9/Diy.dat"}, 3), "restoreQuestion"},
        {Say(MessageId::RestoreQuestion, 2), RestoreQuestion({}, 2), "restoreQuestion"},
        {Say(MessageId::ResetQuestionKeepingRecordings, "/media/card"),
         ResetQuestion("/media/card", true), "resetQuestionKeepingRecordings"},
        {Say(MessageId::RecordingsAndNameVoicePutBack, 4), RecordingsPutBack(4, true),
         "recordingsAndNameVoicePutBack"},
        {Say(MessageId::DeleteRecordingQuestion, 52, 3, "노래"),
         DeleteRecordingQuestion(52, 3, "노래"), "deleteRecordingQuestion"},
        {Say(MessageId::ContentNotInstallable, "L0001", "why"),
         ContentNotInstallable("L0001", "why"), "contentNotInstallable"},
        {Say(MessageId::Text, "HTTP 503"), "HTTP 503", "text"},
        {Message{}, "", "none"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(MessageText(c.message), c.sentence) << c.key;
        EXPECT_EQ(MessageKey(c.message.id), c.key);
    }
}

// A sentence the wording forgot would reach the parent as an empty message box.
TEST(OutcomeWording, EverySentenceHasWordsAndAKeyOfItsOwn) {
    std::set<std::string_view> keys;
#define TORVANE_CHECK_SENTENCE(name, ...)                                            \
    EXPECT_FALSE(MessageText(Say(MessageId::name, "1", "2", "3")).empty()) << #name; \
    EXPECT_TRUE(keys.insert(MessageKey(MessageId::name)).second) << #name;
    TORVANE_FIXED_SENTENCES(TORVANE_CHECK_SENTENCE)
    TORVANE_WORDED_SENTENCES(TORVANE_CHECK_SENTENCE)
#undef TORVANE_CHECK_SENTENCE
}

TEST(OutcomeWording, AFailureNeverReadsAsSuccessAndKeepsItsSentence) {
    const Status failure = Status::Failure(OutcomeKind::Done, Say(MessageId::JobFailed));
    EXPECT_FALSE(failure.ok());
    EXPECT_EQ(failure.kind(), OutcomeKind::Failed);
    EXPECT_EQ(failure.message(), kMsgJobFailed);
    const Result<int> carried(
        Status::Failure(OutcomeKind::CardFull, Say(MessageId::CardNotWritten)));
    EXPECT_FALSE(carried.ok());
    EXPECT_EQ(carried.status().said(), Say(MessageId::CardNotWritten));
}

// The desktop's message boxes keep the icons the device's program gave them.
TEST(OutcomeWording, TellingShowsTheSentenceWithItsIconThenItsNotes) {
    const struct {
        Status outcome;
        std::vector<std::pair<MessageKind, std::string>> shown;
    } cases[] = {
        {Status::Done(Say(MessageId::Deleted)).WithNote(Say(MessageId::SomeFilesNotDeleted)),
         {{MessageKind::Information, std::string(kMsgDeleted)},
          {MessageKind::Exclamation, std::string(kMsgSomeFilesNotDeleted)}}},
        {Status::Failure(OutcomeKind::Refused, Say(MessageId::OneGameRequired)),
         {{MessageKind::Information, std::string(kMsgOneGameRequired)}}},
        {Status::Failure(OutcomeKind::Refused, Say(MessageId::DiyNotDeletable)),
         {{MessageKind::Exclamation, std::string(kMsgDiyNotDeletable)}}},
        {Status::Failure(OutcomeKind::CardFull, Say(MessageId::CardNotWritten)),
         {{MessageKind::Error, std::string(kMsgCardNotWritten)}}},
        {Status::Done(Say(MessageId::ChildAdded, "김", "하늘")),
         {{MessageKind::Plain, ChildAddedMessage("김", "하늘")}}},
        {Status::Failure(OutcomeKind::Cancelled, Message{}), {}},
    };
    for (const auto& c : cases) {
        test::RecordingSink sink;
        TellOutcome(sink, c.outcome);
        EXPECT_EQ(sink.shown, c.shown) << c.outcome.message();
    }
}

}  // namespace
}  // namespace torvane
