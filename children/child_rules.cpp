#include "children/child_rules.h"

#include "children/name_voice.h"
#include "common/messages.h"
#include "store/default_xml.h"

namespace torvane {
namespace {

std::string PadLeft(std::string_view field, std::size_t width) {
    std::string padded(field);
    if (padded.size() < width) padded.insert(0, width - padded.size(), '0');
    return padded;
}

}  // namespace

std::string BirthdayText(std::string_view year, std::string_view month, std::string_view day) {
    return PadLeft(year, 4) + "-" + PadLeft(month, 2) + "-" + PadLeft(day, 2);
}

std::string BirthDateText(std::string_view birthday) {
    if (birthday.size() != 10) return {};
    std::string text;
    text.append(birthday.substr(0, 4)).append(kLabelYear).append(" ");
    text.append(birthday.substr(5, 2)).append(kLabelMonth).append(" ");
    text.append(birthday.substr(8, 2)).append(kLabelDay);
    return text;
}

std::string ChildFullName(std::string_view familyName, std::string_view givenName) {
    return std::string(familyName) + std::string(givenName);
}

std::string ChildFullName(const ChildInfo& child) {
    return ChildFullName(child.familyName, child.firstName);
}

std::optional<MessageId> CheckNewChild(std::string_view familyName, std::string_view givenName,
                                       const std::vector<std::string>& registeredNames) {
    const std::string fullName = ChildFullName(familyName, givenName);
    for (const std::string& name : registeredNames) {
        if (name == fullName) return MessageId::ChildNameTaken;
    }
    if (givenName.empty()) return MessageId::EnterChildGivenName;
    if (familyName.empty()) return MessageId::EnterChildFamilyName;
    return std::nullopt;
}

NameVoiceCell NameVoiceCellOf(const ChildInfo& child, const CDefaultXML* database) {
    if (!child.numberValid) return NameVoiceCell::Blank;
    if (database != nullptr && database->selectedChildNo() != 0 &&
        database->selectedChildNo() == child.childNo)
        return NameVoiceCell::Applied;
    if (child.nameFiles.empty()) return NameVoiceCell::Blank;
    const std::string& status = child.nameFiles.front().status;
    if (status == kNameFileNone) return NameVoiceCell::NoVoice;
    if (status == kNameFileExist) return NameVoiceCell::Ready;
    if (status == kNameFileRequested) return NameVoiceCell::Requested;
    return NameVoiceCell::Blank;
}

std::string_view NameVoiceCellText(NameVoiceCell state) {
    switch (state) {
        case NameVoiceCell::NoVoice:
            return kCellNoNameVoice;
        case NameVoiceCell::Ready:
            return kCellNameVoiceReady;
        case NameVoiceCell::Applied:
            return kCellNameVoiceApplied;
        case NameVoiceCell::Requested:
            return kCellNameVoiceRequested;
        case NameVoiceCell::Blank:
            break;
    }
    return {};
}

const NameFile* FirstReadyVoice(const ChildInfo& child) {
    for (const NameFile& file : child.nameFiles) {
        if (file.status == kNameFileExist) return &file;
    }
    return nullptr;
}

ContentCounts CountCardContents(const CDefaultXML& database) {
    const auto count = [&database](Shelf shelf) {
        return static_cast<int>(database.Contents(shelf).size());
    };
    ContentCounts counts;
    counts.language = count(Shelf::Language);
    counts.music = count(Shelf::Music);
    counts.story = count(Shelf::Story);
    counts.books = count(Shelf::Book) + count(Shelf::BookSeries);
    return counts;
}

Status AddChild(const NewChild& child, const std::vector<std::string>& registeredNames,
                const ServiceSession& session) {
    if (const auto refusal = CheckNewChild(child.familyName, child.givenName, registeredNames))
        return Status::Failure(OutcomeKind::Refused, Say(*refusal));
    const Status sent =
        InsertChild(child.familyName, child.givenName, child.sex, child.birthday, session);
    if (!sent.ok())
        return Status::Failure(sent.kind(),
                               Say(MessageId::ChildNotAdded, child.familyName, child.givenName));
    return Status::Done(Say(MessageId::ChildAdded, child.familyName, child.givenName));
}

Status RequireChildNumber(const ChildInfo& child) {
    if (child.numberValid) return Status::Ok();
    return Status::Failure(OutcomeKind::Refused, Say(MessageId::ChildNumberInvalid));
}

Status DeleteChildWithVoice(const ChildInfo& child, CDefaultXML* database,
                            const ServiceSession& session) {
    if (Status valid = RequireChildNumber(child); !valid.ok()) return valid;
    if (const Status sent = DeleteChild(child.childNo, session); !sent.ok())
        return Status::Failure(sent.kind(),
                               Say(MessageId::ChildNotDeleted, child.familyName, child.firstName));
    Status deleted = Status::Done(Say(MessageId::ChildDeleted, child.familyName, child.firstName));
    const bool calledByCard = database != nullptr && !database->root().empty() &&
                              child.childNo != 0 && database->selectedChildNo() == child.childNo;
    if (calledByCard && !ReleaseNameVoice(*database).ok())
        deleted.AddNote(Say(MessageId::NameVoiceNotRemoved));
    return deleted;
}

Status RequestChildVoice(const ChildInfo& child, const ServiceSession& session) {
    if (Status valid = RequireChildNumber(child); !valid.ok()) return valid;
    if (const Status sent = RequestNameFile(child.childNo, session); !sent.ok())
        return Status::Failure(sent.kind(), Say(MessageId::NameVoiceRequestFailed));
    return Status::Ok();
}

}  // namespace torvane
