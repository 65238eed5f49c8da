// A page that must wait for the content service before it can draw keeps the window alive
// meanwhile: the request runs on a thread of its own and the window keeps painting. The parent's
// clicks and keys wait until the answer is in, so nothing on the page changes under the request.
#pragma once

#include <functional>

class QObject;

namespace torvane {

// Runs `work` on a thread of its own and waits for it in a local event loop with the wait cursor.
// False when `owner` was destroyed meanwhile: the caller then touches nothing of it.
bool WaitOffWindowThread(const QObject* owner, const std::function<void()>& work);

}  // namespace torvane
