// The sentences an outcome can carry, named: the core says which sentence of the catalogue
// (common/messages.h) tells what happened and with which arguments, and each front end words it
// from the catalogue in its own way (a message box, a line on stderr, a JSON error). The names
// are stable keys for scripts ("cardNotWritten"), so a sentence keeps its name when its wording
// changes.
#pragma once

#include <concepts>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace torvane {

// The catalogue's fixed sentences, each named after its constant in common/messages.h. They take
// no arguments, except those that end in a colon: their detail follows them.
#define TORVANE_FIXED_SENTENCES(X)                               \
    X(NoStorageDeviceMainWindow, kMsgNoStorageDeviceMainWindow)  \
    X(PlayerOnlyOnSoundTabs, kMsgPlayerOnlyOnSoundTabs)          \
    X(ServiceNotReady, kMsgServiceNotReady)                      \
    X(AlreadyRunning, kMsgAlreadyRunning)                        \
    X(CardMayBePulled, kMsgCardMayBePulled)                      \
    X(EjectRefusedDuringJob, kMsgEjectRefusedDuringJob)          \
    X(EjectFailed, kMsgEjectFailed)                              \
    X(OfferEjectAfterJob, kMsgOfferEjectAfterJob)                \
    X(NoDiskService, kMsgNoDiskService)                          \
    X(NotARemovableCard, kMsgNotARemovableCard)                  \
    X(MountFailed, kMsgMountFailed)                              \
    X(NoKeyring, kMsgNoKeyring)                                  \
    X(EnterId, kMsgEnterId)                                      \
    X(EnterPassword, kMsgEnterPassword)                          \
    X(CannotConnect, kMsgCannotConnect)                          \
    X(WrongPassword, kMsgWrongPassword)                          \
    X(WrongId, kMsgWrongId)                                      \
    X(UnknownServerError, kMsgUnknownServerError)                \
    X(BadData, kMsgBadData)                                      \
    X(NoNameTag, kMsgNoNameTag)                                  \
    X(NoValueTag, kMsgNoValueTag)                                \
    X(NoActionTag, kMsgNoActionTag)                              \
    X(NoQuoteTag, kMsgNoQuoteTag)                                \
    X(NotEnoughSpace, kMsgNotEnoughSpace)                        \
    X(CopyingToDevice, kMsgCopyingToDevice)                      \
    X(DownloadDone, kMsgDownloadDone)                            \
    X(Resetting, kMsgResetting)                                  \
    X(InsertCard, kMsgInsertCard)                                \
    X(UpdateDone, kMsgUpdateDone)                                \
    X(UpdateKeptCardFiles, kMsgUpdateKeptCardFiles)              \
    X(WritingInfoFiles, kMsgWritingInfoFiles)                    \
    X(Applied, kMsgApplied)                                      \
    X(Copied, kMsgCopied)                                        \
    X(StopDownload, kMsgStopDownload)                            \
    X(StopCardCare, kMsgStopCardCare)                            \
    X(ExtractFailed, kMsgExtractFailed)                          \
    X(CdirNotFound, kMsgCdirNotFound)                            \
    X(OpenFailed, kMsgOpenFailed)                                \
    X(NothingSelected, kMsgNothingSelected)                      \
    X(DiyNotDeletable, kMsgDiyNotDeletable)                      \
    X(GameContentNotDeleted, kMsgGameContentNotDeleted)          \
    X(OneGameRequired, kMsgOneGameRequired)                      \
    X(Deleted, kMsgDeleted)                                      \
    X(DiyChanged, kMsgDiyChanged)                                \
    X(SomeFilesNotDeleted, kMsgSomeFilesNotDeleted)              \
    X(DownloadIncomplete, kMsgDownloadIncomplete)                \
    X(CardNotWritten, kMsgCardNotWritten)                        \
    X(JobFailed, kMsgJobFailed)                                  \
    X(CardRemovedDuringJob, kMsgCardRemovedDuringJob)            \
    X(CardBusy, kMsgCardBusy)                                    \
    X(CardDatabaseUnreadable, kMsgCardDatabaseUnreadable)        \
    X(CardDiyDatabaseUnreadable, kMsgCardDiyDatabaseUnreadable)  \
    X(CardRecTableUnreadable, kMsgCardRecTableUnreadable)        \
    X(CardContentFileMissing, kMsgCardContentFileMissing)        \
    X(CardContentFileShort, kMsgCardContentFileShort)            \
    X(CardContentFileEmpty, kMsgCardContentFileEmpty)            \
    X(CardFolderTablesStale, kMsgCardFolderTablesStale)          \
    X(CardGameTableStale, kMsgCardGameTableStale)                \
    X(CardDiyTableStale, kMsgCardDiyTableStale)                  \
    X(CardRecordingMissing, kMsgCardRecordingMissing)            \
    X(CardRecordingUnlisted, kMsgCardRecordingUnlisted)          \
    X(CardNameVoiceIncomplete, kMsgCardNameVoiceIncomplete)      \
    X(CardNameVoiceWithoutChild, kMsgCardNameVoiceWithoutChild)  \
    X(CardLeftover, kMsgCardLeftover)                            \
    X(CardSound, kMsgCardSound)                                  \
    X(CheckingCard, kMsgCheckingCard)                            \
    X(RepairingCard, kMsgRepairingCard)                          \
    X(BackingUpCard, kMsgBackingUpCard)                          \
    X(CheckingBackup, kMsgCheckingBackup)                        \
    X(RestoringCard, kMsgRestoringCard)                          \
    X(CardRepaired, kMsgCardRepaired)                            \
    X(CardNotWhollyRepaired, kMsgCardNotWhollyRepaired)          \
    X(BackupNotWritten, kMsgBackupNotWritten)                    \
    X(BackupCardUnreadable, kMsgBackupCardUnreadable)            \
    X(BackupCancelled, kMsgBackupCancelled)                      \
    X(BackupUnreadable, kMsgBackupUnreadable)                    \
    X(BackupForeign, kMsgBackupForeign)                          \
    X(BackupDamaged, kMsgBackupDamaged)                          \
    X(BackupUnsafeName, kMsgBackupUnsafeName)                    \
    X(RestoreNotWritten, kMsgRestoreNotWritten)                  \
    X(RestorePartlyWritten, kMsgRestorePartlyWritten)            \
    X(BackupCardChanged, kMsgBackupCardChanged)                  \
    X(RestoreCancelled, kMsgRestoreCancelled)                    \
    X(RestoreDone, kMsgRestoreDone)                              \
    X(RecordingsNotKept, kMsgRecordingsNotKept)                  \
    X(RecordingsNotPutBack, kMsgRecordingsNotPutBack)            \
    X(KeepingRecordings, kMsgKeepingRecordings)                  \
    X(PuttingBackRecordings, kMsgPuttingBackRecordings)          \
    X(NoDevice, kMsgNoDevice)                                    \
    X(ServiceListTooLong, kMsgServiceListTooLong)                \
    X(ChildNameTaken, kMsgChildNameTaken)                        \
    X(EnterChildGivenName, kMsgEnterChildGivenName)              \
    X(EnterChildFamilyName, kMsgEnterChildFamilyName)            \
    X(NameVoiceRequestFailed, kMsgNameVoiceRequestFailed)        \
    X(NameVoiceNotDownloaded, kMsgNameVoiceNotDownloaded)        \
    X(ChildNumberInvalid, kMsgChildNumberInvalid)                \
    X(NameVoiceNotRemoved, kMsgNameVoiceNotRemoved)              \
    X(NoNameVoice, kCellNoNameVoice)                             \
    X(CardNotChecked, kMsgCardNotChecked)                        \
    X(CliCancelled, kCliCancelled)                               \
    X(CliJobDidNotRun, kCliJobDidNotRun)                         \
    X(CliProblemsFound, kCliProblemsFound)                       \
    X(CliNoDevice, kCliNoDevice)                                 \
    X(CliNotEveryContentInstalled, kCliNotEveryContentInstalled) \
    X(CliNameVoiceNotRemoved, kCliNameVoiceNotRemoved)           \
    X(CliSlotNameControlCharacter, kCliSlotNameControlCharacter) \
    X(CliDiyNotSaved, kCliDiyNotSaved)                           \
    X(CliKeepRecordingsOnlyForReset, kCliKeepRecordingsOnlyForReset)

