// The rules of the content page's actions on the card, written once for the desktop page and for
// torvane-cli: transferring bought contents, choosing games, deleting, choosing the DIY content.
// The page passes the rows the user ticked (in list order) and only shows what these decide.
#pragma once

#include <chrono>
#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "base/message_sink.h"
#include "delivery/download_job.h"
#include "store/content_record.h"
#include "store/content_types.h"

namespace torvane {

class Card;

// The card the action works on (its database was read when the card was opened) and where the
// user is told.
struct ContentActionContext {
    Card& card;
    IMessageSink& messages;
};

// What a page redraws once an action's change is on the card and before the action's sentence is
// shown, so that the parent reads the sentence over lists that already show the change.
using BeforeTelling = std::function<void()>;

// What the transfer button did.
struct TransferOutcome {
    JobOutcome job;                    // the install job's outcome; Stopped when none ran
    std::vector<std::string> skipped;  // ticked contents left out: already on the card
    std::size_t sent = 0;              // contents handed to the install job
    bool reinstall = false;

    // The job ran to its end and every content it was given is now recorded on the card (a
    // content installed again is already recorded).
    bool AllInstalled() const {
        return job.Completed() && job.lastError.empty() &&
               (reinstall || job.addedContentNos.size() == sent);
    }
};

// The transfer button on a content tab: the ticked contents not yet on their shelf, in the order
// given, go to the card through the runner (a content already there is installed again when
// `reinstall` is set, else left out and reported). Tells the user when nothing is ticked and when
// the job has completed, after `beforeTelling` (run whenever a job ran).
TransferOutcome TransferContents(const std::vector<ContentRecord>& ticked, bool reinstall,
                                 ContentActionContext context, IJobRunner& runner,
                                 const BeforeTelling& beforeTelling = {});

// What the transfer button on the game tab did.
struct GameSelectionOutcome {
    int added = 0;      // contents added to the selection and saved on the card
    bool saved = true;  // false: the card did not take a change (the user has been told)
};

// The transfer button on the game tab: adds the ticked language contents to the device's game
// selection, stopping at the first one already chosen or the first the card does not take.
// `beforeTelling` runs before the sentence when something ticked was looked at.
GameSelectionOutcome AddToGameSelection(const std::vector<ContentRecord>& ticked,
                                        ContentActionContext context,
                                        const BeforeTelling& beforeTelling = {});

// The delete button: takes the ticked records of one shelf off the card, with the guards of the
// language shelf (the DIY content and the game's contents stay) and of the game shelf (one game
// at least stays chosen; a game is only taken out of the selection). True when the card changed
// (the page then recounts its free space and rebuilds its lists); false, with the user told, when
// the card did not take the change; the database in memory is then as it was before. Files that
// another content of the card still lists stay.
bool DeleteContents(Shelf shelf, const std::vector<ContentRecord>& ticked,
                    ContentActionContext context);

// The DIY radio of a language content: makes it the content whose table the DIY cards use.
// False, with the user told, when the card did not take it; `beforeTelling` runs before
// "DIY를 변경하였습니다".
bool ChooseDiyContent(const ContentRecord& record, ContentActionContext context,
                      const BeforeTelling& beforeTelling = {});

// The card's writer lock for an action a page runs itself (a job takes its own): waits at most
// `wait` for another program or job, then tells the user the card is busy and returns null; the
// action then changes nothing. Databases another program changed are read again (Card::Lock).
std::shared_ptr<CardLock> LockCardForAction(Card& card, IMessageSink& messages,
                                            std::chrono::milliseconds wait = kCardLockWait);

}  // namespace torvane
