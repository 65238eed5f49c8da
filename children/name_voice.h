// A child's name voice on the card: the device calls the child by name with the recording kept
// in each of its four language folders below ck1, and the database remembers whose it is.
// The rules of the child name page's apply, release and delete actions.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "children/children_service.h"
#include "common/status.h"

namespace torvane {

class CDefaultXML;
class Card;
class CardAnchor;

// Deletes the name voice from every language folder (the folders are made first, as the device
// expects them). CardUnreadable at once when the card is not present; CardFull
// (NameVoiceNotRemoved) when a file stayed.
Status DeleteNameVoiceFiles(const CardAnchor& card);

// CardUnreadable ("no storage device") when no card is chosen.
Status RequireCard(const Card* card);

// A name voice says one name: a few seconds of sound, some tens of kilobytes. Eight MiB is far
// past any, and keeps a service gone wrong from filling the card four times over.
inline constexpr std::uint64_t kMaxNameVoiceBytes = std::uint64_t{8} * 1024 * 1024;

// Puts the child's first existing voice into the four folders on the card: downloaded first,
// and only once it arrived whole copied over the folders' files, never onto a card that left. The
// voice must arrive exactly as large as the service listed it (when it did) and at most
// kMaxNameVoiceBytes; a child whose number the service wrote badly gets nothing (Refused), nor
// does a child without a voice yet (UnknownItem, NoNameVoice). The database is not touched, so
// the desktop page runs this off its user-interface thread. A voice that did not arrive whole is
// NameVoiceNotDownloaded (the folders then hold what they held); a card that did not take it is
// CardFull, or CardUnreadable when it left.
Status PlaceNameVoice(const ChildInfo& child, const CardAnchor& card, const ServiceSession& session,
                      HttpLimits limits = HttpLimits{});

// Records the child as the one the device calls and saves the database (see CDefaultXML::Save).
Status SelectNameVoiceChild(int childNo, CDefaultXML& database);

// Applies a child's name voice: PlaceNameVoice onto the database's card, then, only when the
// voice is there, SelectNameVoiceChild. A voice that could not be downloaded changes nothing on
// the card, so the device never calls the child by another child's name.
Status ApplyNameVoice(const ChildInfo& child, CDefaultXML& database, const ServiceSession& session);

// Releases: deletes the name voice files and saves the database with no selected child. The
// database's failure when it was not saved, else DeleteNameVoiceFiles's when a file stayed.
Status ReleaseNameVoice(CDefaultXML& database);

}  // namespace torvane
