// The user's private temporary folder, where downloads are staged on their way to the card
// and the app keeps its small files. Below the store: the store's scratch folders, the
// service client and the desktop app all ask for it.
#pragma once

#include <string>

namespace torvane {

// The user's private temporary folder (no trailing "/"): "torvane-<uid>" below $TMPDIR (else
// /tmp), mode 0700, owned by the user. Empty when it cannot be made safe, for instance when the
// name is a symlink or another user owns it: the downloads staged there on their way to the card
// must neither leak nor be planted.
std::string GetTempFolder();

}  // namespace torvane
