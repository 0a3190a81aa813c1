#pragma once

#include <QString>

#include <functional>

namespace pimrose {

// Every line logged through Qt's logging goes to the previous handler (the terminal) and, once a
// receiver is set, to that receiver as well: the log window shows what the categories print.
// The receiver may be called from any thread; it must hand the line over, not touch widgets.
using LogReceiver = std::function<void(const QString& line)>;

void installLogSink();
void setLogReceiver(LogReceiver receiver);

}  // namespace pimrose
