#include "shell/default_pages.h"

#include <QComboBox>
#include <QLabel>
#include <QPalette>

#include "children/child_page.h"
#include "delivery/content_page.h"
#include "shell/dialog_job_runner.h"
#include "ui/picture_ids.h"
#include "ui/pictures.h"
#include "ui/player.h"
#include "update/update_page.h"

namespace torvane {
namespace {

constexpr QPoint kTitlePlace(20, 16);

// A white page with its title picture at the top left.
void ShowTitle(QWidget& page, int titlePicture) {
    page.setAutoFillBackground(true);
    QPalette palette = page.palette();
    palette.setColor(QPalette::Window, Qt::white);
    page.setPalette(palette);
    auto* title = new QLabel(&page);
    title->setObjectName("PageTitle");
    title->setPixmap(LoadPicture(titlePicture));
    title->move(kTitlePlace);
    title->adjustSize();
}

class TitleOnlyContentPage : public ContentPageBase {
  public:
    explicit TitleOnlyContentPage(QWidget* parent) : ContentPageBase(parent) {
        ShowTitle(*this, pic::kContentTitle);
    }
    void ResetForRemovedDevice() override {}
    void LoadForAttachedDevice() override {}
    void Refresh() override {}
    bool PlayableFilterSelected() const override { return false; }
    CDefaultXML* Database() override { return nullptr; }
    std::string DeviceSystemVersion() const override { return {}; }
    std::string DeviceFirmwareText() const override { return {}; }
    DeviceContentCounts AccountContentCounts() const override { return {}; }
};

class TitleOnlyUpdatePage : public UpdatePageBase {
  public:
    explicit TitleOnlyUpdatePage(QWidget* parent) : UpdatePageBase(parent) {
        ShowTitle(*this, pic::kUpdateTitle);
        DriveChooser()->move(kTitlePlace + QPoint(0, 40));
    }
    // Without a firmware list to fetch, device detection may choose a card at once.
    bool HasFirmwareList() const override { return true; }
    bool RequestFirmwareList() override { return true; }
    void SetDeviceVersions(const std::string&, const std::string&) override {}
};

class TitleOnlyChildPage : public ChildPageBase {
  public:
    explicit TitleOnlyChildPage(QWidget* parent) : ChildPageBase(parent) {
        ShowTitle(*this, pic::kChildTitle);
    }
    void ClearDeviceHeader() override {}
    void SetDeviceHeader(const DeviceHeader&) override {}
    void ReloadChildren() override {}
};

}  // namespace

PageFactory TitleOnlyPages() {
    return PageFactory{
        [](QWidget* parent, const ServiceSession&) { return new TitleOnlyContentPage(parent); },
        [](QWidget* parent, const ServiceSession&) { return new TitleOnlyUpdatePage(parent); },
        [](QWidget* parent, const ServiceSession&) { return new TitleOnlyChildPage(parent); },
    };
}

PageFactory DefaultPages(CTorvaneDlg& window) {
    PageFactory pages = TitleOnlyPages();
    pages.content = [&window](QWidget* parent, const ServiceSession& session) {
        ContentPageHost host;
        host.currentCard = [&window] { return window.Detector().CurrentCard(); };
        host.play = [&window](const std::string& source) {
            if (CTopMenu* top = window.TopMenu())
                top->Player()->Play(QString::fromStdString(source));
        };
        return new CSendContents(parent, session, window.Messages(), std::move(host));
    };
    pages.update = [&window](QWidget* parent, const ServiceSession& session) {
        return new CUpdateSystem(
            parent, session, window.Messages(),
            std::make_unique<DialogJobRunner>(session, window.Messages(), parent));
    };
    pages.child = [&window](QWidget* parent, const ServiceSession& session) {
        return new CManagerPrivate(parent, session, window.Messages());
    };
    return pages;
}

}  // namespace torvane
