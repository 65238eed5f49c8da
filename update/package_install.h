// Installing a system package from the update page: an update keeps the card's contents, a reset
// package wipes the card first. The chosen drive receives the package.
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "delivery/download_job.h"
#include "update/update_list.h"

namespace torvane {

enum class PackageKind { Update, Reset };

// The name the package is saved under while it is unpacked: the service's name when it is a plain
// file name, else the last part of its address.
std::string PackageSavedName(const UpdateFile& file);

// The question a package's install must have answered Yes before it runs: a reset's, which names
// the card it wipes; none for an update. The front end asks it in its own way (a message box, the
// terminal or --yes), then installs the confirmed package.
std::optional<std::string> PackageConfirmation(PackageKind kind, const Card& card,
                                               bool keepsRecordings);

// Downloads the confirmed package and unpacks it onto `card` (any removable drive) through the
// runner; nothing more is asked. An update ends with the sentence that tells the user to restart
// and to put the card back into the device. With `keep` (a reset only; KeptRecordings), the DIY
// recordings, the name voice and the selected child are kept on the engine's thread just before
// the wipe and put back after it; when they cannot be kept the card is not wiped. A package that
// fails to download or open leaves the card as it was.
JobOutcome InstallConfirmedPackage(const UpdateFile& file, PackageKind kind,
                                   std::shared_ptr<Card> card, IJobRunner& runner,
                                   IWipeKeeper* keep = nullptr);

}  // namespace torvane
