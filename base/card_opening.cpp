#include "base/card_opening.h"

#include "common/messages.h"

namespace torvane {
namespace {

// The parser's message ends with a line break; the sentence goes on one line.
std::string OneLine(std::string reason) {
    while (!reason.empty() && (reason.back() == '\n' || reason.back() == '\r')) reason.pop_back();
    return reason;
}

}  // namespace

Status OpenCardDatabase(Card& card) {
    if (!card.LoadDatabase()) {
        return Status::Failure(OutcomeKind::CardUnreadable,
                               CardDatabaseUnreadable(card.Path(card_paths::kDatabase),
                                                      OneLine(card.database().lastError())));
    }
    return Status::Ok();
}

Status OpenCardDiy(Card& card) {
    if (!card.LoadDiy()) {
        return Status::Failure(OutcomeKind::CardUnreadable,
                               CardDiyUnreadable(card.Path(card_paths::kDiyDatabase),
                                                 OneLine(card.diy().lastError())));
    }
    return Status::Ok();
}

}  // namespace torvane
