// Test doubles of the content, update and child name pages: empty windows that remember what the
// main window and the device detection asked of them.
#pragma once

#include <QStringList>

#include "shell/main_window.h"
#include "ui/page.h"

namespace torvane {

class RecordingContentPage : public ContentPageBase {
  public:
    using ContentPageBase::ContentPageBase;
    void ResetForRemovedDevice() override { calls << "reset"; }
    void LoadForAttachedDevice() override { calls << "load"; }
    void Refresh() override { calls << "refresh"; }
    bool PlayableFilterSelected() const override { return playable; }
    std::shared_ptr<Card> LoadedCard() const override { return nullptr; }
    std::string DeviceSystemVersion() const override { return {}; }
    std::string DeviceFirmwareText() const override { return {}; }

    QStringList calls;
    bool playable = false;
};

class RecordingUpdatePage : public UpdatePageBase {
  public:
    using UpdatePageBase::UpdatePageBase;
    bool HasFirmwareList() const override { return hasList; }
    bool RequestFirmwareList() override {
        calls << "request";
        hasList = requestSucceeds;
        return requestSucceeds;
    }
    void SetDeviceVersions(const std::string& content, const std::string& firmware) override {
        calls << QString::fromStdString("versions:" + content + "/" + firmware);
    }
    void OfferRestore(const std::string& archive) override {
        calls << QString::fromStdString("restore:" + archive);
    }
    // As a repair or a restore does once it wrote to the card.
    void WriteToCard() { CardChanged(); }

    QStringList calls;
    bool hasList = false;
    bool requestSucceeds = true;
};

class RecordingChildPage : public ChildPageBase {
  public:
    using ChildPageBase::ChildPageBase;
    void ClearDeviceHeader() override { calls << "clear"; }
    void SetDeviceHeader(const DeviceHeader& header) override {
        calls << QString::fromStdString("header:" + header.drive);
    }
    void ReloadChildren() override { calls << "children"; }

    QStringList calls;
};

inline PageFactory RecordingPages() {
    return PageFactory{
        [](QWidget* parent, const ServiceSession&) { return new RecordingContentPage(parent); },
        [](QWidget* parent, const ServiceSession&) { return new RecordingUpdatePage(parent); },
        [](QWidget* parent, const ServiceSession&) { return new RecordingChildPage(parent); },
    };
}

}  // namespace torvane
