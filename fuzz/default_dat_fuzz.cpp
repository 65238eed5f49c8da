// Default.dat's reader on any plain document, and its round trip: what a save writes of what was
// read, a load reads back unchanged.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "store/default_xml.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view document(reinterpret_cast<const char*>(data), size);
    torvane::CDefaultXML model;
    if (!model.ParseDocument(document).ok()) return 0;
    const std::string saved = model.SerializeDocument();
    torvane::CDefaultXML reloaded;
    // Whatever was read, what is saved of it must read back, and save alike again.
    if (!reloaded.ParseDocument(saved).ok()) std::abort();
    if (reloaded.SerializeDocument() != saved) std::abort();
    return 0;
}
