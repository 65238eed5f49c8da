// The rules of the content page's actions on the card, written once for the desktop page and for
// torvane-cli: transferring bought contents, choosing games, deleting, choosing the DIY content.
// The page passes the rows the user ticked (in list order) and only shows what these decide.
#pragma once

#include <chrono>
#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "delivery/download_job.h"
#include "store/content_record.h"
#include "store/content_types.h"

namespace torvane {

class Card;

// What the transfer button did.
struct TransferOutcome {
    JobOutcome job;                    // the install job's outcome; refused when none ran
    std::vector<std::string> skipped;  // ticked contents left out: already on the card
    std::size_t sent = 0;              // contents handed to the install job
    bool reinstall = false;
    // What the page tells once the job's own end has been told: nothing ticked (Refused), the job
    // completed whole (Done) or went through but left something out (Failed). A job that stopped
    // says why in its own outcome: its kind is here without a sentence.
    Status status = Status::Ok();

    // The job ran whole and every content it was given is now recorded on the card (a content
    // installed again is already recorded).
    bool AllInstalled() const {
        return job.status.ok() && (reinstall || job.addedContentNos.size() == sent);
    }
};

// The transfer button on a content tab: the ticked contents not yet on their shelf, in the order
// given, go to the card through the runner (a content already there is installed again when
// `reinstall` is set, else left out and reported). The page redraws its lists before it tells the
// outcome, so that the parent reads the sentence over lists that already show the change.
TransferOutcome TransferContents(const std::vector<ContentRecord>& ticked, bool reinstall,
                                 Card& card, IJobRunner& runner);

// What the transfer button on the game tab did.
struct GameSelectionOutcome {
    int added = 0;  // contents added to the selection and saved on the card
    // Done ("다운로드가 완료 되었습니다."), Refused when nothing was ticked, CardFull when the card
    // did not take a change (the ones added before it stay).
    Status status = Status::Ok();
};

// The transfer button on the game tab: adds the ticked language contents to the device's game
// selection, stopping at the first one already chosen or the first the card does not take.
GameSelectionOutcome AddToGameSelection(const std::vector<ContentRecord>& ticked, Card& card);

// The delete button: takes the ticked records of one shelf off the card, with the guards of the
// language shelf (the DIY content and the game's contents stay) and of the game shelf (one game
// at least stays chosen; a game is only taken out of the selection). Done when the card changed
// (the page then recounts its free space and rebuilds its lists), with a note when some files
// stayed; Refused by a guard, with nothing changed; CardFull when the card did not take the
// change, the database in memory then as it was before. Files that another content of the card
// still lists stay.
Status DeleteContents(Shelf shelf, const std::vector<ContentRecord>& ticked, Card& card);

// The DIY radio of a language content: makes it the content whose table the DIY cards use.
// Done ("DIY를 변경하였습니다"), or CardFull when the card did not take it.
Status ChooseDiyContent(const ContentRecord& record, Card& card);

// The card's writer lock for an action a page runs itself (a job takes its own): waits at most
// `wait` for another program or job, then fails Refused ("card busy"); the action then changes
// nothing. Databases another program changed are read again (Card::Lock).
Result<std::shared_ptr<CardLock>> LockCardForAction(Card& card,
                                                    std::chrono::milliseconds wait = kCardLockWait);

}  // namespace torvane
