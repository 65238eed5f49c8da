// The contents the signed-in account owns on the content service, filed on the same ten shelves
// as the device's database. The content page shows it beside what is installed and hands its
// records to the install engine, which downloads each file from its address.
#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "service/http_client.h"
#include "service/session.h"
#include "store/content_record.h"
#include "store/content_types.h"

namespace torvane {

class ContentCatalogue {
  public:
    // Requests the account's contents and reads them. True when the request succeeded and the
    // answer was well formed; else false with the reason in ErrorText() (contents read before a
    // malformed part stay on the shelves).
    bool FetchCatalogue(const ServiceSession& session = Session(),
                        const HttpLimits& limits = HttpLimits{});

    // Reads a contentsList answer onto the shelves (after whatever is there). True when well
    // formed; else false with the parser's message in ErrorText().
    bool ReadCatalogue(std::string_view answer);

    // Empties every shelf and the error text.
    void ClearCatalogue();

    const std::vector<ContentRecord>& Contents(Shelf shelf) const;
    // The content page rebuilds the game shelf itself.
    std::vector<ContentRecord>& MutableContents(Shelf shelf);
    std::size_t Count(Shelf shelf) const { return Contents(shelf).size(); }
    bool Empty() const;

    const std::string& ErrorText() const { return errorText_; }

  private:
    std::array<std::vector<ContentRecord>, kShelfCount> shelves_;
    std::string errorText_;
};

}  // namespace torvane
