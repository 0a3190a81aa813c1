#pragma once

#include <QString>

#include <functional>

namespace pimrose {

// Every `pimrose.*` line at info level and above reaches the receiver (the log window), whether or
// not Qt's logging rules print it; what reaches the terminal (or the journal) stays exactly what
// those rules decide. Lines of other categories only go to the terminal.
//
// The receiver is called from whichever thread logged, never while a lock of the sink is held, so
// it may log itself (a line it logs from inside the call is printed but not handed back to it). It
// must hand the line over and return, not touch widgets.
using LogReceiver = std::function<void(const QString& line)>;

void installLogSink();
// An empty receiver stops the hand-over. A call still running on another thread may finish with
// the previous receiver, so a receiver must stay valid on its own (own what it refers to).
void setLogReceiver(LogReceiver receiver);

}  // namespace pimrose
