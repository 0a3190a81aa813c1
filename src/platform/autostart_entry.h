#pragma once

#include <QString>

namespace pimrose {

// Start with the desktop session: an XDG autostart entry ($XDG_CONFIG_HOME/autostart/Pimrose.desktop)
// whose Exec line starts `program` by its absolute path.

// True only when the entry exists and its Exec line names this very program.
bool autostartEntryExists(const QString& entryFile, const QString& program);
// Writes the entry in one atomic step (creating the folder); false when it could not be written.
bool writeAutostartEntry(const QString& entryFile, const QString& program);
// Deletes the entry; true when no entry is left.
bool removeAutostartEntry(const QString& entryFile);

// The program path as one Exec argument: always in double quotes, with '"', '`', '$' and '\' escaped
// by a backslash inside them, then every backslash doubled and '%' doubled as the file's string
// values require. `execProgram` reads the first argument of an Exec value back.
QString execArgument(const QString& program);
QString execProgram(const QString& execValue);

}  // namespace pimrose
