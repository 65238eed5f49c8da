// Two measurements of the desktop app's main page, printed as text (a program, not a test):
//   - the longest stall of the user-interface thread (how late a 10 ms timer fires) while the
//     download dialog installs 200 files of 1 MiB from the local content service;
//   - the time of a tab switch on the content page with a catalogue of 2,000 contents and a card
//     of 1,000.
// Run offscreen: QT_QPA_PLATFORM=offscreen build/bench/content_page_measure
#include <httplib.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <thread>

#include "delivery/content_page.h"
#include "delivery/download_dialog.h"
#include "service/session.h"
#include "store/card.h"
#include "store/device_files.h"
#include "store/device_setup.h"
#include "tools/demo_service/answers.h"
#include "tools/demo_service/demo_service.h"

using namespace torvane;

namespace {

class QuietSink final : public IMessageSink {
  public:
    void Show(MessageKind, std::string_view text) override { std::cerr << text << '\n'; }
    bool Ask(MessageKind, std::string_view) override { return false; }
};

// Lateness of a 10 ms timer: the longest gap between two ticks, less the period.
class StallMeter {
  public:
    StallMeter() {
        timer_.setInterval(10);
        timer_.setTimerType(Qt::PreciseTimer);
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            const qint64 now = clock_.nsecsElapsed();
            if (last_ >= 0) worst_ = std::max(worst_, now - last_ - 10'000'000);
            last_ = now;
        });
        clock_.start();
        timer_.start();
    }
    double WorstMs() const { return static_cast<double>(worst_) / 1e6; }

  private:
    QTimer timer_;
    QElapsedTimer clock_;
    qint64 last_ = -1;
    qint64 worst_ = 0;
};

// The measure's own card must be read and written, or its figures are of something else.
void MustRead(const Status& card) {
    if (card.ok()) return;
    std::cerr << "the measure's card: " << card.message() << '\n';
    std::exit(1);
}

void MeasureInstallStall(const ServiceSession& session, const std::string& folder) {
    ContentRecord content;
    content.contentNo = "M9000";
    content.title = "bench";
    content.mainGroup = "music";
    content.subGroup = "single";
    for (int i = 1; i <= 200; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "%08d.mp3", 9000 + i);
        FileRecord file;
        file.name = name;
        file.rfidCardId = std::to_string(770000 + i);
        file.fileUrl = session.baseUrl + "/torvane/bench/" + name + "?mib=1";
        file.size = 1024 * 1024;
        content.files.push_back(file);
    }
    const std::string root = folder + "/stall-card";
    CreateEmptyDevice(root, "1.0", "larkspin");
    const auto card = std::make_shared<Card>(root);
    MustRead(card->LoadDatabase());
    QuietSink sink;
    CDownloadDlg dialog(DownloadJob(ContentInstallJob{{content}, card}), session, sink);
    QElapsedTimer elapsed;
    elapsed.start();
    StallMeter meter;
    dialog.exec();
    std::printf(
        "install of 200 x 1 MiB through the dialog: %.0f ms, %s; longest UI stall %.1f ms "
        "(goal < 50 ms)\n",
        static_cast<double>(elapsed.elapsed()),
        dialog.Outcome().addedContentNos.size() == 1 ? "installed" : "NOT installed",
        meter.WorstMs());
}

void MeasureTabSwitch(const std::string& folder) {
    // A service that lists 2,000 contents: 1,000 language, 1,000 music.
    std::vector<ContentRecord> listed;
    for (int i = 0; i < 2000; ++i) {
        ContentRecord c;
        char number[16];
        std::snprintf(number, sizeof number, "%c%04d", i < 1000 ? 'L' : 'M', i % 1000);
        c.contentNo = number;
        c.title = std::string("content ") + number;
        c.mainGroup = i < 1000 ? "language" : "music";
        c.subGroup = "single";
        c.date = "2027-12-31";
        c.status = "N";
        listed.push_back(c);
    }
    const std::string answer = demo::ContentsListXml(listed);
    httplib::Server server;
    server.Get(".*", [&](const httplib::Request&, httplib::Response& response) {
        response.set_content(answer, "text/xml");
    });
    const int port = server.bind_to_any_port("127.0.0.1");
    std::thread serving([&] { server.listen_after_bind(); });

    const std::string root = folder + "/tab-card";
    CreateEmptyDevice(root, "1.0", "larkspin");
    auto card = std::make_shared<Card>(root);
    MustRead(card->LoadDatabase());
    for (int i = 0; i < 1000; ++i) {
        ContentRecord c = listed[static_cast<std::size_t>(1000 + i)];
        card->database().Contents(Shelf::Music).push_back(c);
    }
    MustRead(card->database().Save());

    ServiceSession session;
    session.baseUrl = "http://127.0.0.1:" + std::to_string(port);
    session.userId = "bench";
    QuietSink sink;
    ContentPageHost host;
    host.currentCard = [card] { return card; };
    CSendContents page(nullptr, session, sink, std::move(host));
    page.show();
    page.LoadForAttachedDevice();
    QApplication::processEvents();
    double worst = 0;
    double total = 0;
    const int switches = 20;
    for (int i = 0; i < switches; ++i) {
        const ContentTab tab = i % 2 == 0 ? ContentTab::Music : ContentTab::Language;
        QElapsedTimer timer;
        timer.start();
        page.ClickWidget(CSendContents::kTabIds[static_cast<int>(tab)]);
        page.repaint();
        const double ms = static_cast<double>(timer.nsecsElapsed()) / 1e6;
        worst = std::max(worst, ms);
        total += ms;
    }
    std::printf(
        "tab switch, catalogue 2,000 / card 1,000: mean %.2f ms, worst %.2f ms (goal < 50 "
        "ms)\n",
        total / switches, worst);
    server.stop();
    serving.join();
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    ScratchFolder scratch("measure");
    demo::DemoService service;
    if (!service.Start(0)) {
        std::cerr << service.Error() << '\n';
        return 1;
    }
    ServiceSession session;
    session.baseUrl = service.BaseUrl();
    MeasureInstallStall(session, scratch.path());
    MeasureTabSwitch(scratch.path());
    return 0;
}
