// The picture menu at the main window's left: a column of categories of shop pages, at most one
// of them open with its entries stacked under it. The main window dispatches a click by the id of
// the widget hit: a category id opens it, an entry id opens its page.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "ui/image_widgets.h"
#include "ui/picture_ids.h"

namespace torvane {

// One category; when open it draws its open picture and its entries under it.
class CLeftWebCatBtn : public CImgButton {
  public:
    using CImgButton::CImgButton;
    ~CLeftWebCatBtn() override;

    void Draw(QPainter& painter) override;
    CImgButton* HitTest(int x, int y) override;
    // The base loading; a category without pictures still takes its place in the column.
    bool LoadFromResources(int offId, int onId, const QString& label) override;
    bool LoadFromFiles(const QString& offPath, const QString& onPath,
                       const QString& label) override;

    void AddEntry(std::unique_ptr<CImgButton> entry) { entries_.push_back(std::move(entry)); }
    const std::vector<std::unique_ptr<CImgButton>>& Entries() const { return entries_; }
    bool IsOpen() const { return open_; }
    void SetOpen(bool open) { open_ = open; }

  private:
    std::vector<std::unique_ptr<CImgButton>> entries_;
    bool open_ = false;
};

class CLeftWebMenu : public CImgButton {
  public:
    static constexpr int kPictureBase = pic::kLeftMenu;
    static constexpr int kPictureTop = pic::kMenuTop;
    static constexpr int kPictureBottom = pic::kMenuBottom;
    static constexpr unsigned kFirstCategoryId = 1000;
    static constexpr unsigned kLastCategoryId = 1999;

    using CImgButton::CImgButton;
    ~CLeftWebMenu() override;

    // The definition text the menu is built from (UTF-8 XML); set before loading.
    void SetDefinition(std::string definition) { definition_ = std::move(definition); }

    // Builds the menu: the base picture `offId`, the top and bottom pictures, then a category
    // widget per category of the definition with its entries. False when the top or bottom
    // picture or an entry's picture is missing (the categories built so far stay).
    bool LoadFromResources(int offId, int onId, const QString& label) override;
    // The same with the base picture from a file.
    bool LoadFromFiles(const QString& offPath, const QString& onPath,
                       const QString& label) override;

    void Draw(QPainter& painter) override;
    // The first category (or open category's entry) hit; the menu's own area answers nothing.
    CImgButton* HitTest(int x, int y) override;

    // Opens category `index`, closing the others, and lays the column out again. Nothing when
    // the index is out of range or the category is open already.
    void OpenCategory(int index);

    const std::vector<std::unique_ptr<CLeftWebCatBtn>>& Categories() const { return categories_; }
    // The entry with this id, or null.
    const CImgButton* FindEntry(unsigned id) const;

  private:
    bool BuildCategories(bool baseLoaded);

    std::string definition_;
    QPixmap topPicture_;
    QPixmap bottomPicture_;
    std::vector<std::unique_ptr<CLeftWebCatBtn>> categories_;
};

}  // namespace torvane
