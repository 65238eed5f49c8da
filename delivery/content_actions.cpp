#include "delivery/content_actions.h"

#include <algorithm>
#include <optional>
#include <set>

#include "common/messages.h"
#include "common/text_codec.h"
#include "store/card.h"
#include "store/default_xml.h"
#include "store/device_files.h"
#include "store/folder_tables.h"

namespace torvane {
namespace {

bool Contains(const std::vector<std::string>& list, std::string_view value) {
    return std::find(list.begin(), list.end(), value) != list.end();
}

// The names (lower case, as the card's FAT file system compares them) of the files that the
// contents of one kind's folder list.
std::set<std::string, std::less<>> ListedFileNames(const CDefaultXML& database,
                                                   const ContentKind& kind) {
    std::set<std::string, std::less<>> names;
    for (const Shelf shelf : kStoredShelves) {
        if (KindOfShelf(shelf).folder != kind.folder) continue;
        for (const ContentRecord& record : database.Contents(shelf))
            for (const FileRecord& file : record.files) names.insert(ToLowerAscii(file.name));
    }
    return names;
}

}  // namespace

TransferOutcome TransferContents(const std::vector<ContentRecord>& ticked, bool reinstall,
                                 Card& card, IJobRunner& runner) {
    TransferOutcome outcome;
    outcome.reinstall = reinstall;
    ContentInstallJob install;
    install.card = card.weak_from_this().lock();
    const CDefaultXML& database = card.database();
    for (const ContentRecord& record : ticked) {
        if (!reinstall &&
            database.FindContent(record.subGroup, record.mainGroup, record.contentNo)) {
            outcome.skipped.push_back(record.contentNo);
            continue;
        }
        install.contents.push_back(record);
    }
    outcome.sent = install.contents.size();
    if (install.contents.empty()) {
        // Everything ticked is on the card already: the caller says which were left out.
        if (outcome.skipped.empty())
            outcome.status = Status::Failure(OutcomeKind::Refused, Say(MessageId::NothingSelected));
        return outcome;
    }
    outcome.job = runner.Run(DownloadJob(std::move(install)));
    // The sentence follows the outcome: a job that left a content out did not complete.
    if (outcome.AllInstalled())
        outcome.status = Status::Done(Say(MessageId::DownloadDone));
    else if (outcome.job.Completed())
        outcome.status = Status::Failure(outcome.job.status.kind(), Say(MessageId::JobFailed));
    else
        outcome.status = Status::Failure(outcome.job.status.kind(), Message{});
    return outcome;
}

GameSelectionOutcome AddToGameSelection(const std::vector<ContentRecord>& ticked, Card& card) {
    GameSelectionOutcome outcome;
    if (ticked.empty()) {
        outcome.status = Status::Failure(OutcomeKind::Refused, Say(MessageId::NothingSelected));
        return outcome;
    }
    CDefaultXML& database = card.database();
    for (const ContentRecord& record : ticked) {
        if (database.FindContent("", "game", record.contentNo)) break;
        if (!database.AddGameSelection(record)) {
            outcome.status = Status::Failure(OutcomeKind::CardFull, Say(MessageId::CardNotWritten));
            return outcome;
        }
        ++outcome.added;
    }
    outcome.status = Status::Done(Say(MessageId::DownloadDone));
    return outcome;
}

namespace {

Status Refusal(MessageId why) {
    return Status::Failure(OutcomeKind::Refused, Say(why));
}

// The guards of the language and game shelves: what the device needs stays on the card.
std::optional<Status> GuardOfShelf(Shelf shelf, const std::vector<ContentRecord>& ticked,
                                   const CDefaultXML& database) {
    if (shelf == Shelf::Language) {
        for (const ContentRecord& record : ticked)
            if (record.contentNo == database.selectedDiyContentNo())
                return Refusal(MessageId::DiyNotDeletable);
        for (const ContentRecord& record : ticked)
            if (Contains(database.gameContentList(), record.contentNo))
                return Refusal(MessageId::GameContentNotDeleted);
    }
    if (shelf == Shelf::Game && ticked.size() == database.gameContentList().size())
        return Refusal(MessageId::OneGameRequired);
    return std::nullopt;
}

}  // namespace

Status DeleteContents(Shelf shelf, const std::vector<ContentRecord>& ticked, Card& card) {
    if (ticked.empty()) return Refusal(MessageId::NothingSelected);
    CDefaultXML& database = card.database();
    if (auto refused = GuardOfShelf(shelf, ticked, database)) return std::move(*refused);
    // A change the card did not take is taken back in memory too: the model, the page's lists
    // and the card stay in step, and a later save never writes a removal whose files stayed.
    const CDefaultXML before = database;
    const auto notWritten = [&] {
        database = before;
        return Status::Failure(OutcomeKind::CardFull, Say(MessageId::CardNotWritten));
    };
    if (shelf == Shelf::Game) {
        for (auto it = ticked.rbegin(); it != ticked.rend(); ++it) {
            if (!database.RemoveGameSelection(it->contentNo, true)) return notWritten();
        }
        return Status::Done(Say(MessageId::Deleted));
    }
    const ContentKind& kind = KindOfShelf(shelf);
    const std::string folder = card.Folder(kind.folder);
    database.RemoveContents(shelf, ticked);
    // The database first: a card that takes it no longer lists the files, and only then are they
    // deleted. A file another content of the card still lists (a series and a single book
    // sharing cards) stays.
    if (!database.Save().ok()) return notWritten();
    std::vector<ContentRecord> unshared = ticked;
    const std::set<std::string, std::less<>> stillListed = ListedFileNames(database, kind);
    for (ContentRecord& record : unshared)
        std::erase_if(record.files, [&](const FileRecord& file) {
            return stillListed.contains(ToLowerAscii(file.name));
        });
    const bool allFilesDeleted = DeleteContentFiles(unshared, folder);
    // The tables follow the files that remain, whether or not every file went: tables that still
    // name deleted files, or miss remaining ones, make the device play wrong. The contents are
    // off the database already, so a card that refuses the tables is a failure of the card, not
    // a delete taken back.
    if (!RebuildFolderTables(kind.name, card.anchor()))
        return Status::Failure(OutcomeKind::CardFull, Say(MessageId::CardNotWritten));
    Status deleted = Status::Done(Say(MessageId::Deleted));
    if (!allFilesDeleted) deleted.AddNote(Say(MessageId::SomeFilesNotDeleted));
    return deleted;
}

Status ChooseDiyContent(const ContentRecord& record, Card& card) {
    CDefaultXML& database = card.database();
    const CDefaultXML before = database;
    if (!database.SelectDiyContent(record)) {
        database = before;
        return Status::Failure(OutcomeKind::CardFull, Say(MessageId::CardNotWritten));
    }
    return Status::Done(Say(MessageId::DiyChanged));
}

Result<std::shared_ptr<CardLock>> LockCardForAction(Card& card, std::chrono::milliseconds wait) {
    auto lock = card.Lock(wait);
    if (!lock) return Status::Failure(OutcomeKind::Refused, Say(MessageId::CardBusy));
    return lock;
}

}  // namespace torvane
