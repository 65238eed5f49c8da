// The signed-in main window over recording pages that the window tests share.
#pragma once

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <memory>

#include "service/session.h"
#include "shell/main_window.h"
#include "tests/shell/recording_pages.h"
#include "tests/support/fake_media_engine.h"
#include "tests/support/qt_texts.h"
#include "tests/support/recording_sink.h"

namespace torvane::test {

class WindowFixture {
  protected:
    // A fresh temporary folder, no device, "kim" signed in, no simulated cards.
    void Reset() {
        window_.reset();
        temp_ = std::make_unique<QTemporaryDir>();
        sink_.Clear();
        qputenv("TORVANE_DRIVES", "");
    }

    std::unique_ptr<QTemporaryDir> temp_;
    RecordingSink sink_;
    std::unique_ptr<CTorvaneDlg> window_;

    // A signed-in window over recording pages, drives from TORVANE_DRIVES.
    CTorvaneDlg& MakeWindow(int signInResult = 200) {
        MainWindowSetup setup;
        setup.messages = &sink_;
        setup.engine = std::make_unique<FakeMediaEngine>();
        setup.tempFolder = temp_->path().toStdString();
        setup.programFolder = temp_->path().toStdString();
        setup.session.baseUrl = "http://127.0.0.1:9";
        setup.session.userId = "kim";
        setup.signIn = [signInResult](ServiceSession&) { return SignInResult{signInResult, {}}; };
        setup.pages = RecordingPages();
        window_ = std::make_unique<CTorvaneDlg>(std::move(setup));
        return *window_;
    }
    RecordingContentPage* Content() {
        return static_cast<RecordingContentPage*>(window_->ContentPage());
    }
    RecordingUpdatePage* Update() {
        return static_cast<RecordingUpdatePage*>(window_->UpdatePage());
    }
    RecordingChildPage* Child() { return static_cast<RecordingChildPage*>(window_->ChildPage()); }
    QString MakeCard(const QString& name, bool withDatabase) {
        const QString path = temp_->path() + "/" + name;
        QDir().mkpath(path);
        if (withDatabase) {
            QFile database(path + "/Default.dat");
            database.open(QIODevice::WriteOnly);
            database.write("db");
        }
        return path;
    }
};

}  // namespace torvane::test
