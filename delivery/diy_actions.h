// The rules of the DIY tab's actions on the 1500 DIY cards, each with four slots for the user's
// own recordings: assign files, the file to play, save a slot to the computer, delete, rename.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "delivery/download_job.h"

namespace torvane {

class Card;
class CDiyXML;

// A DIY card by its position (1 to 1500) or its number (92100001 to 92101500); nothing for
// anything else.
std::optional<int> DiyCardPosition(long cardOrPosition);

// The card file of a slot (1 to 4) of a card (position 1 to 1500); empty when the slot holds no
// file or its recorded name is not a plain file name.
std::string DiySlotPath(const CDiyXML& diy, int position, int slot);

// What a job an action ran did, and its end as the page tells it once the job's own end has been
// told: Done ("다운로드가 완료 되었습니다.") when it completed whole, Failed ("작업을 완료하지
// 못했습니다.") when it went through with a file left out, and a stopped job's kind without a
// sentence (its own outcome says why).
struct ActionJobOutcome {
    JobOutcome job;
    Status status = Status::Ok();

    bool Completed() const { return job.Completed(); }
};

// Copies the recordings into the card, the first into `slot` (1 to 4) and the next ones into the
// following slots up to slot 4, and saves the DIY database. A chosen file that is not an MP3 or
// WAV by its content (or is empty) is refused (NotASoundFile or SoundFileEmpty naming it), and
// nothing is copied.
ActionJobOutcome AssignDiyFiles(Card& card, int position, int slot,
                                const std::vector<std::string>& files, IJobRunner& runner);

// The computer's file a slot is saved to: the chosen path with ".mp3" when the slot's file name
// holds ".mp3", else ".wav"; a path already ending in that extension keeps it once.
std::string DiyExportDestination(const std::string& slotFileName, const std::string& chosenPath);

// Saves a slot's recording to the computer. Nothing happens (and there is nothing to tell) when
// the slot holds no file.
ActionJobOutcome ExportDiySlot(const CDiyXML& diy, int position, int slot,
                               const std::string& chosenPath, IJobRunner& runner);

// The question a parent answers (default no) before a slot's recording is deleted, naming the DIY
// card and the recording; nothing for a slot that holds none.
std::optional<std::string> DeleteDiySlotQuestion(const CDiyXML& diy, int position, int slot);

// Deletes a slot's recording from the card and empties the slot: Done ("삭제가 완료되었습니다."),
// UnknownItem for a slot that does not exist, CardFull when the card did not take it.
Status DeleteDiySlot(CDiyXML& diy, int position, int slot);

// Renames the recording of a slot in use; a control character in the name (a pasted tab or line
// break) is stored as a blank, as Diy.dat would read it back. False when the slot is empty or the
// database could not be saved.
bool RenameDiySlot(CDiyXML& diy, int position, int slot, const std::string& name);

}  // namespace torvane
