// How the card's two databases say why a load or a save did not happen, alike for Default.dat and
// Diy.dat, so that a front end decides on the kind (a card gone, a card full) and never on words.
#pragma once

#include <string>

#include "common/status.h"
#include "store/card_anchor.h"

namespace torvane {

// Whether a database may be written now: CardUnreadable when the card left, was replaced or its
// files were changed by another program since they were read; Refused when the database was never
// read from this card (a save would leave the card only the latest change). Ok otherwise.
inline Status SaveAllowed(const CardAnchor* card, bool readOrNew, bool filesAsNoted) {
    if (card == nullptr || !card->Present() || !filesAsNoted)
        return Status::Failure(OutcomeKind::CardUnreadable, Say(MessageId::CardRemovedDuringJob));
    if (!readOrNew) return Status::Failure(OutcomeKind::Refused, Say(MessageId::CardNotWritten));
    return Status::Ok();
}

// The card's answer to a write of a whole file: CardFull when it did not take it (full,
// write-protected, or pulled in the middle).
inline Status WriteTaken(bool written) {
    return written ? Status::Ok()
                   : Status::Failure(OutcomeKind::CardFull, Say(MessageId::CardNotWritten));
}

// A database that could not be read: the sentence names the file and, on one line, why.
inline Status NotRead(MessageId sentence, const std::string& path, std::string reason) {
    while (!reason.empty() && (reason.back() == '\n' || reason.back() == '\r')) reason.pop_back();
    return Status::Failure(OutcomeKind::CardUnreadable, Say(sentence, path, std::move(reason)));
}

}  // namespace torvane
