// The saved password against a real keyring daemon (GNOME Keyring, headless) on a private session
// bus: moved out of an old settings file into the keyring, read back, erased; and a session
// without a keyring keeps no password anywhere.
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>

#include "base/password_keeping.h"
#include "common/messages.h"
#include "shell/keyring_secret_store.h"
#include "shell/qt_settings.h"
#include "tests/support/private_bus.h"
#include "tests/support/recording_sink.h"

namespace torvane {

class KeyringTest : public QObject {
    Q_OBJECT

    std::unique_ptr<test::PrivateBus> bus_;
    QTemporaryDir folder_;

    // A settings file as an earlier version left it: the password in plain text.
    QString OldSettingsFile() {
        const QString path = folder_.path() + "/Torvane.conf";
        QtSettings old(path);
        old.SetInt(kRememberIdKey, 1);
        old.SetInt(kRememberPasswordKey, 1);
        old.SetString(kSavedIdKey, "demo");
        old.SetString(kSavedPasswordKey, "demo1234");
        old.Sync();
        return path;
    }
    static QByteArray FileBytes(const QString& path) {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

  private Q_SLOTS:
    void initTestCase() {
        bus_ = std::make_unique<test::PrivateBus>();
        QVERIFY(bus_->Running());
    }
    void cleanupTestCase() { bus_.reset(); }

    // First, while nothing answers for the Secret Service.
    void withoutAKeyringThePasswordIsDropped() {
        const QString path = OldSettingsFile();
        std::vector<Message> told;
        {
            QtSettings file(path);
            KeyringSecretStore keyring(QStringLiteral("TorvaneTest"));
            QVERIFY(!keyring.Available());
            PasswordKeepingSettings settings(file, keyring);
            settings.SetString(kSavedPasswordKey, "demo1234");
            QCOMPARE(settings.GetString(kSavedPasswordKey, ""), std::string());
            told = settings.TakeUntold().notes();
        }
        QVERIFY(!FileBytes(path).contains("demo1234"));
        QCOMPARE(told, std::vector<Message>{Say(MessageId::NoKeyring)});
        QFile::remove(path);
    }

    void aKeyringDaemonKeepsThePassword() {
        // Unlocked with a password on its standard input, as a desktop session's login does.
        QProcess& daemon = bus_->Launch(QStringLiteral("gnome-keyring-daemon"),
                                        {"--foreground", "--components=secrets", "--unlock"});
        daemon.write("session-login");
        daemon.waitForBytesWritten(5000);
        daemon.closeWriteChannel();
        QVERIFY(test::PrivateBus::WaitForName(QStringLiteral("org.freedesktop.secrets")));

        const QString path = OldSettingsFile();
        std::vector<Message> told;
        {
            QtSettings file(path);
            KeyringSecretStore keyring(QStringLiteral("TorvaneTest"));
            QVERIFY(keyring.Available());
            PasswordKeepingSettings settings(file, keyring);
            QCOMPARE(settings.GetString(kSavedPasswordKey, ""), std::string("demo1234"));
            file.Sync();
            QVERIFY(!FileBytes(path).contains("demo1234"));

            settings.SetString(kSavedPasswordKey, "newer5678");
            QCOMPARE(keyring.Read("demo"), std::optional<std::string>("newer5678"));
            settings.SetString(kSavedPasswordKey, "");
            QCOMPARE(keyring.Read("demo"), std::nullopt);
            told = settings.TakeUntold().notes();
        }
        QVERIFY(!FileBytes(path).contains("5678"));
        QVERIFY(told.empty());
    }
};

}  // namespace torvane

QTEST_MAIN(torvane::KeyringTest)
#include "keyring_test.moc"
