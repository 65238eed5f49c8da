// The lists the content service hands out (banners, the account's contents, its children, the
// device's packages) are all fetched the same way: request the list's address inside the session,
// read the answer with the list's reader, return the items read and why the fetch failed, if it
// did.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "service/http_client.h"
#include "service/xml_answer.h"
#include "store/status.h"

namespace torvane {

template <typename Item>
struct ServiceList {
    std::vector<Item> items;  // in the answer's order; those read before a damaged part stay
    Status status = Status::Ok();

    bool ok() const { return status.ok(); }
};

// A reader that appends the items of one list answer.
template <typename Item>
class ListReader : public ISaxReader {
  public:
    using ItemType = Item;
    explicit ListReader(std::vector<Item>& items) : items_(items) {}

  protected:
    std::vector<Item>& items_;
};

// Requests `url` with `cookie` (captured into it when it is empty, as every first request does)
// and reads the answer with `reader`. Fails with the client's reason or the parser's message.
Status FetchAnswer(std::string_view url, std::string& cookie, ISaxReader& reader,
                   const HttpLimits& limits);

// Reads one list answer.
template <typename Reader>
ServiceList<typename Reader::ItemType> ReadList(std::string_view answer) {
    ServiceList<typename Reader::ItemType> list;
    Reader reader(list.items);
    list.status = ParseXmlAnswer(answer, reader);
    return list;
}

// Fetches one list inside the session; the session's cookie is sent and, when it has none yet,
// the service's new one is kept in `cookie`.
template <typename Reader>
ServiceList<typename Reader::ItemType> FetchList(std::string_view url, std::string& cookie,
                                                 const HttpLimits& limits) {
    ServiceList<typename Reader::ItemType> list;
    Reader reader(list.items);
    list.status = FetchAnswer(url, cookie, reader, limits);
    return list;
}

}  // namespace torvane
