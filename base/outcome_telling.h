// How a front end that speaks through a message sink tells the user an outcome of the core: the
// outcome's sentence with the icon the device's program always gave it, then its notes.
#pragma once

#include "base/message_sink.h"
#include "common/status.h"

namespace torvane {

// The icon a sentence is shown with when it ends an outcome of `kind`: most successes are
// information and most failures errors, but the content page's refusals are said without alarm
// and the child page speaks without an icon.
MessageKind IconOf(MessageId id, OutcomeKind kind);

// Shows the outcome's sentence (nothing when it has none) and then each of its notes.
void TellOutcome(IMessageSink& messages, const Status& outcome);

}  // namespace torvane
