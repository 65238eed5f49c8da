// The rules of the content page's actions on the card, written once for the desktop page and for
// torvane-cli: transferring bought contents, choosing games, deleting, choosing the DIY content.
// The page passes the rows the user ticked (in list order) and only shows what these decide.
#pragma once

#include <string_view>
#include <vector>

#include "delivery/download_job.h"
#include "base/message_sink.h"
#include "store/content_record.h"
#include "store/content_types.h"

namespace torvane {

class CDefaultXML;

enum class ContentTab { Language, Music, Story, Book, Card, Excellent, Game, Diy };

// Where a tab's contents live: the card folder ("" for the game, which has none), the type name
// and the sub group that chooses between a kind's two shelves.
struct TabPlace {
    std::string_view folder;
    std::string_view kind;
    std::string_view subGroup;
};

// `seriesSubTab`: the tab's series sub-tab (묶음집, 세트 구성) is the current one.
TabPlace PlaceOfTab(ContentTab tab, bool seriesSubTab);

// The tab and sub-tab that show a shelf of the card's database.
struct TabOfShelf {
    ContentTab tab;
    bool seriesSubTab;
};
TabOfShelf TabShowing(Shelf shelf);

struct ContentActionContext {
    CDefaultXML& database;
    IMessageSink& messages;
};

// The transfer button on a content tab: the ticked contents not yet on their shelf, in the order
// given, go to the card through the runner (a content already there is installed again when
// `reinstall` is set). Tells the user when nothing is ticked and when the job has completed.
JobOutcome TransferContents(const std::vector<ContentRecord>& ticked, bool reinstall,
                            ContentActionContext context, IJobRunner& runner);

// The transfer button on the game tab: adds the ticked language contents to the device's game
// selection, stopping at the first one already chosen. Returns how many were added.
int AddToGameSelection(const std::vector<ContentRecord>& ticked, ContentActionContext context);

// The delete button on a content tab, with the guards of the language and game tabs. The records
// are those of the tab's shelf. True when the card changed (the page then recounts its free
// space and rebuilds its lists).
bool DeleteContents(ContentTab tab, bool seriesSubTab, const std::vector<ContentRecord>& ticked,
                    ContentActionContext context);

// The DIY radio of a language content: makes it the content whose table the DIY cards use.
void ChooseDiyContent(const ContentRecord& record, ContentActionContext context);

}  // namespace torvane
