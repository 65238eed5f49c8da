// The lists the content service hands out (banners, the account's contents, its children, the
// device's packages) are all fetched the same way: request the list's address inside the session,
// read the answer with the list's reader, return the items read and why the fetch failed, if it
// did.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/messages.h"
#include "common/status.h"
#include "service/http_client.h"
#include "service/xml_answer.h"

namespace torvane {

template <typename Item>
struct ServiceList {
    std::vector<Item> items;  // in the answer's order; those read before a damaged part stay
    Status status = Status::Ok();
    // The answer listed more items than the list's bound: nothing of it is kept.
    bool tooLong = false;

    bool ok() const { return status.ok(); }
};

// A reader that appends the items of one list answer, up to the list's bound. Each list has a
// bound far above any real account, so that a service gone wrong cannot make the program hold,
// and a page lay out, a list without end.
template <typename Item>
class ListReader : public ISaxReader {
  public:
    using ItemType = Item;
    // `what` names the items in the refusal: "children", "contents".
    ListReader(std::vector<Item>& items, std::size_t maxItems, std::string_view what)
        : items_(items), maxItems_(maxItems), what_(what) {}

    std::size_t MaxItems() const { return maxItems_; }
    std::string_view What() const { return what_; }
    // An item came past the bound.
    bool Overflowed() const { return overflowed_; }

  protected:
    // Keeps `item`, or, past the bound, drops it and marks the list as too long.
    void Add(Item item) {
        if (items_.size() >= maxItems_) {
            overflowed_ = true;
            return;
        }
        items_.push_back(std::move(item));
    }

  private:
    std::vector<Item>& items_;
    std::size_t maxItems_;
    std::string_view what_;
    bool overflowed_ = false;
};

// A list that came past its reader's bound is refused whole: a cut list would hide what was cut.
template <typename Reader, typename Item>
void RefuseIfTooLong(const Reader& reader, ServiceList<Item>& list) {
    if (!reader.Overflowed()) return;
    list.items.clear();
    list.tooLong = true;
    list.status = Status::Failure(OutcomeKind::ServiceFailed,
                                  ServiceListTooLong(reader.What(), reader.MaxItems()));
}

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
    RefuseIfTooLong(reader, list);
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
    RefuseIfTooLong(reader, list);
    return list;
}

}  // namespace torvane
