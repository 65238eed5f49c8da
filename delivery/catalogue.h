// The contents the signed-in account owns on the content service, filed on the same ten shelves
// as the device's database. The content page shows it beside what is installed and hands its
// records to the install engine, which downloads each file from its address.
#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "service/http_client.h"
#include "service/list_fetch.h"
#include "service/session.h"
#include "store/content_record.h"
#include "store/content_types.h"

namespace torvane {

// An account holds at most a few hundred contents; fifty thousand is far past any family's
// shelves, while a list that size still fits in memory and fills a page quickly. A longer list is
// refused whole.
inline constexpr std::size_t kMaxCatalogueContents = 50000;

// The account's contents as the service lists them, every kind included.
ServiceList<ContentRecord> FetchContents(const ServiceSession& session,
                                         const HttpLimits& limits = HttpLimits{});

class ContentCatalogue {
  public:
    // Empties the shelves, requests the account's contents and files them. Fails with the
    // client's reason or the parser's message (contents read before a malformed part stay on the
    // shelves).
    Status FetchCatalogue(const ServiceSession& session, const HttpLimits& limits = HttpLimits{});

    // Reads a contentsList answer onto the shelves (after whatever is there). Fails with the
    // parser's message.
    Status ReadCatalogue(std::string_view answer);

    // Empties every shelf.
    void ClearCatalogue();
    // The last fetch or read was refused for listing more than kMaxCatalogueContents contents.
    bool RefusedAsTooLong() const { return tooLong_; }

    const std::vector<ContentRecord>& Contents(Shelf shelf) const;
    // The content page rebuilds the game shelf itself.
    std::vector<ContentRecord>& MutableContents(Shelf shelf);
    std::size_t Count(Shelf shelf) const { return Contents(shelf).size(); }
    bool Empty() const;

  private:
    // Files each content on its shelf; a content of a kind the device does not know is dropped.
    void File(std::vector<ContentRecord>& contents);

    std::array<std::vector<ContentRecord>, kShelfCount> shelves_;
    bool tooLong_ = false;
};

}  // namespace torvane
