// A D-Bus session bus of the test's own, with nothing on it but what the test starts: no desktop
// service is started on demand, so a test sees exactly the stand-ins it asked for. It becomes the
// session bus of the test program (DBUS_SESSION_BUS_ADDRESS) and goes away with the object, its
// services with it. Make it before anything in the program first touches the session bus. Its
// socket lies in /tmp: a test's own temporary folder may be deeper than a socket path may be.
#pragma once

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDeadlineTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <list>

namespace torvane::test {

class PrivateBus {
  public:
    PrivateBus() {
        const QString config = folder_.path() + "/bus.conf";
        QFile file(config);
        if (!file.open(QIODevice::WriteOnly)) return;
        file.write(QStringLiteral("<!DOCTYPE busconfig PUBLIC \"-//freedesktop//DTD D-Bus Bus "
                                  "Configuration 1.0//EN\" "
                                  "\"http://www.freedesktop.org/standards/dbus/1.0/"
                                  "busconfig.dtd\"><busconfig><type>session</type>"
                                  "<listen>unix:tmpdir=/tmp</listen><policy context=\"default\">"
                                  "<allow send_destination=\"*\" eavesdrop=\"true\"/>"
                                  "<allow eavesdrop=\"true\"/><allow own=\"*\"/></policy>"
                                  "</busconfig>")
                       .toUtf8());
        file.close();
        daemon_.start(QStringLiteral("dbus-daemon"),
                      {"--config-file=" + config, "--nofork", "--print-address=1"});
        if (!daemon_.waitForReadyRead(10000)) return;
        address_ = QString::fromUtf8(daemon_.readLine()).trimmed();
        qputenv("DBUS_SESSION_BUS_ADDRESS", address_.toUtf8());
    }
    ~PrivateBus() {
        for (QProcess& service : services_) {
            service.terminate();
            if (!service.waitForFinished(3000)) service.kill();
            service.waitForFinished(1000);
        }
        daemon_.terminate();
        daemon_.waitForFinished(3000);
    }
    PrivateBus(const PrivateBus&) = delete;
    PrivateBus& operator=(const PrivateBus&) = delete;

    bool Running() const { return !address_.isEmpty(); }
    // The bus also stands for the system bus (DBUS_SYSTEM_BUS_ADDRESS): where the disk service
    // is looked for.
    void ServeAsSystemBus() const { qputenv("DBUS_SYSTEM_BUS_ADDRESS", address_.toUtf8()); }
    const QString& Address() const { return address_; }

    // Starts `program` as a service on this bus and waits until it owns `name`; false when it
    // did not within ten seconds.
    bool StartService(const QString& program, const QStringList& arguments, const QString& name) {
        Launch(program, arguments);
        return WaitForName(name);
    }

    // Starts `program` on this bus without waiting (to write to its standard input first).
    QProcess& Launch(const QString& program, const QStringList& arguments) {
        QProcess& service = services_.emplace_back();
        service.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        service.start(program, arguments);
        service.waitForStarted(5000);
        return service;
    }

    static bool WaitForName(const QString& name) {
        const QDeadlineTimer deadline(10000);
        QDBusConnectionInterface* bus = QDBusConnection::sessionBus().interface();
        while (!deadline.hasExpired()) {
            if (bus != nullptr && bus->isServiceRegistered(name)) return true;
            QThread::msleep(50);
        }
        return false;
    }

    // A mock of python3-dbusmock from one of its templates (or a template file's path).
    bool StartMock(const QString& templateName, const QString& name) {
        return StartService(QStringLiteral("/usr/bin/python3"),
                            {"-m", "dbusmock", "--template", templateName}, name);
    }

  private:
    QTemporaryDir folder_;
    QProcess daemon_;
    QString address_;
    std::list<QProcess> services_;
};

}  // namespace torvane::test
