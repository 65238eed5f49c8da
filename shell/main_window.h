// The main window: a fixed 956 x 763 window without a standard frame, drawn from pictures. It
// asks for the sign-in before anything else, owns every widget and page for the whole run,
// dispatches clicks on its picture widgets by id, lets the user drag it by the top bar, and runs
// the drive poll, the device timers and the player clock.
#pragma once

#include <QPixmap>
#include <QPoint>
#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "base/drive_detector.h"
#include "base/message_sink.h"
#include "service/session.h"
#include "ui/main_window_ids.h"
#include "ui/page.h"
#include "ui/player.h"

class QPushButton;

namespace torvane {

class CLeftWebMenu;
class CWebView;
class HelpDialog;
class UDisks2Volumes;
class VolumeDriveLister;
class PictureKeyboard;

// How the sign-in ended, and the banner picture it fetched (the window deletes it when it closes;
// empty: none).
struct SignInResult {
    int code = 0;
    std::string bannerImagePath;
};

// How the main window makes its pages; each maker gets the page's parent and the window's service
// session, which lives as long as the window.
struct PageFactory {
    std::function<ContentPageBase*(QWidget*, const ServiceSession&)> content;
    std::function<UpdatePageBase*(QWidget*, const ServiceSession&)> update;
    std::function<ChildPageBase*(QWidget*, const ServiceSession&)> child;
};

// What the main window is given; tests replace the drives, the sound engine and the pages.
struct MainWindowSetup {
    IMessageSink* messages = nullptr;      // required
    IDriveLister* drives = nullptr;        // null: the system's removable drives
    std::unique_ptr<IMediaEngine> engine;  // null: the platform's media player
    PageFactory pages;                     // empty makers: pages that show their titles
    std::string tempFolder;                // "tmp.dat" and the home page; empty: GetTempFolder()
    std::string programFolder;             // where "HomeBG.jpg" is shipped
    // The program's one service session: its address is the shop's and the notices' host; the
    // sign-in fills the rest. The window keeps it for its whole run.
    ServiceSession session;
    // Runs the sign-in on the window's session; code 200 lets the window go on.
    std::function<SignInResult(ServiceSession&)> signIn;
};

class CTorvaneDlg : public QWidget, public IPlayLCDEvent, private IDriveDetectionHost {
    Q_OBJECT
  public:
    static constexpr int kWidth = 956;
    static constexpr int kHeight = 763;
    static constexpr int kSignedIn = 200;
    static constexpr int kContentPageId = 1001;
    static constexpr int kUpdatePageId = 1002;
    static constexpr int kChildPageId = 1003;
    static constexpr int kWebViewId = 1000;

    explicit CTorvaneDlg(MainWindowSetup setup, QWidget* parent = nullptr);
    ~CTorvaneDlg() override;

    // Signs in, then builds the widgets, the pages and the home page and starts the drive poll.
    // False when the sign-in did not succeed: the program ends without showing the window.
    // "tmp.dat" gets the window's id when the window is shown, and again whenever the native
    // window is made anew (the web view may make the desktop recreate it), so that a second
    // start always names a window that exists.
    bool Create();

    // A click on the widget with this id (a MainWindowId or a menu definition's id).
    void DispatchClick(unsigned id);
    void DispatchClick(MainWindowId id) { DispatchClick(IdOf(id)); }

    // Opens the update page's card care and offers to restore `archive` (a backup the parent
    // opened from the file manager).
    void OfferRestore(const std::string& archive);

    // Makes the chooser's entry the device, mounting its card first when it is not yet.
    void ChooseEntry(int index);
    // "카드 안전하게 꺼내기": flushes, unmounts and powers off the chosen card through the disk
    // service and says when it may be pulled; refused while a job runs.
    void EjectCard();
    QPushButton* EjectButton() const { return ejectButton_; }
    // A job wrote to the card: once every dialog over the window has closed (the job's own last
    // message first), a card the disk service can take out is offered to be taken out now.
    void OfferEjectAfterWrite();
    // The banner picture the sign-in loaded (empty: none); the download dialog draws it too.
    const std::string& BannerImagePath() const { return bannerImagePath_; }
    // F1: the short help, with the About box behind its button.
    void ShowHelp();
    HelpDialog* Help() const { return help_; }

    // One poll of the removable drives (the one-second timer's work).
    void PollDrives() { detector_->Poll(); }

