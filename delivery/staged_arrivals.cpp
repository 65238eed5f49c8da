#include "delivery/staged_arrivals.h"

namespace torvane {

void StagedArrivals::Restart() {
    std::lock_guard lock(mutex_);
    arrived_ = 0;
    ended_ = false;
}

void StagedArrivals::Arrived() {
    {
        std::lock_guard lock(mutex_);
        ++arrived_;
    }
    changed_.notify_all();
}

void StagedArrivals::Ended() {
    {
        std::lock_guard lock(mutex_);
        ended_ = true;
    }
    changed_.notify_all();
}

bool StagedArrivals::WaitFor(std::size_t index) {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [&] { return arrived_ > index || ended_; });
    return arrived_ > index;
}

bool StagedArrivals::HasEnded() const {
    std::lock_guard lock(mutex_);
    return ended_;
}

}  // namespace torvane
