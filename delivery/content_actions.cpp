#include "delivery/content_actions.h"

#include <algorithm>

#include "delivery/job_messages.h"
#include "store/default_xml.h"
#include "store/device_files.h"
#include "store/folder_tables.h"

namespace torvane {
namespace {

bool Contains(const std::vector<std::string>& list, std::string_view value) {
    return std::find(list.begin(), list.end(), value) != list.end();
}

}  // namespace

TabPlace PlaceOfTab(ContentTab tab, bool seriesSubTab) {
    switch (tab) {
        case ContentTab::Language:
            return {"ck2", "language", ""};
        case ContentTab::Music:
            return {"ck7", "music", ""};
        case ContentTab::Story:
            return {"ck8", "story", ""};
        case ContentTab::Book:
            return {"ck3", "book", seriesSubTab ? "series" : "book"};
        case ContentTab::Card:
            return {"ck10", "card", seriesSubTab ? "series" : "card"};
        case ContentTab::Excellent:
            return {"ck11", "excellent", seriesSubTab ? "series" : "card"};
        case ContentTab::Game:
            return {"", "game", ""};
        case ContentTab::Diy:
            return {"ck9", "", ""};
    }
    return {};
}

TabOfShelf TabShowing(Shelf shelf) {
    switch (shelf) {
        case Shelf::Language:
            return {ContentTab::Language, false};
        case Shelf::Music:
            return {ContentTab::Music, false};
        case Shelf::Story:
            return {ContentTab::Story, false};
        case Shelf::BookSeries:
            return {ContentTab::Book, true};
        case Shelf::Book:
            return {ContentTab::Book, false};
        case Shelf::Game:
            return {ContentTab::Game, false};
        case Shelf::CardSeries:
            return {ContentTab::Card, true};
        case Shelf::Card:
            return {ContentTab::Card, false};
        case Shelf::ExcellentSeries:
            return {ContentTab::Excellent, true};
        case Shelf::Excellent:
            return {ContentTab::Excellent, false};
    }
    return {ContentTab::Language, false};
}

JobOutcome TransferContents(const std::vector<ContentRecord>& ticked, bool reinstall,
                            ContentActionContext context, IJobRunner& runner) {
    DownloadJob job;
    job.mode = DownloadMode::Content;
    job.database = &context.database;
    for (const ContentRecord& record : ticked) {
        if (!reinstall &&
            context.database.FindContent(record.subGroup, record.mainGroup, record.contentNo)) {
            continue;
        }
        job.contents.push_back(record);
    }
    if (job.contents.empty()) {
        context.messages.Show(MessageKind::Information, kMsgNothingSelected);
        return JobOutcome{};
    }
    JobOutcome outcome = runner.Run(std::move(job));
    if (outcome.Completed()) context.messages.Show(MessageKind::Information, kMsgDownloadDone);
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

bool DeleteContents(ContentTab tab, bool seriesSubTab, const std::vector<ContentRecord>& ticked,
                    ContentActionContext context) {
    if (tab == ContentTab::Diy) return false;
    if (ticked.empty()) {
        context.messages.Show(MessageKind::Information, kMsgNothingSelected);
        return false;
    }
    CDefaultXML& database = context.database;
    const TabPlace place = PlaceOfTab(tab, seriesSubTab);
    if (tab == ContentTab::Language) {
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
    if (tab == ContentTab::Game) {
        if (ticked.size() == database.gameContentList().size()) {
            context.messages.Show(MessageKind::Information, kMsgOneGameRequired);
            return false;
        }
        for (auto it = ticked.rbegin(); it != ticked.rend(); ++it) {
            if (!database.RemoveGameSelection(it->contentNo, true)) break;
        }
    } else {
        const std::string& root = database.root();
        const std::string folder = root + "/" + std::string(place.folder);
        if (!root.empty() && DeleteContentFiles(ticked, folder)) {
            RebuildFolderTables(place.kind, root);
        }
        database.RemoveContents(place.subGroup, place.kind, ticked);
        database.Save();
    }
    context.messages.Show(MessageKind::Information, kMsgDeleted);
    return true;
}

void ChooseDiyContent(const ContentRecord& record, ContentActionContext context) {
    context.database.SelectDiyContent(record);
    context.messages.Show(MessageKind::Information, kMsgDiyChanged);
}

}  // namespace torvane
