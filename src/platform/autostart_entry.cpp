#include "platform/autostart_entry.h"

#include <QFile>
#include <QFileInfo>

#include "platform/atomic_file.h"

namespace pimrose {
namespace {

// The string-level escapes of a desktop entry value: "\\" "\s" "\n" "\t" "\r".
QString unescapeValue(const QString& value) {
  QString out;
  for (qsizetype i = 0; i < value.size(); ++i) {
    if (value[i] != u'\\' || i + 1 == value.size()) {
      out += value[i];
      continue;
    }
    const QChar next = value[++i];
    out += next == u's'   ? QChar(u' ')
           : next == u'n' ? QChar(u'\n')
           : next == u't' ? QChar(u'\t')
           : next == u'r' ? QChar(u'\r')
                          : next;
  }
  return out;
}

// The first argument of a command line whose string escapes are already undone.
QString firstArgument(const QString& command) {
  QString argument;
  if (!command.startsWith(u'"')) return command.section(u' ', 0, 0);
  for (qsizetype i = 1; i < command.size(); ++i) {
    if (command[i] == u'"') break;
    if (command[i] == u'\\' && i + 1 < command.size()) ++i;
    argument += command[i];
  }
  return argument;
}

QString execLineOf(const QString& entryFile) {
  QFile file(entryFile);
  if (!file.open(QIODevice::ReadOnly)) return {};
  while (!file.atEnd()) {
    const QString line = QString::fromUtf8(file.readLine()).trimmed();
    if (line.startsWith(QStringLiteral("Exec="))) return line.mid(5).trimmed();
  }
  return {};
}

}  // namespace

QString execArgument(const QString& program) {
  QString quoted;
  for (const QChar c : program) {
    if (c == u'"' || c == u'`' || c == u'$' || c == u'\\') quoted += u'\\';
    quoted += c;
  }
  quoted = u'"' + quoted + u'"';
  return quoted.replace(u'\\', QStringLiteral("\\\\")).replace(u'%', QStringLiteral("%%"));
}

QString execProgram(const QString& execValue) {
  return firstArgument(unescapeValue(execValue)).replace(QStringLiteral("%%"), QStringLiteral("%"));
}

bool autostartEntryExists(const QString& entryFile, const QString& program) {
  const QString exec = execLineOf(entryFile);
  if (exec.isEmpty()) return false;
  return QFileInfo(execProgram(exec)).absoluteFilePath() == QFileInfo(program).absoluteFilePath();
}

bool writeAutostartEntry(const QString& entryFile, const QString& program) {
  const QString entry = QStringLiteral(
                            "[Desktop Entry]\n"
                            "Type=Application\n"
                            "Name=Pimrose\n"
                            "Exec=%1\n"
                            "Terminal=false\n")
                            .arg(execArgument(QFileInfo(program).absoluteFilePath()));
  return writeFileAtomically(entryFile, entry.toUtf8());
}

bool removeAutostartEntry(const QString& entryFile) {
  QFile::remove(entryFile);
  return !QFileInfo::exists(entryFile);
}

}  // namespace pimrose
