#pragma once

#include <initializer_list>
#include <utility>

#include <QString>
#include <QStringList>

// Debian's own encoders and converters, run at test time to make the pictures a test reads.
namespace pimrose::test {

// Runs `program`; false when it is missing, fails or takes more than a minute.
bool runTool(const QString& program, const QStringList& arguments);

// The first of `tools` (program, Debian package) not on the PATH, as a message for a skipped test;
// empty when all are there. scripts/install-deps.sh installs them all.
QString missingTool(std::initializer_list<std::pair<const char*, const char*>> tools);

}  // namespace pimrose::test
