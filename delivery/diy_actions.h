// The rules of the DIY tab's actions on the 1500 DIY cards, each with four slots for the user's
// own recordings: assign files, the file to play, save a slot to the computer, delete, rename.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "base/message_sink.h"
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

// Copies the recordings into the card, the first into `slot` (1 to 4) and the next ones into the
// following slots up to slot 4, and saves the DIY database. Tells the user when it completed, and
// when a recording could not be copied. A chosen file that is not an MP3 or WAV by its content
// (or is empty) is refused with a sentence naming it, and nothing is copied.
JobOutcome AssignDiyFiles(Card& card, int position, int slot, const std::vector<std::string>& files,
                          IJobRunner& runner, IMessageSink& messages);

// The computer's file a slot is saved to: the chosen path with ".mp3" when the slot's file name
// holds ".mp3", else ".wav"; a path already ending in that extension keeps it once.
std::string DiyExportDestination(const std::string& slotFileName, const std::string& chosenPath);

// Saves a slot's recording to the computer, and tells the user when it completed. Nothing happens
// (and nothing is told) when the slot holds no file.
JobOutcome ExportDiySlot(const CDiyXML& diy, int position, int slot, const std::string& chosenPath,
                         IJobRunner& runner, IMessageSink& messages);

// The question a parent answers (default no) before a slot's recording is deleted, naming the DIY
// card and the recording; nothing for a slot that holds none.
std::optional<std::string> DeleteDiySlotQuestion(const CDiyXML& diy, int position, int slot);

// Deletes a slot's recording from the card and empties the slot. False when nothing was saved.
bool DeleteDiySlot(CDiyXML& diy, int position, int slot, IMessageSink& messages);

// Renames the recording of a slot in use; a control character in the name (a pasted tab or line
// break) is stored as a blank, as Diy.dat would read it back. False when the slot is empty or the
// database could not be saved.
bool RenameDiySlot(CDiyXML& diy, int position, int slot, const std::string& name);

}  // namespace torvane
