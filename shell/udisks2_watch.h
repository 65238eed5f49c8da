// Tells the main window at once when the disk service (udisks2) sees a card come, go, mount or
// unmount, so that the device chooser follows without waiting for the next poll.
#pragma once

#include <QObject>

namespace torvane {

class UDisks2Watch : public QObject {
    Q_OBJECT
  public:
    explicit UDisks2Watch(QObject* parent = nullptr);
    // False when the system bus could not be watched (no udisks2 here: the poll alone serves).
    bool Watching() const { return watching_; }

  Q_SIGNALS:
    void volumesChanged();

  private Q_SLOTS:
    void OnObjectsChanged();
    void OnPropertiesChanged(const QString& interface);

  private:
    bool watching_ = false;
};

}  // namespace torvane
