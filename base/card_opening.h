// Opening a card's databases the one way both front ends do, with the one sentence that says
// why a card could not be read.
#pragma once

#include "common/status.h"
#include "store/card.h"

namespace torvane {

// Reads Default.dat (the database puts the chosen games on the game shelf itself).
Status OpenCardDatabase(Card& card);
// Reads Diy.dat and rec.tbl.
Status OpenCardDiy(Card& card);

}  // namespace torvane
