// Diy.dat's reader with rec.tbl merged, and the round trip of both files: what the saves write,
// a load reads back as the same records. The first byte splits the input into the two files.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string_view>

#include "store/diy_xml.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const std::string_view rest(reinterpret_cast<const char*>(data) + 1, size - 1);
    const std::size_t split = rest.empty() ? 0 : data[0] % (rest.size() + 1);
    const std::string_view diy = rest.substr(0, split);
    const std::string_view table = rest.substr(split);
    torvane::CDiyXML model;
    const bool hasDiy = !diy.empty() && diy[0] != '!';  // "!": a card without Diy.dat
    if (!model.ReadDocuments(hasDiy ? std::optional(diy) : std::nullopt, table).ok()) return 0;
    if (model.records().size() != torvane::kDiyCardCount) std::abort();
    const std::string savedDiy = model.SerializeDiyDocument();
    const std::string savedTable = model.SerializeRecTable();
    torvane::CDiyXML reloaded;
    if (!reloaded.ReadDocuments(savedDiy, savedTable).ok()) std::abort();
    if (reloaded.SerializeDiyDocument() != savedDiy) std::abort();
    if (reloaded.SerializeRecTable() != savedTable) std::abort();
    return 0;
}
