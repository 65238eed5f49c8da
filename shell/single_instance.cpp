#include "shell/single_instance.h"

#include <unistd.h>

#include <QDir>
#include <QLocalSocket>
#include <QStandardPaths>
#include <memory>

namespace torvane {
namespace {

constexpr QByteArrayView kActivate = "activate\n";
constexpr QByteArrayView kRestore = "restore ";

QString LockFolder() {
    const QString runtime = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    return runtime.isEmpty() ? QDir::tempPath() : runtime;
}

}  // namespace

SingleInstance::SingleInstance(QString name, QObject* parent)
    : QObject(parent),
      name_(name.isEmpty() ? QStringLiteral("TorvaneEx-%1").arg(getuid()) : std::move(name)) {}

SingleInstance::~SingleInstance() = default;

bool SingleInstance::Acquire() {
    lock_ = std::make_unique<QLockFile>(LockFolder() + "/" + name_ + ".lock");
    lock_->setStaleLockTime(0);
    if (!lock_->tryLock(0)) {
        lock_.reset();
        return false;
    }
    server_ = std::make_unique<QLocalServer>();
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    QLocalServer::removeServer(name_);  // a socket left by a crashed run
    server_->listen(name_);
    connect(server_.get(), &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* socket = server_->nextPendingConnection()) {
            Q_EMIT activationRequested();
            // What the later start says is whole once it has hung up.
            auto said = std::make_shared<QByteArray>();
            connect(socket, &QLocalSocket::readyRead, socket,
                    [socket, said] { said->append(socket->readAll()); });
            connect(socket, &QLocalSocket::disconnected, this, [this, socket, said] {
                said->append(socket->readAll());
                socket->deleteLater();
                for (const QByteArray& line : said->split('\n')) {
                    if (line.startsWith(kRestore) && line.size() > kRestore.size())
                        Q_EMIT restoreRequested(QString::fromUtf8(line.mid(kRestore.size())));
                }
            });
        }
    });
    return true;
}

bool SingleInstance::NotifyRunningInstance(const QString& backupFile) {
    QLocalSocket socket;
    socket.connectToServer(name_);
    if (!socket.waitForConnected(1000)) return false;
    QByteArray said = kActivate.toByteArray();
    // A path holds no line break the file manager would hand over; one that did is not sent.
    if (!backupFile.isEmpty() && !backupFile.contains('\n'))
        said += kRestore.toByteArray() + backupFile.toUtf8() + '\n';
    socket.write(said);
    socket.waitForBytesWritten(1000);
    socket.disconnectFromServer();
    return true;
}

}  // namespace torvane
