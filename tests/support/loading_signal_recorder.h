#pragma once

#include <QList>
#include <QObject>

namespace pimrose::test {

// Records the argument of every emission of a one-argument signal (QtTest is not linked here).
template <typename Value>
class SignalRecorder {
 public:
  template <typename Sender, typename Signal>
  SignalRecorder(Sender* sender, Signal signal) {
    QObject::connect(sender, signal, &context_, [this](const Value& value) { values_.push_back(value); });
  }

  qsizetype size() const { return values_.size(); }
  const Value& at(qsizetype k) const { return values_.at(k); }
  const Value& last() const { return values_.back(); }
  void clear() { values_.clear(); }

 private:
  QObject context_;
  QList<Value> values_;
};

}  // namespace pimrose::test
