#include "delivery/content_actions.h"

#include <algorithm>

#include "base/messages.h"
#include "store/default_xml.h"
#include "store/device_files.h"
#include "store/folder_tables.h"

namespace torvane {
namespace {

bool Contains(const std::vector<std::string>& list, std::string_view value) {
    return std::find(list.begin(), list.end(), value) != list.end();
}

}  // namespace

TransferOutcome TransferContents(const std::vector<ContentRecord>& ticked, bool reinstall,
                                 ContentActionContext context, IJobRunner& runner) {
    TransferOutcome outcome;
    outcome.reinstall = reinstall;
    ContentInstallJob install;
    install.database = &context.database;
    for (const ContentRecord& record : ticked) {
        if (!reinstall &&
            context.database.FindContent(record.subGroup, record.mainGroup, record.contentNo)) {
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
    if (outcome.job.Completed()) context.messages.Show(MessageKind::Information, kMsgDownloadDone);
    return outcome;
}

int AddToGameSelection(const std::vector<ContentRecord>& ticked, ContentActionContext context) {
    if (ticked.empty()) {
        context.messages.Show(MessageKind::Information, kMsgNothingSelected);
        return 0;
    }
    int added = 0;
    for (const ContentRecord& record : ticked) {
        if (context.database.FindContent("", "game", record.contentNo) ||
            !context.database.AddGameSelection(record)) {
            break;
        }
        ++added;
    }
    context.messages.Show(MessageKind::Information, kMsgDownloadDone);
    return added;
}

bool DeleteContents(Shelf shelf, const std::vector<ContentRecord>& ticked,
                    ContentActionContext context) {
    if (ticked.empty()) {
        context.messages.Show(MessageKind::Information, kMsgNothingSelected);
        return false;
    }
    CDefaultXML& database = context.database;
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
            if (!database.RemoveGameSelection(it->contentNo, true)) break;
        }
    } else {
        const ContentKind& kind = KindOfShelf(shelf);
        const std::string& root = database.root();
        const std::string folder = root + "/" + std::string(kind.folder);
        bool allFilesDeleted = true;
        if (!root.empty()) {
            allFilesDeleted = DeleteContentFiles(ticked, folder);
            // The tables follow the files that remain, whether or not every file went: tables
            // that still name deleted files, or miss remaining ones, make the device play wrong.
            RebuildFolderTables(kind.name, root);
        }
        database.RemoveContents(shelf, ticked);
        database.Save();
        context.messages.Show(MessageKind::Information, kMsgDeleted);
        if (!allFilesDeleted)
            context.messages.Show(MessageKind::Exclamation, kMsgSomeFilesNotDeleted);
        return true;
    }
    context.messages.Show(MessageKind::Information, kMsgDeleted);
    return true;
}

void ChooseDiyContent(const ContentRecord& record, ContentActionContext context) {
    context.database.SelectDiyContent(record);
    context.messages.Show(MessageKind::Information, kMsgDiyChanged);
}

}  // namespace torvane
