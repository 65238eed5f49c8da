#include "ui/menu_definition.h"

#include <libxml/parser.h>

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <map>

#include "ui/picture_ids.h"

namespace torvane {
namespace {

struct ParseState {
    MenuDefinition definition;
    MenuEntryDefinition* currentEntry = nullptr;
};

std::string AttributeText(const xmlChar** attributes, int count, const char* name) {
    // Five pointers per attribute: local name, prefix, URI, value start, value end.
    for (int i = 0; i < count; ++i) {
        const xmlChar** attribute = attributes + i * 5;
        if (std::strcmp(reinterpret_cast<const char*>(attribute[0]), name) == 0)
            return std::string(reinterpret_cast<const char*>(attribute[3]),
                               reinterpret_cast<const char*>(attribute[4]));
    }
    return {};
}

unsigned AttributeNumber(const xmlChar** attributes, int count, const char* name) {
    const std::string text = AttributeText(attributes, count, name);
    return static_cast<unsigned>(std::strtoul(text.c_str(), nullptr, 10));
}

void OnStartElement(void* context, const xmlChar* localName, const xmlChar*, const xmlChar*, int,
                    const xmlChar**, int attributeCount, int, const xmlChar** attributes) {
    auto& state = *static_cast<ParseState*>(context);
    const std::string_view name(reinterpret_cast<const char*>(localName));
    state.currentEntry = nullptr;
    if (name == "cat") {
        MenuCategoryDefinition category;
        category.id = AttributeNumber(attributes, attributeCount, "id");
        category.ctype = static_cast<int>(AttributeNumber(attributes, attributeCount, "ctype"));
        category.title = AttributeText(attributes, attributeCount, "t");
        category.img = AttributeText(attributes, attributeCount, "img");
        category.imgd = AttributeText(attributes, attributeCount, "imgd");
        state.definition.categories.push_back(std::move(category));
    } else if (name == "menu" && !state.definition.categories.empty()) {
        MenuEntryDefinition entry;
        entry.id = AttributeNumber(attributes, attributeCount, "id");
        entry.mtype = static_cast<int>(AttributeNumber(attributes, attributeCount, "mtype"));
        entry.img = AttributeText(attributes, attributeCount, "img");
        entry.imgd = AttributeText(attributes, attributeCount, "imgd");
        entry.url = AttributeText(attributes, attributeCount, "url");
        auto& entries = state.definition.categories.back().entries;
        entries.push_back(std::move(entry));
        state.currentEntry = &entries.back();
    }
}

void OnEndElement(void* context, const xmlChar*, const xmlChar*, const xmlChar*) {
    static_cast<ParseState*>(context)->currentEntry = nullptr;
}

void OnCharacters(void* context, const xmlChar* text, int length) {
    auto& state = *static_cast<ParseState*>(context);
    if (state.currentEntry != nullptr)
        state.currentEntry->caption.append(reinterpret_cast<const char*>(text), length);
}

void OnError(void* context, const char* format, ...) {
    auto& state = *static_cast<ParseState*>(context);
    char message[1024];
    va_list arguments;
    va_start(arguments, format);
    std::vsnprintf(message, sizeof message, format, arguments);
    va_end(arguments);
    if (state.definition.errorText.empty()) state.definition.errorText = message;
}

}  // namespace

MenuDefinition ParseMenuDefinition(std::string_view xml) {
    ParseState state;
    xmlSAXHandler handler{};
    handler.initialized = XML_SAX2_MAGIC;
    handler.startElementNs = OnStartElement;
    handler.endElementNs = OnEndElement;
    handler.characters = OnCharacters;
    handler.error = OnError;
    handler.fatalError = OnError;

    xmlParserCtxtPtr parser = xmlCreatePushParserCtxt(&handler, &state, nullptr, 0, nullptr);
    if (parser == nullptr) {
        state.definition.errorText = "the XML parser could not be created";
        return state.definition;
    }
    xmlParseChunk(parser, xml.data(), static_cast<int>(xml.size()), 0);
    xmlParseChunk(parser, nullptr, 0, 1);
    xmlFreeParserCtxt(parser);
    if (!state.definition.errorText.empty()) state.definition.categories.clear();
    return state.definition;
}

int MenuPictureId(std::string_view name) {
    static const std::map<std::string_view, int> kPictures = {
        {"left_menu_01.jpg", pic::kMenuMyPage},       {"left_menu_0101.jpg", pic::kMenuPrivate},
        {"left_menu_0102.jpg", pic::kMenuOrders},     {"left_menu_0103.jpg", pic::kMenuCart},
        {"left_menu_06.jpg", pic::kMenuMoreContents}, {"left_menu_0601.jpg", pic::kMenuLanguage},
        {"left_menu_0602.jpg", pic::kMenuSongs},      {"left_menu_0603.jpg", pic::kMenuStories},
        {"left_menu_0604.jpg", pic::kMenuBooks},      {"left_menu_0605.jpg", pic::kMenuCards},
        {"left_menu_0606.jpg", pic::kMenuSpecial},
    };
    const auto found = kPictures.find(name);
    return found == kPictures.end() ? 0 : found->second;
}

}  // namespace torvane
