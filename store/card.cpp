#include "store/card.h"

#include <utility>

namespace torvane {

Card::Card(std::string root) : root_(std::move(root)), database_(root_), diy_(root_) {}

}  // namespace torvane
