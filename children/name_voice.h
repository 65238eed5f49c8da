// A child's name voice on the card: the device calls the child by name with the recording kept
// in each of its four language folders below ck1, and the database remembers whose it is.
// The rules of the child name page's apply, release and delete actions.
#pragma once

#include <string>
#include <vector>

#include "base/message_sink.h"
#include "children/children_service.h"

namespace torvane {

class CDefaultXML;
class Card;

// The four places of the name voice below a device root.
std::vector<std::string> NameVoicePaths(const std::string& root);

// Deletes the name voice from every language folder (the folders are made first, as the device
// expects them). False when a file stayed.
bool DeleteNameVoiceFiles(const std::string& root);

// False, after telling the user "no storage device", when no card is chosen.
bool RequireCard(const Card* card, IMessageSink& messages);

// Applies a child's name voice: the child becomes the database's selected child (saved), then
// the child's first existing voice is downloaded and copied into the four folders. A failed
// download (from the session's service) leaves the folders as they were. True when the voice was
// copied; `error` says why not.
bool ApplyNameVoice(const ChildInfo& child, CDefaultXML& database, const ServiceSession& session,
                    std::string* error = nullptr);

// Releases: deletes the name voice files and saves the database with no selected child.
bool ReleaseNameVoice(CDefaultXML& database);

}  // namespace torvane
