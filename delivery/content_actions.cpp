#include "delivery/content_actions.h"

#include <algorithm>
#include <set>

#include "base/messages.h"
#include "store/card.h"
#include "store/default_xml.h"
#include "store/device_files.h"
#include "store/folder_tables.h"
#include "store/text_codec.h"

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
                                 ContentActionContext context, IJobRunner& runner,
                                 const BeforeTelling& beforeTelling) {
    TransferOutcome outcome;
    outcome.reinstall = reinstall;
    ContentInstallJob install;
    install.card = context.card.weak_from_this().lock();
    const CDefaultXML& database = context.card.database();
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
            context.messages.Show(MessageKind::Information, kMsgNothingSelected);
        return outcome;
    }
    outcome.job = runner.Run(DownloadJob(std::move(install)));
    if (beforeTelling) beforeTelling();
    // The sentence follows the outcome: a job that left a content out did not complete.
    if (outcome.AllInstalled())
        context.messages.Show(MessageKind::Information, kMsgDownloadDone);
    else if (outcome.job.Completed())  // a stopped job has told the user already
        context.messages.Show(MessageKind::Error, kMsgJobFailed);
    return outcome;
}

GameSelectionOutcome AddToGameSelection(const std::vector<ContentRecord>& ticked,
                                        ContentActionContext context,
                                        const BeforeTelling& beforeTelling) {
    GameSelectionOutcome outcome;
    if (ticked.empty()) {
        context.messages.Show(MessageKind::Information, kMsgNothingSelected);
        return outcome;
    }
    CDefaultXML& database = context.card.database();
    for (const ContentRecord& record : ticked) {
        if (database.FindContent("", "game", record.contentNo)) break;
        if (!database.AddGameSelection(record)) {
            outcome.saved = false;
            break;
        }
        ++outcome.added;
    }
    if (beforeTelling) beforeTelling();
    if (outcome.saved)
        context.messages.Show(MessageKind::Information, kMsgDownloadDone);
    else
        context.messages.Show(MessageKind::Error, kMsgCardNotWritten);
    return outcome;
}

bool DeleteContents(Shelf shelf, const std::vector<ContentRecord>& ticked,
                    ContentActionContext context) {
    if (ticked.empty()) {
        context.messages.Show(MessageKind::Information, kMsgNothingSelected);
        return false;
    }
    CDefaultXML& database = context.card.database();
    // A change the card did not take is taken back in memory too: the model, the page's lists
    // and the card stay in step, and a later save never writes a removal whose files stayed.
    const CDefaultXML before = database;
    const auto notWritten = [&] {
        database = before;
        context.messages.Show(MessageKind::Error, kMsgCardNotWritten);
        return false;
    };
    if (shelf == Shelf::Language) {
        for (const ContentRecord& record : ticked) {
            if (record.contentNo == database.selectedDiyContentNo()) {
                context.messages.Show(MessageKind::Exclamation, kMsgDiyNotDeletable);
                return false;
            }
        }
        for (const ContentRecord& record : ticked) {
            if (Contains(database.gameContentList(), record.contentNo)) {
                context.messages.Show(MessageKind::Information, kMsgGameContentNotDeleted);
                return false;
            }
        }
    }
    if (shelf == Shelf::Game) {
        if (ticked.size() == database.gameContentList().size()) {
            context.messages.Show(MessageKind::Information, kMsgOneGameRequired);
            return false;
        }
        for (auto it = ticked.rbegin(); it != ticked.rend(); ++it) {
            if (!database.RemoveGameSelection(it->contentNo, true)) return notWritten();
        }
    } else {
        const ContentKind& kind = KindOfShelf(shelf);
        const std::string folder = context.card.Folder(kind.folder);
        database.RemoveContents(shelf, ticked);
        // The database first: a card that takes it no longer lists the files, and only then
        // are they deleted. A file another content of the card still lists (a series and a
        // single book sharing cards) stays.
        if (!database.Save()) return notWritten();
        std::vector<ContentRecord> unshared = ticked;
        const std::set<std::string, std::less<>> stillListed = ListedFileNames(database, kind);
        for (ContentRecord& record : unshared)
            std::erase_if(record.files, [&](const FileRecord& file) {
                return stillListed.contains(ToLowerAscii(file.name));
            });
        const bool allFilesDeleted = DeleteContentFiles(unshared, folder);
        // The tables follow the files that remain, whether or not every file went: tables that
        // still name deleted files, or miss remaining ones, make the device play wrong.
        if (!RebuildFolderTables(kind.name, context.card.anchor())) {
            context.messages.Show(MessageKind::Error, kMsgCardNotWritten);
            return false;
        }
        if (!allFilesDeleted) {
            context.messages.Show(MessageKind::Information, kMsgDeleted);
            context.messages.Show(MessageKind::Exclamation, kMsgSomeFilesNotDeleted);
            return true;
        }
    }
    context.messages.Show(MessageKind::Information, kMsgDeleted);
    return true;
}

bool ChooseDiyContent(const ContentRecord& record, ContentActionContext context,
                      const BeforeTelling& beforeTelling) {
    CDefaultXML& database = context.card.database();
    const CDefaultXML before = database;
    if (!database.SelectDiyContent(record)) {
        database = before;
        context.messages.Show(MessageKind::Error, kMsgCardNotWritten);
        return false;
    }
    if (beforeTelling) beforeTelling();
    context.messages.Show(MessageKind::Information, kMsgDiyChanged);
    return true;
}

std::shared_ptr<CardLock> LockCardForAction(Card& card, IMessageSink& messages,
                                            std::chrono::milliseconds wait) {
    auto lock = card.Lock(wait);
    if (!lock) messages.Show(MessageKind::Exclamation, kMsgCardBusy);
    return lock;
}

}  // namespace torvane
