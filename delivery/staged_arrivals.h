// How far a content's download into its staging folder has come, for the copy onto the card that
// follows it file by file: the card then writes while the network still brings the rest, instead
// of waiting for the whole content.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <mutex>

namespace torvane {

class StagedArrivals {
  public:
    // A new content's download begins.
    void Restart();
    // One more file of the content is whole in the staging folder.
    void Arrived();
    // No more files will come (all arrived, or the download stopped).
    void Ended();
    // Waits until the file at `index` (in the content's order) has arrived: true, or the download
    // ended without it: false.
    bool WaitFor(std::size_t index);
    bool HasEnded() const;

  private:
    mutable std::mutex mutex_;
    std::condition_variable changed_;
    std::size_t arrived_ = 0;
    bool ended_ = false;
};

}  // namespace torvane