// The catalogue's sentences with arguments, in the order of their wording function's parameters:
//   ContentNotInstallable (content number, why)     NotASoundFile, SoundFileEmpty (file)
//   ResetQuestion, ResetQuestionKeepingRecordings (drive)
//   CardDatabaseNotRead, CardDiyNotRead (path, reason)    CardProblemsFound (count)
//   BackupWritten (files, bytes, backup file)       RestoreOtherSoundType (backup's, card's)
//   RestoreNoSpace (needed, free)                   RestoreQuestion (total, replaced files...)
//   RecordingsWaitIn (folder)                       PutBackWaitingQuestion (folder, card)
//   RecordingsPutBack, RecordingsAndNameVoicePutBack (count)
//   RecordingReplacedPackageSlot (card, slot, package file)
//   DeleteRecordingQuestion (position, slot, recording)
//   ChildAdded, ChildNotAdded, ChildDeleted, ChildNotDeleted (family name, given name)
//   DeviceRemoved, DeviceAttached (drive)           ServiceListOverBound (what, bound)
#define TORVANE_WORDED_SENTENCES(X)   \
    X(ContentNotInstallable)          \
    X(NotASoundFile)                  \
    X(SoundFileEmpty)                 \
    X(ResetQuestion)                  \
    X(ResetQuestionKeepingRecordings) \
    X(CardDatabaseNotRead)            \
    X(CardDiyNotRead)                 \
    X(CardProblemsFound)              \
    X(BackupWritten)                  \
    X(RestoreOtherSoundType)          \
    X(RestoreNoSpace)                 \
    X(RestoreQuestion)                \
    X(RecordingsWaitIn)               \
    X(PutBackWaitingQuestion)         \
    X(RecordingsPutBack)              \
    X(RecordingsAndNameVoicePutBack)  \
    X(RecordingReplacedPackageSlot)   \
    X(DeleteRecordingQuestion)        \
    X(ChildAdded)                     \
    X(ChildNotAdded)                  \
    X(ChildDeleted)                   \
    X(ChildNotDeleted)                \
    X(DeviceRemoved)                  \
    X(DeviceAttached)                 \
    X(ServiceListOverBound)

