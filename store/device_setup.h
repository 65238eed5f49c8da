// A blank card: what a freshly formatted card needs for the program to take it as the device.
#pragma once

#include <string>

namespace torvane {

// Creates under `root` an empty Default.dat with the given system version and sound type, the
// content folders (ck1 to ck11, ck9/re1 to ck9/re4) and empty tables in each content folder.
// For the demo card and for tests. False when something cannot be written.
bool CreateEmptyDevice(const std::string& root, const std::string& systemVersion,
                       const std::string& soundType);

}  // namespace torvane
