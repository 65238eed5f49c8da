// Card care as both front ends run it: a check with or without its repair, a backup and a
// restore, as one job on the engine's thread (CardCareJob), with the rules for what a signed-in
// check compares and for when a card counts as sound written once.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "delivery/card_check.h"
#include "delivery/catalogue.h"

namespace torvane {

// The account's contents and the size of each of their files: what a signed-in check compares
// the card with, and what its repair downloads again.
struct SignedInCatalogue {
    std::vector<ContentRecord> records;
    CatalogueSizes sizes;
};
SignedInCatalogue CatalogueForCare(const ContentCatalogue& catalogue);

// What a check found and, after a repair, what was done about each problem.
struct CareReport {
    std::vector<CardProblem> problems;
    std::optional<std::vector<RepairStep>> repairs;  // set by a repair

    // Nothing wrong, or every problem mended.
    bool Sound() const;
    // One sentence on the card's state: sound, the problems found, or how the repair ended.
    std::string Summary() const;
    // One line a problem: "<where>: <sentence>", after a repair led by what was done.
    std::vector<std::string> Lines() const;
};

// Checks the card and, with `repair`, mends what can be mended. Signed in (`catalogue` given),
// the files are compared with the account's sizes and `runner` downloads again what is missing.
CareReport CheckAndRepair(Card& card, bool repair, const SignedInCatalogue* catalogue,
                          IJobRunner* runner);

}  // namespace torvane
