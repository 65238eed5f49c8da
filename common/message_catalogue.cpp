#include <array>
#include <cctype>
#include <cstdint>

#include "common/message_id.h"
#include "common/messages.h"

namespace torvane {
namespace {

#define TORVANE_SENTENCE_KEY(name, ...) #name,
constexpr std::array kNames = {"none", "text",
                               TORVANE_FIXED_SENTENCES(TORVANE_SENTENCE_KEY)
                                   TORVANE_WORDED_SENTENCES(TORVANE_SENTENCE_KEY)};
#undef TORVANE_SENTENCE_KEY

std::array<std::string, kNames.size()> LowerFirstLetters() {
    std::array<std::string, kNames.size()> keys;
    for (std::size_t i = 0; i < kNames.size(); ++i) {
        keys[i] = kNames[i];
        keys[i][0] = static_cast<char>(std::tolower(static_cast<unsigned char>(keys[i][0])));
    }
    return keys;
}

// An argument the caller left out reads as empty rather than past the end.
const std::string& Arg(const Message& message, std::size_t index) {
    static const std::string kMissing;
    return index < message.args.size() ? message.args[index] : kMissing;
}

std::uint64_t Number(const Message& message, std::size_t index) {
    const std::string& text = Arg(message, index);
    std::uint64_t value = 0;
    for (const char c : text) {
        if (c < '0' || c > '9') break;
        value = value * 10 + static_cast<std::uint64_t>(c - '0');
    }
    return value;
}

std::string FixedSentence(std::string_view sentence, const Message& message) {
    std::string text(sentence);
    for (const std::string& detail : message.args) text += detail;
    return text;
}

std::string WordedSentence(const Message& m) {
    switch (m.id) {
        case MessageId::ContentNotInstallable:
            return ContentNotInstallable(Arg(m, 0), Arg(m, 1));
        case MessageId::NotASoundFile:
            return NotASoundFile(Arg(m, 0), false);
        case MessageId::SoundFileEmpty:
            return NotASoundFile(Arg(m, 0), true);
        case MessageId::ResetQuestion:
            return ResetQuestion(Arg(m, 0), false);
        case MessageId::ResetQuestionKeepingRecordings:
            return ResetQuestion(Arg(m, 0), true);
        case MessageId::CardDatabaseNotRead:
            return CardDatabaseUnreadable(Arg(m, 0), Arg(m, 1));
        case MessageId::CardDiyNotRead:
            return CardDiyUnreadable(Arg(m, 0), Arg(m, 1));
        case MessageId::CardProblemsFound:
            return CardProblemsFound(Number(m, 0));
        case MessageId::BackupWritten:
            return BackupWritten(Number(m, 0), Number(m, 1), Arg(m, 2));
        case MessageId::RestoreOtherSoundType:
            return RestoreOtherSoundType(Arg(m, 0), Arg(m, 1));
        case MessageId::RestoreNoSpace:
            return RestoreNoSpace(Number(m, 0), Number(m, 1));
        case MessageId::RestoreQuestion: {
            const std::vector<std::string> replaced =
                m.args.empty() ? m.args
                               : std::vector<std::string>(m.args.begin() + 1, m.args.end());
            return RestoreQuestion(replaced, Number(m, 0));
        }
        case MessageId::RecordingsWaitIn:
            return RecordingsWaitIn(Arg(m, 0));
        case MessageId::PutBackWaitingQuestion:
            return PutBackWaitingQuestion(Arg(m, 0), Arg(m, 1));
        case MessageId::RecordingsPutBack:
            return RecordingsPutBack(Number(m, 0), false);
        case MessageId::RecordingsAndNameVoicePutBack:
            return RecordingsPutBack(Number(m, 0), true);
        case MessageId::RecordingReplacedPackageSlot:
            return RecordingReplacedPackageSlot(static_cast<long>(Number(m, 0)),
                                                static_cast<int>(Number(m, 1)), Arg(m, 2));
        case MessageId::DeleteRecordingQuestion:
            return DeleteRecordingQuestion(static_cast<int>(Number(m, 0)),
                                           static_cast<int>(Number(m, 1)), Arg(m, 2));
        case MessageId::ChildAdded:
            return ChildAddedMessage(Arg(m, 0), Arg(m, 1));
        case MessageId::ChildNotAdded:
            return ChildNotAddedMessage(Arg(m, 0), Arg(m, 1));
        case MessageId::ChildDeleted:
            return ChildDeletedMessage(Arg(m, 0), Arg(m, 1));
        case MessageId::ChildNotDeleted:
            return ChildNotDeletedMessage(Arg(m, 0), Arg(m, 1));
        case MessageId::DeviceRemoved:
            return DeviceRemovedMessage(Arg(m, 0));
        case MessageId::DeviceAttached:
            return DeviceAttachedMessage(Arg(m, 0));
        case MessageId::ServiceListOverBound:
            return ServiceListTooLong(Arg(m, 0), Number(m, 1));
        default:
            return {};
    }
}

}  // namespace

std::string_view MessageKey(MessageId id) {
    static const std::array<std::string, kNames.size()> kKeys = LowerFirstLetters();
    const auto index = static_cast<std::size_t>(id);
    return index < kKeys.size() ? std::string_view(kKeys[index]) : std::string_view(kKeys[0]);
}

std::string MessageText(const Message& message) {
    switch (message.id) {
        case MessageId::None:
            return {};
        case MessageId::Text:
            return Arg(message, 0);
#define TORVANE_FIXED_SENTENCE_TEXT(name, constant) \
    case MessageId::name:                           \
        return FixedSentence(constant, message);
            TORVANE_FIXED_SENTENCES(TORVANE_FIXED_SENTENCE_TEXT)
#undef TORVANE_FIXED_SENTENCE_TEXT
        default:
            return WordedSentence(message);
    }
}

}  // namespace torvane
