#include "store/card.h"

#include <utility>

namespace torvane {

Card::Card(std::string root)
    : anchor_(std::make_shared<CardAnchor>(std::move(root))), database_(anchor_), diy_(anchor_) {}

}  // namespace torvane
