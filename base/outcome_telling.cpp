#include "base/outcome_telling.h"

namespace torvane {

MessageKind IconOf(MessageId id, OutcomeKind kind) {
    switch (id) {
        case MessageId::NothingSelected:
        case MessageId::GameContentNotDeleted:
        case MessageId::OneGameRequired:
        case MessageId::NotEnoughSpace:
        case MessageId::NoDevice:
        case MessageId::InsertCard:
        case MessageId::UpdateDone:
        case MessageId::RecordingsPutBack:
        case MessageId::RecordingsAndNameVoicePutBack:
        case MessageId::RecordingReplacedPackageSlot:
            return MessageKind::Information;
        case MessageId::DiyNotDeletable:
        case MessageId::CardBusy:
        case MessageId::CardRemovedDuringJob:
        case MessageId::SomeFilesNotDeleted:
        case MessageId::RestoreQuestion:
        case MessageId::ResetQuestion:
        case MessageId::ResetQuestionKeepingRecordings:
            return MessageKind::Exclamation;
        // Said as errors wherever they stand, also as a note after another sentence: a content
        // left out of an install, a package that did not unpack, copies waiting off the card.
        case MessageId::ContentNotInstallable:
        case MessageId::CdirNotFound:
        case MessageId::OpenFailed:
        case MessageId::ExtractFailed:
        case MessageId::RecordingsWaitIn:
            return MessageKind::Error;
        case MessageId::ChildNameTaken:
        case MessageId::EnterChildGivenName:
        case MessageId::EnterChildFamilyName:
        case MessageId::ChildAdded:
        case MessageId::ChildDeleted:
            return MessageKind::Plain;
        default:
            return kind == OutcomeKind::Done ? MessageKind::Information : MessageKind::Error;
    }
}

void TellOutcome(IMessageSink& messages, const Status& outcome) {
    if (outcome.id() != MessageId::None)
        messages.Show(IconOf(outcome.id(), outcome.kind()), outcome.message());
    for (const Message& note : outcome.notes())
        messages.Show(IconOf(note.id, OutcomeKind::Done), MessageText(note));
}

}  // namespace torvane
