// The left menu's definition: categories of shop pages, each with its entries, read from the XML
// text the program carries (root "xml", "cat" elements holding "menu" elements).
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace torvane {

struct MenuEntryDefinition {
    unsigned id = 0;
    int mtype = 0;
    std::string img;  // picture name, looked up in the menu's picture table
    std::string imgd;
    // "%s" stands for the signed-in identifier; empty: handled by the window. An "&amp;" of the
    // definition arrives as the reference "&#38;", which the window strips to "&".
    std::string url;
    std::string caption;
};

struct MenuCategoryDefinition {
    unsigned id = 0;
    int ctype = 0;
    std::string title;
    std::string img;   // closed
    std::string imgd;  // open
    std::vector<MenuEntryDefinition> entries;
};

struct MenuDefinition {
    std::vector<MenuCategoryDefinition> categories;
    std::string errorText;  // the parser's message; empty when the text was well formed
};

// Parses the definition (UTF-8, a byte order mark allowed). A "menu" before the first "cat" is
// ignored. On a parse error the categories are dropped and errorText says why.
MenuDefinition ParseMenuDefinition(std::string_view xml);

// The picture id a menu picture name stands for; 0 (no picture) for an unknown or empty name.
int MenuPictureId(std::string_view name);

}  // namespace torvane
