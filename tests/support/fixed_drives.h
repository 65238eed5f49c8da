// The removable drives as a test says they are: the cards a test puts in and pulls out.
#pragma once

#include <string>
#include <vector>

#include "base/removable_drives.h"

namespace torvane::test {

class FixedDrives final : public IDriveLister {
  public:
    std::vector<std::string> drives;
    std::vector<std::string> RemovableDrives() override { return drives; }
};

}  // namespace torvane::test
