#include "ui/off_thread_wait.h"

#include <QApplication>
#include <QEventLoop>
#include <QMetaObject>
#include <QPointer>
#include <thread>

namespace torvane {

bool WaitOffWindowThread(const QObject* owner, const std::function<void()>& work) {
    const QPointer<const QObject> alive(owner);
    QEventLoop loop;
    std::thread worker([&work, &loop] {
        work();
        QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
    });
    QApplication::setOverrideCursor(Qt::WaitCursor);
    loop.exec(QEventLoop::ExcludeUserInputEvents);
    QApplication::restoreOverrideCursor();
    worker.join();
    return !alive.isNull();
}

}  // namespace torvane
