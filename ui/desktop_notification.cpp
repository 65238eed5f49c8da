#include "ui/desktop_notification.h"

#include <QApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QVariantMap>

namespace torvane {

bool ProgramInBackground() {
    return QApplication::activeWindow() == nullptr;
}

bool NotifyDesktop(const QString& summary, const QString& body) {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) return false;
    QDBusMessage call = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.Notifications"),
        QStringLiteral("/org/freedesktop/Notifications"),
        QStringLiteral("org.freedesktop.Notifications"), QStringLiteral("Notify"));
    // The desktop entry lets the notification show the program's name and icon and bring its
    // window back when clicked.
    QVariantMap hints;
    hints.insert(QStringLiteral("desktop-entry"), QStringLiteral("io.torvane.Torvane"));
    call << QStringLiteral("Torvane") << quint32(0) << QStringLiteral("io.torvane.Torvane")
         << summary << body << QStringList() << hints << qint32(-1);
    return bus.send(call);
}

}  // namespace torvane