#define TORVANE_SENTENCE_NAME(name, ...) name,
enum class MessageId {
    None,  // nothing to say: a plain success
    Text,  // words from outside the catalogue (the service's, a library's): its one argument
    TORVANE_FIXED_SENTENCES(TORVANE_SENTENCE_NAME) TORVANE_WORDED_SENTENCES(TORVANE_SENTENCE_NAME)
};
#undef TORVANE_SENTENCE_NAME

// A sentence of the catalogue and its arguments (numbers as their decimal text).
struct Message {
    MessageId id = MessageId::None;
    std::vector<std::string> args;

    bool operator==(const Message&) const = default;
};

// The sentence's stable key for scripts: its name with a small first letter ("cardNotWritten").
std::string_view MessageKey(MessageId id);
// The sentence in the catalogue's words; empty for None.
std::string MessageText(const Message& message);

namespace detail {
inline std::string ArgumentText(std::string text) {
    return text;
}
inline std::string ArgumentText(std::string_view text) {
    return std::string(text);
}
inline std::string ArgumentText(const char* text) {
    return text;
}
template <std::integral Number>
std::string ArgumentText(Number number) {
    return std::to_string(number);
}
}  // namespace detail

// Message{id, {arguments as text}}: Say(MessageId::ChildAdded, family, given).
template <typename... Args>
Message Say(MessageId id, Args&&... args) {
    return Message{id, {detail::ArgumentText(std::forward<Args>(args))...}};
}

}  // namespace torvane
