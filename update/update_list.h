// The firmware and system packages the content service offers for the device.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "common/status.h"
#include "service/http_client.h"
#include "service/session.h"

namespace torvane {

// The service offers a handful of packages (an update and a reset); a thousand leaves room for
// any history it may list while keeping the update page's grid small. A longer list is refused.
inline constexpr std::size_t kMaxUpdateFiles = 1000;

struct UpdateFile {
    std::string version;
    std::string name;
    std::string description;  // UTF-8
    std::string registeredDate;
    std::string fileUrl;  // where the service serves the package (a ZIP archive)
    std::int32_t size = 0;
    bool selected = false;  // the service's own mark; kept, not used
};

class UpdateFileList {
  public:
    // Clears the list and fetches it. Fails with the client's reason or the parser's message.
    Status FetchUpdateFiles(const ServiceSession& session, const HttpLimits& limits = HttpLimits{});
    // Reads a systemUpdateFiles answer (appending). Fails with the parser's message.
    Status ReadUpdateFiles(std::string_view answer);
    void Clear();
    // The last fetch or read was refused for listing more than kMaxUpdateFiles packages.
    bool RefusedAsTooLong() const { return tooLong_; }

    // Every package appears under both tabs of the update page, in the answer's order.
    const std::vector<UpdateFile>& ListA() const { return files_; }
    const std::vector<UpdateFile>& ListB() const { return files_; }
    const std::vector<UpdateFile>& Files() const { return files_; }

  private:
    void Append(std::vector<UpdateFile>& files);

    std::vector<UpdateFile> files_;
    bool tooLong_ = false;
};

}  // namespace torvane
