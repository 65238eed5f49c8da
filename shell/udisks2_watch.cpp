#include "shell/udisks2_watch.h"

#include <QDBusConnection>

namespace torvane {
namespace {

const QString kService = QStringLiteral("org.freedesktop.UDisks2");

}  // namespace

UDisks2Watch::UDisks2Watch(QObject* parent) : QObject(parent) {
    QDBusConnection bus = QDBusConnection::systemBus();
    if (!bus.isConnected()) return;
    const QString manager = QStringLiteral("org.freedesktop.DBus.ObjectManager");
    watching_ = bus.connect(kService, QStringLiteral("/org/freedesktop/UDisks2"), manager,
                            QStringLiteral("InterfacesAdded"), this, SLOT(OnObjectsChanged())) &&
                bus.connect(kService, QStringLiteral("/org/freedesktop/UDisks2"), manager,
                            QStringLiteral("InterfacesRemoved"), this, SLOT(OnObjectsChanged()));
    // A mount or an unmount changes a file system's mount points, on any object.
    bus.connect(kService, QString(), QStringLiteral("org.freedesktop.DBus.Properties"),
                QStringLiteral("PropertiesChanged"), this, SLOT(OnPropertiesChanged(QString)));
}

void UDisks2Watch::OnObjectsChanged() {
    Q_EMIT volumesChanged();
}

void UDisks2Watch::OnPropertiesChanged(const QString& interface) {
    if (interface == QStringLiteral("org.freedesktop.UDisks2.Filesystem")) Q_EMIT volumesChanged();
}

}  // namespace torvane
