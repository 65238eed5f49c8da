#include "ui/menu_definition.h"

#include <cstdlib>
#include <map>

#include "common/xml_sax.h"
#include "ui/picture_ids.h"

namespace torvane {
namespace {

// Builds the definition from the "cat" and "menu" elements; a menu entry's caption is its text.
class MenuReader final : public ISaxReader {
  public:
    explicit MenuReader(MenuDefinition& definition) : definition_(definition) {}

    void OnStart(std::string_view name, const SaxAttributes& attributes) override {
        currentEntry_ = nullptr;
        if (name == "cat") {
            MenuCategoryDefinition category;
            category.id = Number(attributes, "id");
            category.ctype = static_cast<int>(Number(attributes, "ctype"));
            category.title = Text(attributes, "t");
            category.img = Text(attributes, "img");
            category.imgd = Text(attributes, "imgd");
            definition_.categories.push_back(std::move(category));
        } else if (name == "menu" && !definition_.categories.empty()) {
            MenuEntryDefinition entry;
            entry.id = Number(attributes, "id");
            entry.mtype = static_cast<int>(Number(attributes, "mtype"));
            entry.img = Text(attributes, "img");
            entry.imgd = Text(attributes, "imgd");
            entry.url = Text(attributes, "url");
            auto& entries = definition_.categories.back().entries;
            entries.push_back(std::move(entry));
            currentEntry_ = &entries.back();
        }
    }
    void OnEnd(std::string_view) override { currentEntry_ = nullptr; }
    void OnText(std::string_view run) override {
        if (currentEntry_ != nullptr) currentEntry_->caption.append(run);
    }

  private:
    // The attribute as libxml2 gives it: the window itself turns "&#38;" back into "&".
    static std::string Text(const SaxAttributes& attributes, std::string_view name) {
        return std::string(attributes.Find(name).value_or(std::string_view()));
    }
    static unsigned Number(const SaxAttributes& attributes, std::string_view name) {
        const std::string text = Text(attributes, name);
        return static_cast<unsigned>(std::strtoul(text.c_str(), nullptr, 10));
    }

    MenuDefinition& definition_;
    MenuEntryDefinition* currentEntry_ = nullptr;
};

}  // namespace

MenuDefinition ParseMenuDefinition(std::string_view xml) {
    MenuDefinition definition;
    MenuReader reader(definition);
    const Status status = ParseXml(xml, reader);
    if (!status.ok()) {
        definition.categories.clear();
        definition.errorText = status.message();
    }
    return definition;
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
