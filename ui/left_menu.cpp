#include "ui/left_menu.h"

#include <QPainter>

#include "ui/menu_definition.h"
#include "ui/pictures.h"

namespace torvane {
namespace {

// The column's layout: categories 36 pixels high from y 270, 7 pixels apart while closed; the
// open category's entries stack 21 pixels apart right under it.
constexpr int kMenuLeft = 2;
constexpr int kMenuRight = 201;
constexpr int kFirstCategoryTop = 270;
constexpr int kCategoryHeight = 36;
constexpr int kClosedCategoryStep = 43;
constexpr int kOpenCategoryStep = 33;
constexpr int kEntryStep = 21;
constexpr int kGapAfterCategory = 10;

}  // namespace

CLeftWebCatBtn::~CLeftWebCatBtn() = default;

void CLeftWebCatBtn::Draw(QPainter& painter) {
    if (hidden_) return;
    CImgButton::Draw(painter);
    if (!open_) return;
    for (const auto& entry : entries_) entry->Draw(painter);
}

CImgButton* CLeftWebCatBtn::HitTest(int x, int y) {
    if (hidden_) return nullptr;
    if (Contains(x, y)) return this;
    if (!open_) return nullptr;
    for (const auto& entry : entries_)
        if (CImgButton* hit = entry->HitTest(x, y)) return hit;
    return nullptr;
}

bool CLeftWebCatBtn::LoadFromResources(int offId, int onId, const QString& label) {
    CImgButton::LoadFromResources(offId, onId, label);
    return true;
}

bool CLeftWebCatBtn::LoadFromFiles(const QString& offPath, const QString& onPath,
                                   const QString& label) {
    CImgButton::LoadFromFiles(offPath, onPath, label);
    return true;
}

CLeftWebMenu::~CLeftWebMenu() = default;

bool CLeftWebMenu::LoadFromResources(int offId, int onId, const QString& label) {
    return BuildCategories(CImgButton::LoadFromResources(offId, onId, label));
}

bool CLeftWebMenu::LoadFromFiles(const QString& offPath, const QString& onPath,
                                 const QString& label) {
    return BuildCategories(CImgButton::LoadFromFiles(offPath, onPath, label));
}

bool CLeftWebMenu::BuildCategories(bool baseLoaded) {
    categories_.clear();
    topPicture_ = LoadPicture(kPictureTop);
    bottomPicture_ = LoadPicture(kPictureBottom);
    if (topPicture_.isNull() || bottomPicture_.isNull()) return false;

    const MenuDefinition definition = ParseMenuDefinition(definition_);
    int y = kFirstCategoryTop;
    for (const MenuCategoryDefinition& categoryDefinition : definition.categories) {
        auto category = std::make_unique<CLeftWebCatBtn>(
            parent_, categoryDefinition.id, 0, kMenuLeft, y, kMenuRight, y + kCategoryHeight);
        category->LoadFromResources(MenuPictureId(categoryDefinition.img),
                                    MenuPictureId(categoryDefinition.imgd), QString());
        for (const MenuEntryDefinition& entryDefinition : categoryDefinition.entries) {
            auto entry = std::make_unique<CImgButton>(parent_, entryDefinition.id, 0, kMenuLeft, y,
                                                      kMenuRight, y + kEntryStep);
            if (!entry->LoadFromResources(MenuPictureId(entryDefinition.img),
                                          MenuPictureId(entryDefinition.imgd),
                                          QString::fromStdString(entryDefinition.url)))
                return false;
            category->AddEntry(std::move(entry));
        }
        y += kClosedCategoryStep;
        categories_.push_back(std::move(category));
    }
    return baseLoaded;
}

void CLeftWebMenu::Draw(QPainter& painter) {
    if (hidden_) return;
    DrawPicture(painter, off_, Rect());
    if (!topPicture_.isNull())
        painter.drawPixmap(QRect(left_, top_, topPicture_.width() - 1, topPicture_.height() - 1),
                           topPicture_);
    for (const auto& category : categories_) category->Draw(painter);
    if (!bottomPicture_.isNull())
        painter.drawPixmap(QRect(left_, bottom_ - bottomPicture_.height(),
                                 bottomPicture_.width() - 1, bottomPicture_.height() - 1),
                           bottomPicture_);
}

CImgButton* CLeftWebMenu::HitTest(int x, int y) {
    for (const auto& category : categories_)
        if (CImgButton* hit = category->HitTest(x, y)) return hit;
    return nullptr;
}

void CLeftWebMenu::OpenCategory(int index) {
    if (index < 0 || index >= static_cast<int>(categories_.size())) return;
    if (categories_[index]->IsOpen()) return;
    int y = kFirstCategoryTop;
    for (int k = 0; k < static_cast<int>(categories_.size()); ++k) {
        CLeftWebCatBtn& category = *categories_[k];
        category.SetRect(kMenuLeft, y, kMenuRight, y + kCategoryHeight);
        const bool open = k == index;
        category.SetOpen(open);
        category.SetState(open ? 1 : 0);
        if (open) {
            y += kOpenCategoryStep;
            for (const auto& entry : category.Entries()) {
                entry->SetRect(kMenuLeft, y, kMenuRight, y + entry->OffPicture().height());
                y += kEntryStep;
            }
        }
        y += kGapAfterCategory + (open ? 0 : kOpenCategoryStep);
    }
    Repaint();
}

const CImgButton* CLeftWebMenu::FindEntry(unsigned id) const {
    for (const auto& category : categories_)
        for (const auto& entry : category->Entries())
            if (entry->Id() == id) return entry.get();
    return nullptr;
}

}  // namespace torvane