    QWidget* CurrentPage() const { return current_; }
    CWebView* WebView() const { return webView_; }
    ContentPageBase* ContentPage() const { return contentPage_; }
    UpdatePageBase* UpdatePage() const { return updatePage_; }
    ChildPageBase* ChildPage() const { return childPage_; }
    CTopMenu* TopMenu() const { return topMenu_.get(); }
    CLeftWebMenu* LeftMenu() const { return leftMenu_.get(); }
    CImgButton* ContentButton() const { return contentButton_.get(); }
    CImgButton* UpdateButton() const { return updateButton_.get(); }
    CImgButton* Hovered() const { return hover_.Hovered(); }
    const DriveDetector& Detector() const { return *detector_; }
    const QString& HomeAddress() const { return homeAddress_; }
    const ServiceSession& Session() const { return setup_.session; }
    IMessageSink& Messages() const { return *setup_.messages; }
    bool PlayerClockRunning() const { return playerClock_.isActive(); }

    // IPlayLCDEvent: the player clock follows the play state.
    void OnPlayStopped() override;
    void OnPlayStarted() override;
    void OnPlayPaused() override;

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    // IDriveDetectionHost
    bool EnsureFirmwareList() override;
    void ClearDeviceVersions() override;
    void StartRemovedTimer() override;
    void StartAttachedTimer() override;
    void ChooserChanged() override;

    bool CreateWidgets();
    // The pictures the keyboard reaches, in the order the window reads.
    std::vector<CImgButton*> KeyboardChain() const;
    bool CreatePages();
    bool BuildHomePage();
    void WriteHomePictureIfMissing();
    // Brings `page` in front of the web view (the web view itself: only hides the page in
    // front); hides the player when another page was in front and `hidePlayer` is set.
    void BringToFront(QWidget* page, bool hidePlayer);
    void OpenMenuEntry(unsigned id);
    void OnDeviceRemoved();
    // The card the chooser has chosen (the device, else a drive without its database).
    std::string ChosenDrive() const;
    void UpdateEjectButton();
    void OnDeviceAttached();
    // Reads the current card again into the pages (after it was attached, or written to).
    void ReloadCard();
    // Copies of the parent's recordings that a cut-off reset left in the data folder: asked
    // about when a card comes, and put back onto it on a Yes.
    void OfferWaitingPutBacks();
    // Starts `timer` again instead of handling the card now, while a modal window is up.
    bool DeferWhileModal(QTimer& timer);
    void AskToEject();
    void OnPlayerClock();
    void UpdateHover(const QPoint& point);
    void Say(MessageKind kind, std::string_view text);
    // Writes the id of the window as the desktop knows it, once there is one.
    void WriteShownWindowId();
    void ShutDown();

    MainWindowSetup setup_;
    std::string bannerImagePath_;  // the sign-in's banner picture, deleted at shut-down
    std::unique_ptr<UDisks2Volumes> ownVolumes_;
    std::unique_ptr<IDriveLister> ownLister_;
    VolumeDriveLister* volumeLister_ = nullptr;  // ownLister_ when the disk service is asked
    std::unique_ptr<DriveDetector> detector_;

    std::unique_ptr<CTopMenu> topMenu_;
    std::unique_ptr<CLeftWebMenu> leftMenu_;
    std::unique_ptr<CImgButton> contentButton_;
    std::unique_ptr<CImgButton> updateButton_;
    CHoverTracker hover_;
    PictureKeyboard* keyboard_ = nullptr;  // owned by the window as its child object
    QPixmap frameTop_, frameLeft_, frameRight_, frameBottom_;

    CWebView* webView_ = nullptr;
    ContentPageBase* contentPage_ = nullptr;
    UpdatePageBase* updatePage_ = nullptr;
    ChildPageBase* childPage_ = nullptr;
    QWidget* current_ = nullptr;
    QPushButton* ejectButton_ = nullptr;  // shown while the chosen card is a disk service volume
    HelpDialog* help_ = nullptr;          // made on the first F1, a child of the window
    std::string ejectedDrive_;            // taken out by the eject action: no removal message
    QString homeAddress_;

    QTimer pollTimer_;        // 10: drive poll, every second
    QTimer removedTimer_;     // 11: one-shot, the device went away
    QTimer attachedTimer_;    // 12: one-shot, a device was chosen
    QTimer playerClock_;      // 13: the player's title, time and progress while sound plays
    QTimer ejectOfferTimer_;  // one-shot: the offer to take the card out after a job wrote

    QPoint lastMouse_;
    bool dragging_ = false;
    bool draggingVolume_ = false;
    bool movingWindow_ = false;
    QPoint windowGrab_;
    QPointer<QWindow> watchedWindow_;  // whose native surface "tmp.dat" names
    bool signedIn_ = false;
    bool shutDown_ = false;
};

}  // namespace torvane
