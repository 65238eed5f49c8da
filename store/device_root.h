// The device root: the folder where the chosen card is mounted, empty while no card is chosen.
// Every device path is formed from it. Drive detection sets it; the download worker reads it
// from its own thread, so access is synchronised.
#pragma once

#include <string>

namespace torvane {

std::string DeviceRoot();
void SetDeviceRoot(std::string root);

}  // namespace torvane
