#include "shell/application.h"

#include <unistd.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QIcon>
#include <QTimer>
#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

#include "base/command_line.h"
#include "base/outcome_telling.h"
#include "base/password_keeping.h"
#include "common/messages.h"
#include "service/login_dialog.h"
#include "service/session.h"
#include "shell/keyring_secret_store.h"
#include "shell/main_window.h"
#include "shell/message_box_sink.h"
#include "shell/qt_settings.h"
#include "shell/single_instance.h"
#include "torvane_version.h"
#include "ui/app_font.h"
#include "ui/desktop_look.h"
#include "ui/picture_ids.h"
#include "ui/pictures.h"
#include "ui/service_scheme.h"

namespace torvane {
namespace {

std::string ExecutablePath() {
    std::error_code error;
    const auto path = std::filesystem::read_symlink("/proc/self/exe", error);
    return error ? std::string("torvane") : path.string();
}

// The icon the desktop entry names, in the user's own icon theme, so that the menu shows it for a
// build that is not installed.
QString UserIconFile() {
    const std::filesystem::path data =
        std::filesystem::path(UserApplicationsFolder()).parent_path();
    return QString::fromStdString(
        (data / "icons/hicolor/scalable/apps" / kDesktopIconFileName).string());
}

int RunRegistration(StartAction action) {
    const std::string folder = UserApplicationsFolder();
    const QString icon = UserIconFile();
    QFile::remove(icon);
    if (action == StartAction::Unregister) return RemoveDesktopEntry(folder) ? 0 : 1;
    QDir().mkpath(QFileInfo(icon).path());
    // A copy out of the resources is read-only; the user's own files are not.
    if (QFile::copy(PicturePath(pic::kAppIcon), icon))
        QFile::setPermissions(icon, QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                        QFileDevice::ReadGroup | QFileDevice::ReadOther);
    return InstallDesktopEntry(folder, ExecutablePath()) ? 0 : 1;
}

// The web engine refuses to start as root unless its sandbox is off; the media backend that
// copes with machines without a sound card is GStreamer.
void PrepareEnvironment() {
    if (geteuid() == 0 && !qEnvironmentVariableIsSet("QTWEBENGINE_DISABLE_SANDBOX"))
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    if (!qEnvironmentVariableIsSet("QT_MEDIA_BACKEND")) qputenv("QT_MEDIA_BACKEND", "gstreamer");
}

}  // namespace

int RunTorvane(int argc, char** argv, const StartHooks& hooks) {
    const StartOptions options = ParseStartOptions(
        hooks.arguments.value_or(std::vector<std::string>(argv + 1, argv + argc)));
    if (!options.error.empty()) {
        std::cerr << options.error << '\n';
        return 2;
    }
    if (options.action == StartAction::ExitQuietly) return 0;
    if (options.action == StartAction::PrintVersion) {
        std::cout << "torvane " << kProgramVersion << '\n';
        return 0;
    }
    if (options.action == StartAction::PrintHelp) {
        std::cout << StartHelpText();
        return 0;
    }
    if (options.action != StartAction::Run) return RunRegistration(options.action);

    PrepareEnvironment();
    RegisterServiceScheme();
    QApplication app(argc, argv);
    QApplication::setOrganizationName(kSettingsOrganisation);
    QApplication::setApplicationName(kApplicationName);
    QApplication::setApplicationVersion(
        QString::fromUtf8(kProgramVersion.data(), static_cast<qsizetype>(kProgramVersion.size())));
    // Lets the desktop match the windows to the menu entry and its icon.
    QApplication::setDesktopFileName(QStringLiteral("io.torvane.Torvane"));
    QApplication::setWindowIcon(QIcon(PicturePath(pic::kAppIcon)));
    InstallAppFont();
    InstallKoreanQtTranslations();

    QtSettings settings;
    ServiceSession session;
    session.baseUrl = ResolveServiceUrl(options.serviceUrl, settings.GetString(kServiceUrlKey, ""));
    if (hooks.drawInstead) return hooks.drawInstead(session, settings);

    MessageBoxSink messages;
    // The sign-in keeps its password in the desktop's keyring, never in the settings file.
    KeyringSecretStore keyring(QStringLiteral("Torvane"));
    PasswordKeepingSettings signInSettings(settings, keyring);
    // A plain password of an earlier version that this desktop cannot keep: said once, ever.
    TellOutcome(messages, signInSettings.TakeUntold());
    SingleInstance instance;
    if (!instance.Acquire()) {
        // A backup opened from the file manager needs no notice: the running window offers it.
        if (options.backupFile.empty()) messages.Show(MessageKind::Information, kMsgAlreadyRunning);
        // The first start's window comes to the front through the local socket.
        instance.NotifyRunningInstance(QString::fromStdString(options.backupFile));
        return 1;
    }

    MainWindowSetup setup;
    setup.messages = &messages;
    setup.programFolder = QCoreApplication::applicationDirPath().toStdString();
    setup.session = std::move(session);
    setup.signIn = [&settings, &signInSettings, &messages, &hooks](ServiceSession& windowSession) {
        CLoginDlg dialog(windowSession, signInSettings, messages);
        messages.SetParent(&dialog);
        if (hooks.prepareSignIn) hooks.prepareSignIn(dialog);
        const int result = dialog.exec();
        messages.SetParent(nullptr);
        // The password the dialog saved, when this desktop cannot keep it: said once, ever.
        TellOutcome(messages, signInSettings.TakeUntold());
        settings.Sync();
        return SignInResult{result, dialog.BannerImagePath()};
    };
    CTorvaneDlg window(std::move(setup));
    if (!window.Create()) return 0;
    messages.SetParent(&window);
    QObject::connect(&instance, &SingleInstance::activationRequested, &window, [&window] {
        window.showNormal();
        window.raise();
        window.activateWindow();
    });
    QObject::connect(
        &instance, &SingleInstance::restoreRequested, &window,
        [&window](const QString& backup) { window.OfferRestore(backup.toStdString()); });
    window.show();
    if (!options.backupFile.empty()) {
        // Once the window is on screen: the restore's questions stand over it.
        QTimer::singleShot(0, &window,
                           [&window, &options] { window.OfferRestore(options.backupFile); });
    }
    return QApplication::exec();
}

}  // namespace torvane
