// torvane-cli device list and device eject: the removable cards as the disk service (udisks2)
// sees them, and their safe removal.
#include <memory>
#include <nlohmann/json.hpp>
#include <ostream>

#include "base/removable_drives.h"
#include "base/udisks2_volumes.h"
#include "cli/card_job.h"
#include "cli/cli_context.h"
#include "common/messages.h"

namespace torvane::cli {
namespace {

using json = nlohmann::ordered_json;

void ListDevices(CliContext& ctx) {
    UDisks2Volumes service;
    VolumeDriveLister lister(service);
    json devices = json::array();
    std::ostream& out = ctx.Out();
    for (const std::string& drive : lister.RemovableDrives()) {
        const auto volume = lister.VolumeOf(drive);
        const bool mounted = !volume || !volume->mountPoint.empty();
        const bool card = mounted && HoldsDeviceDatabase(drive);
        if (ctx.options.json) {
            json entry = {{"name", lister.DisplayName(drive)},
                          {"path", mounted ? drive : std::string()},
                          {"card", card}};
            if (volume) {
                entry["device"] = volume->device;
                entry["label"] = volume->label;
                entry["size"] = volume->size;
            }
            devices.push_back(entry);
            continue;
        }
        // The path is what --device takes; an unmounted card shows its device instead.
        out << lister.DisplayName(drive) << '\t' << drive << (mounted ? "" : "\t(not mounted)")
            << (card ? "\t(player's card)" : "") << '\n';
    }
    ctx.Emit(devices);
}

void EjectDevice(CliContext& ctx, std::string which) {
    if (which.empty()) {
        const auto device = ctx.RequireDevice();
        if (!device) return;
        which = *device;
    }
    while (which.size() > 1 && which.back() == '/') which.pop_back();
    UDisks2Volumes service;
    if (!service.Available()) {
        ctx.Fail(OutcomeKind::CardUnreadable, kMsgNoDiskService);
        return;
    }
    for (const Volume& volume : service.RemovableVolumes()) {
        if (which != volume.mountPoint && which != volume.device && which != volume.label) continue;
        if (const std::string error = EjectCard(service, volume); !error.empty()) {
            ctx.Fail(std::string(kMsgEjectFailed) + error);
            return;
        }
        if (ctx.options.json)
            ctx.Emit({{"ejected", which}, {"device", volume.device}});
        else
            ctx.Out() << kMsgCardMayBePulled << '\n';
        return;
    }
    ctx.Fail(OutcomeKind::CardUnreadable, std::string(kMsgNotARemovableCard) + which);
}

}  // namespace

void AddVolumeCommands(CLI::App& app, CliContext& ctx) {
    CLI::App* device = Group(app, "device", "the device's content database");
    device->add_subcommand("list", "the removable cards, named as the file manager names them")
        ->callback([&ctx] { ListDevices(ctx); });
    auto which = std::make_shared<std::string>();
    auto* eject = device->add_subcommand(
        "eject", "flush, unmount and power off a card so that it may be pulled out");
    eject->add_option("card", *which,
                      "its folder, device or label (else --device, else TORVANE_DEVICE)");
    eject->callback([&ctx, which] { EjectDevice(ctx, *which); });
}

}  // namespace torvane::cli
