// What the install engine's benchmark programs share: the settings their scripts pass in the
// environment, a scratch folder of the run's own, and a message sink and job observer that keep
// quiet.
#pragma once

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>

#include "delivery/download_job.h"

namespace torvane::bench {

inline std::string Env(const char* name) {
    const char* value = std::getenv(name);
    return value == nullptr ? std::string() : std::string(value);
}

// An empty folder "torvane-<program>-<pid>-<name>" below the temporary folder.
inline std::filesystem::path Scratch(const std::string& program, const std::string& name) {
    const std::filesystem::path path =
        std::filesystem::temp_directory_path() /
        ("torvane-" + program + "-" + std::to_string(::getpid()) + "-" + name);
    std::filesystem::remove_all(path);
    std::filesystem::create_directories(path);
    return path;
}

class NoObserver final : public IJobObserver {
  public:
    void OnProgress(const JobProgress&) override {}
};

}  // namespace torvane::bench
