// A child's name voice on the card: the device calls the child by name with the recording kept
// in each of its four language folders below ck1, and the database remembers whose it is.
// The rules of the child name page's apply, release and delete actions.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "base/message_sink.h"
#include "children/children_service.h"

namespace torvane {

class CDefaultXML;
class Card;
class CardAnchor;

// Deletes the name voice from every language folder (the folders are made first, as the device
// expects them). False when a file stayed, and at once when the card is not present.
bool DeleteNameVoiceFiles(const CardAnchor& card);

// False, after telling the user "no storage device", when no card is chosen.
bool RequireCard(const Card* card, IMessageSink& messages);

// A name voice says one name: a few seconds of sound, some tens of kilobytes. Eight MiB is far
// past any, and keeps a service gone wrong from filling the card four times over.
inline constexpr std::uint64_t kMaxNameVoiceBytes = std::uint64_t{8} * 1024 * 1024;

// Puts the child's first existing voice into the four folders on the card: downloaded first,
// and only once it arrived whole copied over the folders' files, never onto a card that left. The
// voice must arrive exactly as large as the service listed it (when it did) and at most
// kMaxNameVoiceBytes; a child whose number the service wrote badly gets nothing. The
// database is not touched, so the desktop page runs this off its user-interface thread. True when
// the voice was copied; `error` says why not (the folders then hold what they held).
bool PlaceNameVoice(const ChildInfo& child, const CardAnchor& card, const ServiceSession& session,
                    std::string* error = nullptr, HttpLimits limits = HttpLimits{});

// Records the child as the one the device calls and saves the database.
bool SelectNameVoiceChild(int childNo, CDefaultXML& database, std::string* error = nullptr);

// Applies a child's name voice: PlaceNameVoice onto the database's card, then, only when the
// voice is there, SelectNameVoiceChild. A voice that could not be downloaded changes nothing on
// the card, so the device never calls the child by another child's name.
bool ApplyNameVoice(const ChildInfo& child, CDefaultXML& database, const ServiceSession& session,
                    std::string* error = nullptr);

// Releases: deletes the name voice files and saves the database with no selected child.
bool ReleaseNameVoice(CDefaultXML& database);

}  // namespace torvane
