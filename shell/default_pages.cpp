#include "shell/default_pages.h"

#include "children/child_page.h"
#include "delivery/content_page.h"
#include "shell/dialog_job_runner.h"
#include "ui/player.h"
#include "update/update_page.h"

namespace torvane {

PageFactory DefaultPages(CTorvaneDlg& window) {
    PageFactory pages;
    pages.content = [&window](QWidget* parent, const ServiceSession& session) {
        ContentPageHost host;
        host.currentCard = [&window] { return window.Detector().CurrentCard(); };
        host.play = [&window](const std::string& source) {
            if (CTopMenu* top = window.TopMenu())
                top->Player()->Play(QString::fromStdString(source));
        };
        host.cardWritten = [&window] { window.OfferEjectAfterWrite(); };
        host.bannerImagePath = window.BannerImagePath();
        return new CSendContents(parent, session, window.Messages(), std::move(host));
    };
    pages.update = [&window](QWidget* parent, const ServiceSession& session) {
        return new CUpdateSystem(
            parent, session, window.Messages(),
            std::make_unique<DialogJobRunner>(
                session, window.Messages(), parent, [&window] { window.OfferEjectAfterWrite(); },
                window.BannerImagePath()));
    };
    pages.child = [&window](QWidget* parent, const ServiceSession& session) {
        return new CManagerPrivate(parent, session, window.Messages());
    };
    return pages;
}

}  // namespace torvane
