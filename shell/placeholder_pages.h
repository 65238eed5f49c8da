// Stand-ins for the content, update and child name pages: empty windows with their names and ids
// that remember what the shell asked of them.
#pragma once

#include <QStringList>

#include "shell/pages.h"

namespace torvane {

class PlaceholderContentPage : public ContentPageBase {
  public:
    using ContentPageBase::ContentPageBase;
    void ResetForRemovedDevice() override { calls << "reset"; }
    void LoadForAttachedDevice() override { calls << "load"; }
    void Refresh() override { calls << "refresh"; }
    bool PlayableFilterSelected() const override { return playable; }
    CDefaultXML* Database() override { return nullptr; }
    std::string DeviceSystemVersion() const override { return {}; }
    std::string DeviceFirmwareText() const override { return {}; }
    DeviceContentCounts AccountContentCounts() const override { return {}; }

    QStringList calls;
    bool playable = false;
};

class PlaceholderUpdatePage : public UpdatePageBase {
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

    QStringList calls;
    bool hasList = false;
    bool requestSucceeds = true;
};

class PlaceholderChildPage : public ChildPageBase {
  public:
    using ChildPageBase::ChildPageBase;
    void ClearDeviceHeader() override { calls << "clear"; }
    void SetDeviceHeader(const DeviceHeader& header) override {
        calls << QString::fromStdString("header:" + header.drive);
    }
    void ReloadChildren() override { calls << "children"; }

    QStringList calls;
};

}  // namespace torvane
