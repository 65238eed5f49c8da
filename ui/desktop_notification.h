// A desktop notification (org.freedesktop.Notifications on the session bus): how the parent learns
// that a long job ended while he works in another window.
#pragma once

#include <QString>

namespace torvane {

// Whether no window of the program has the keyboard (the parent is elsewhere).
bool ProgramInBackground();

// Sends the notification without waiting for the desktop's answer; false when the session has no
// notification service to send it to.
bool NotifyDesktop(const QString& summary, const QString& body);

}  // namespace torvane
