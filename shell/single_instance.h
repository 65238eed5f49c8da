// One Torvane per user: a lock file named after "TorvaneEx" in the user's runtime folder and a
// local socket through which a second start asks the first one to come to the front, and hands
// over the card backup the parent opened from the file manager.
#pragma once

#include <QLocalServer>
#include <QLockFile>
#include <QObject>
#include <memory>

namespace torvane {

class SingleInstance : public QObject {
    Q_OBJECT
  public:
    // `name` defaults to the per-user "TorvaneEx-<uid>".
    explicit SingleInstance(QString name = QString(), QObject* parent = nullptr);
    ~SingleInstance() override;

    // True when this process is the only instance; it then listens for later starts.
    bool Acquire();
    // Asks the running instance to bring its window to the front and, with `backupFile`, to offer
    // its restore; false when none answered.
    bool NotifyRunningInstance(const QString& backupFile = QString());

  Q_SIGNALS:
    // A later start asked for the window.
    void activationRequested();
    // A later start was given a card backup to restore.
    void restoreRequested(const QString& backupFile);

  private:
    QString name_;
    std::unique_ptr<QLockFile> lock_;
    std::unique_ptr<QLocalServer> server_;
};

}  // namespace torvane
