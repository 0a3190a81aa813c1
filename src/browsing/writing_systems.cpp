#include "browsing/writing_systems.h"

#include <QSet>

namespace pimrose {
namespace {

// Scripts share fonts within themselves; characters of no script go by block.
int fontGroupOf(char32_t codePoint) {
  const QChar::Script script = QChar::script(codePoint);
  const bool noScript =
      script == QChar::Script_Common || script == QChar::Script_Inherited || script == QChar::Script_Unknown;
  return noScript ? -1 - int(codePoint >> 8) : int(script);
}

class Sampler {
 public:
  bool full() const { return samples_.size() >= kMaxWritingSystemSamples; }
  const QString& samples() const { return text_; }

  void take(QStringView name) {
    for (qsizetype at = 0; at < name.size() && !full(); ++at) {
      if (name[at].unicode() < 0x80) continue;
      char32_t codePoint = name[at].unicode();
      if (name[at].isHighSurrogate() && at + 1 < name.size() && name[at + 1].isLowSurrogate()) {
        codePoint = QChar::surrogateToUcs4(name[at], name[at + 1]);
        ++at;
      }
      const int group = fontGroupOf(codePoint);
      if (samples_.contains(group)) continue;
      samples_.insert(group);
      text_ += QString::fromUcs4(&codePoint, 1);
    }
  }

 private:
  QSet<int> samples_;
  QString text_;
};

}  // namespace

QString writingSystemSamples(const QStringList& paths) {
  Sampler sampler;
  for (const QString& path : paths) {
    if (sampler.full()) break;
    sampler.take(QStringView(path).sliced(path.lastIndexOf(u'/') + 1));
  }
  return sampler.samples();
}

}  // namespace pimrose
