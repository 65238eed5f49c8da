// Installing a system package from the update page: an update keeps the card's contents, a reset
// package wipes the card first. The chosen drive receives the package.
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "base/message_sink.h"
#include "delivery/download_job.h"
#include "update/update_list.h"

namespace torvane {

enum class PackageKind { Update, Reset };

// The name the package is saved under while it is unpacked: the service's name when it is a plain
// file name, else the last part of its address.
std::string PackageSavedName(const UpdateFile& file);

// Downloads the package and unpacks it onto `card` (any removable drive) through the runner. A
// reset first asks the user (ResetQuestion) and, refused, ends as cancelled with the card
// untouched. After an update the user is told to restart and to put the card back into the device.
// With `keep` (a reset only; KeptRecordings), the DIY recordings, the name voice and the selected
// child are kept on the engine's thread just before the wipe and put back after it; when they
// cannot be kept the card is not wiped. A package that fails to download or open leaves the card
// as it was.
JobOutcome InstallPackage(const UpdateFile& file, PackageKind kind, std::shared_ptr<Card> card,
                          IJobRunner& runner, IMessageSink& messages, IWipeKeeper* keep = nullptr);

// The question a package's install must have answered Yes before it runs: a reset's, which names
// the card it wipes; none for an update. A front end that asks in its own way (a flag, a dialog
// of its own) asks this, then installs the confirmed package.
std::optional<std::string> PackageConfirmation(PackageKind kind, const Card& card,
                                               bool keepsRecordings);
// InstallPackage once the user has confirmed (PackageConfirmation): nothing more is asked.
JobOutcome InstallConfirmedPackage(const UpdateFile& file, PackageKind kind,
                                   std::shared_ptr<Card> card, IJobRunner& runner,
                                   IMessageSink& messages, IWipeKeeper* keep = nullptr);

}  // namespace torvane
