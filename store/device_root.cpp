#include "store/device_root.h"

#include <mutex>

namespace torvane {
namespace {

struct DeviceRootValue {
    std::mutex mutex;
    std::string root;
};

DeviceRootValue& Value() {
    static DeviceRootValue value;
    return value;
}

}  // namespace

std::string DeviceRoot() {
    std::lock_guard lock(Value().mutex);
    return Value().root;
}

void SetDeviceRoot(std::string root) {
    std::lock_guard lock(Value().mutex);
    Value().root = std::move(root);
}

}  // namespace torvane
