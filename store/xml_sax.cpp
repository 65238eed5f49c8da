#include "store/xml_sax.h"

#include <libxml/parser.h>

#include <limits>
#include <memory>

#include "store/text_codec.h"

namespace torvane {
namespace {

constexpr std::size_t kMaxErrorLength = 1023;
constexpr std::size_t kChunkBytes = 64 * 1024;

std::string_view View(const xmlChar* text) {
    return text ? std::string_view(reinterpret_cast<const char*>(text)) : std::string_view();
}

struct ParseState {
    ISaxReader* reader;
    std::string error;
};

ParseState& StateOf(void* context) {
    return *static_cast<ParseState*>(context);
}

void StartElement(void* context, const xmlChar* localName, const xmlChar*, const xmlChar*, int,
                  const xmlChar**, int attributeCount, int, const xmlChar** attributes) {
    StateOf(context).reader->OnStart(View(localName), SaxAttributes(attributes, attributeCount));
}

void EndElement(void* context, const xmlChar* localName, const xmlChar*, const xmlChar*) {
    StateOf(context).reader->OnEnd(View(localName));
}

void Characters(void* context, const xmlChar* text, int length) {
    StateOf(context).reader->OnText(
        std::string_view(reinterpret_cast<const char*>(text), static_cast<std::size_t>(length)));
}

void StructuredError(void* context, xmlErrorPtr error) {
    ParseState& state = StateOf(context);
    if (!error || error->level < XML_ERR_ERROR || !state.error.empty()) return;
    std::string message = error->message ? error->message : "XML parse error";
    while (!message.empty() && (message.back() == '\n' || message.back() == '\r'))
        message.pop_back();
    // Keep the line and column: the reason is all a caller sees of a damaged document.
    state.error = message + " (line " + std::to_string(error->line) + ", column " +
                  std::to_string(error->int2) + ")";
    if (state.error.size() > kMaxErrorLength) state.error.resize(kMaxErrorLength);
}

struct ContextDeleter {
    void operator()(xmlParserCtxt* context) const { xmlFreeParserCtxt(context); }
};

}  // namespace

SaxAttribute SaxAttributes::At(int index) const {
    const unsigned char** attribute = raw_ + 5 * index;
    const auto* begin = reinterpret_cast<const char*>(attribute[3]);
    const auto* end = reinterpret_cast<const char*>(attribute[4]);
    return {View(attribute[0]), std::string_view(begin, static_cast<std::size_t>(end - begin))};
}

std::optional<std::string_view> SaxAttributes::Find(std::string_view name) const {
    for (int i = 0; i < count_; ++i) {
        const SaxAttribute attribute = At(i);
        if (attribute.name == name) return attribute.value;
    }
    return std::nullopt;
}

std::string SaxAttributes::DecodeAmpersands(std::string_view value) {
    std::string decoded;
    decoded.reserve(value.size());
    for (std::size_t i = 0; i < value.size();) {
        if (value.compare(i, 5, "&#38;") == 0) {
            decoded += '&';
            i += 5;
        } else {
            decoded += value[i++];
        }
    }
    return decoded;
}

Status ParseXml(std::string_view text, ISaxReader& reader, const SaxOptions& options) {
    // libxml2's global tables are set up once, before any thread parses.
    static const bool initialised = (xmlInitParser(), true);
    (void)initialised;
    const std::string subject(options.subject);
    if (text.size() > static_cast<std::size_t>(std::numeric_limits<int>::max()))
        return Status::Failure(subject + " too large");

    ParseState state{&reader, {}};
    xmlSAXHandler handler{};
    handler.initialized = XML_SAX2_MAGIC;
    handler.startElementNs = StartElement;
    handler.endElementNs = EndElement;
    handler.characters = Characters;
    handler.cdataBlock = Characters;
    handler.serror = StructuredError;
    std::unique_ptr<xmlParserCtxt, ContextDeleter> context(
        xmlCreatePushParserCtxt(&handler, &state, nullptr, 0, nullptr));
    if (!context) return Status::Failure("XML parser could not be created");
    // No network, no external entities: the document is read as it is.
    int flags = XML_PARSE_NONET | XML_PARSE_NOWARNING;
    if (options.ignoreDeclaredEncoding) flags |= XML_PARSE_IGNORE_ENC;
    xmlCtxtUseOptions(context.get(), flags);
    // Fed in pieces: libxml2 refuses a single chunk of more than 10 MB ("Huge input lookup"),
    // and a card with many contents has a larger database than that.
    int stopped = 0;
    for (std::string_view rest = text; !rest.empty() && stopped == 0;) {
        const std::string_view piece = rest.substr(0, kChunkBytes);
        rest.remove_prefix(piece.size());
        stopped = xmlParseChunk(context.get(), piece.data(), static_cast<int>(piece.size()), 0);
    }
    if (stopped == 0) stopped = xmlParseChunk(context.get(), nullptr, 0, 1);
    // A byte the declared encoding cannot decode stops the parser without an error of the
    // document's own; whatever made it stop, what was read up to there is not the document.
    if (state.error.empty() && (stopped != 0 || !context->wellFormed))
        state.error = subject + " is not well formed";
    return state.error.empty() ? Status::Ok() : Status::Failure(std::move(state.error));
}

Status ParseDeviceDocument(std::string_view cp949Document, ISaxReader& reader) {
    const auto nul = cp949Document.find('\0');
    if (nul != std::string_view::npos) cp949Document = cp949Document.substr(0, nul);
    SaxOptions options;
    options.ignoreDeclaredEncoding = true;
    return ParseXml(Cp949ToUtf8(cp949Document), reader, options);
}

}  // namespace torvane
