#include "base/udisks2_volumes.h"

#include <gio/gio.h>

#include <algorithm>
#include <map>

namespace torvane {
namespace {

constexpr const char* kService = "org.freedesktop.UDisks2";
constexpr const char* kBlock = "org.freedesktop.UDisks2.Block";
constexpr const char* kDrive = "org.freedesktop.UDisks2.Drive";
constexpr const char* kFilesystem = "org.freedesktop.UDisks2.Filesystem";
// A mount or an unmount may wait for a slow card; the service itself gives up after a while.
constexpr int kCallTimeoutMs = 60000;

struct VariantDeleter {
    void operator()(GVariant* v) const { g_variant_unref(v); }
};
using VariantPtr = std::unique_ptr<GVariant, VariantDeleter>;

struct ErrorHolder {
    GError* error = nullptr;
    ~ErrorHolder() {
        if (error != nullptr) g_error_free(error);
    }
    std::string Text() {
        if (error == nullptr) return "no answer from the disk service";
        g_dbus_error_strip_remote_error(error);
        return error->message;
    }
};

bool BoolOf(GVariant* properties, const char* name) {
    gboolean value = FALSE;
    return properties != nullptr && g_variant_lookup(properties, name, "b", &value) && value;
}

std::string StringOf(GVariant* properties, const char* name, const char* type = "&s") {
    const char* value = nullptr;
    if (properties == nullptr || !g_variant_lookup(properties, name, type, &value)) return {};
    return value != nullptr ? value : "";
}

// A byte string property ("ay", NUL-terminated as udisks2 sends paths).
std::string BytesOf(GVariant* properties, const char* name) {
    const char* value = nullptr;
    if (properties == nullptr || !g_variant_lookup(properties, name, "^&ay", &value)) return {};
    return value != nullptr ? value : "";
}

std::string FirstMountPoint(GVariant* filesystem) {
    VariantPtr points(filesystem == nullptr ? nullptr
                                            : g_variant_lookup_value(filesystem, "MountPoints",
                                                                     G_VARIANT_TYPE("aay")));
    if (!points || g_variant_n_children(points.get()) == 0) return {};
    VariantPtr first(g_variant_get_child_value(points.get(), 0));
    const char* path = g_variant_get_bytestring(first.get());
    return path != nullptr ? path : "";
}

// A card reader, a USB stick or a card slot, never a fixed disk of the machine.
bool IsRemovableDrive(GVariant* drive) {
    const std::string bus = StringOf(drive, "ConnectionBus");
    return BoolOf(drive, "Removable") || BoolOf(drive, "MediaRemovable") || bus == "usb" ||
           bus == "sdio";
}

}  // namespace

struct UDisks2Volumes::Bus {
    GDBusConnection* connection = nullptr;
    ~Bus() {
        if (connection != nullptr) g_object_unref(connection);
    }

    VariantPtr Call(const std::string& object, const char* interface, const char* method,
                    GVariant* arguments, const GVariantType* reply, std::string& error) {
        if (connection == nullptr) {
            error = "no system bus";
            if (arguments != nullptr) g_variant_unref(g_variant_ref_sink(arguments));
            return nullptr;
        }
        ErrorHolder failure;
        GVariant* answer = g_dbus_connection_call_sync(
            connection, kService, object.c_str(), interface, method, arguments, reply,
            G_DBUS_CALL_FLAGS_NONE, kCallTimeoutMs, nullptr, &failure.error);
        if (answer == nullptr) error = failure.Text();
        return VariantPtr(answer);
    }

