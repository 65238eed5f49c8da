#include "base/card_opening.h"

namespace torvane {

Status OpenCardDatabase(Card& card) {
    return card.LoadDatabase();
}

Status OpenCardDiy(Card& card) {
    return card.LoadDiy();
}

}  // namespace torvane
