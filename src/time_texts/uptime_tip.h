#pragma once

#include <QString>

namespace pimrose {

// The text of the tip that tells how long the computer has been running: "电脑已运行：", CR LF and the
// duration, from the milliseconds since the system started (a 64-bit boot clock, so the uptime does
// not start again from zero after 49.7 days).
QString UptimeTipText(quint64 uptimeMilliseconds);

}  // namespace pimrose