    VariantPtr ManagedObjects(std::string& error) {
        return Call("/org/freedesktop/UDisks2", "org.freedesktop.DBus.ObjectManager",
                    "GetManagedObjects", nullptr, G_VARIANT_TYPE("(a{oa{sa{sv}}})"), error);
    }
};

UDisks2Volumes::UDisks2Volumes() : bus_(std::make_unique<Bus>()) {
    ErrorHolder failure;
    bus_->connection = g_bus_get_sync(G_BUS_TYPE_SYSTEM, nullptr, &failure.error);
}

UDisks2Volumes::~UDisks2Volumes() = default;

bool UDisks2Volumes::Available() {
    std::string error;
    return bus_->ManagedObjects(error) != nullptr;
}

std::vector<Volume> UDisks2Volumes::RemovableVolumes() {
    std::string error;
    const VariantPtr reply = bus_->ManagedObjects(error);
    if (!reply) return {};
    VariantPtr objects(g_variant_get_child_value(reply.get(), 0));

    struct DriveFacts {
        bool removable = false;
        bool canPowerOff = false;
    };
    std::map<std::string, DriveFacts> drives;
    GVariantIter iter;
    const char* path = nullptr;
    GVariant* interfaces = nullptr;
    g_variant_iter_init(&iter, objects.get());
    while (g_variant_iter_next(&iter, "{&o@a{sa{sv}}}", &path, &interfaces)) {
        VariantPtr owner(interfaces);
        VariantPtr drive(g_variant_lookup_value(interfaces, kDrive, G_VARIANT_TYPE_VARDICT));
        if (drive)
            drives[path] = {IsRemovableDrive(drive.get()), BoolOf(drive.get(), "CanPowerOff")};
    }

    std::vector<Volume> volumes;
    g_variant_iter_init(&iter, objects.get());
    while (g_variant_iter_next(&iter, "{&o@a{sa{sv}}}", &path, &interfaces)) {
        VariantPtr owner(interfaces);
        VariantPtr block(g_variant_lookup_value(interfaces, kBlock, G_VARIANT_TYPE_VARDICT));
        VariantPtr filesystem(
            g_variant_lookup_value(interfaces, kFilesystem, G_VARIANT_TYPE_VARDICT));
        if (!block || !filesystem) continue;
        if (BoolOf(block.get(), "HintIgnore") || BoolOf(block.get(), "HintSystem")) continue;
        const std::string driveObject = StringOf(block.get(), "Drive", "&o");
        const auto drive = drives.find(driveObject);
        if (drive == drives.end() || !drive->second.removable) continue;
        Volume volume;
        volume.object = path;
        volume.device = BytesOf(block.get(), "PreferredDevice");
        if (volume.device.empty()) volume.device = BytesOf(block.get(), "Device");
        volume.label = StringOf(block.get(), "IdLabel");
        guint64 size = 0;
        if (g_variant_lookup(block.get(), "Size", "t", &size)) volume.size = size;
        volume.mountPoint = FirstMountPoint(filesystem.get());
        volume.drive = driveObject;
        volume.canPowerOff = drive->second.canPowerOff;
        volumes.push_back(std::move(volume));
    }
    std::sort(volumes.begin(), volumes.end(),
              [](const Volume& a, const Volume& b) { return a.device < b.device; });
    return volumes;
}

std::string UDisks2Volumes::Mount(const Volume& volume, std::string& mountPoint) {
    std::string error;
    const VariantPtr reply =
        bus_->Call(volume.object, kFilesystem, "Mount", g_variant_new("(a{sv})", nullptr),
                   G_VARIANT_TYPE("(s)"), error);
    if (!reply) return error;
    const char* path = nullptr;
    g_variant_get(reply.get(), "(&s)", &path);
    mountPoint = path != nullptr ? path : "";
    return {};
}

std::string UDisks2Volumes::Unmount(const Volume& volume) {
    std::string error;
    const VariantPtr reply = bus_->Call(volume.object, kFilesystem, "Unmount",
                                        g_variant_new("(a{sv})", nullptr), nullptr, error);
    return reply ? std::string() : error;
}

std::string UDisks2Volumes::PowerOff(const Volume& volume) {
    if (!volume.canPowerOff || volume.drive.empty()) return {};
    std::string error;
    const VariantPtr reply = bus_->Call(volume.drive, kDrive, "PowerOff",
                                        g_variant_new("(a{sv})", nullptr), nullptr, error);
    return reply ? std::string() : error;
}

}  // namespace torvane
