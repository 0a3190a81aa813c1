#pragma once

#include <QMap>
#include <QSet>

#include "platform/global_hotkey.h"

namespace pimrose {

// A stand-in for tests: keeps the grabs in memory, refuses the keys another program "holds", and
// presses a key on request.
class FakeGlobalHotkey : public GlobalHotkey {
 public:
  struct KeyGrab {
    Qt::KeyboardModifiers modifiers;
    int functionKey = 0;
  };

  QSet<int> heldElsewhere;   // function keys 1..12 that fail to register
  bool answerLater = false;  // registrations wait for answer(), as a portal's do
  QMap<int, KeyGrab> grabs;  // by identifier, held or asked

  // Presses F<functionKey> with no modifier.
  void press(int functionKey) {
    for (auto it = grabs.cbegin(); it != grabs.cend(); ++it)
      if (it->functionKey == functionKey && it->modifiers == Qt::NoModifier && !isPending(it.key()))
        reportPress(it.key());
  }
  // The desktop's late answer to registration `id` (or a key taken back).
  void answer(int id, bool held) {
    if (!held) grabs.remove(id);
    settle(id, held);
  }

 protected:
  Grab grab(int id, Qt::KeyboardModifiers modifiers, int functionKey) override {
    if (heldElsewhere.contains(functionKey) && !answerLater) return Grab::Refused;
    grabs.insert(id, {modifiers, functionKey});
    return answerLater ? Grab::Asked : Grab::Held;
  }
  bool release(int id) override { return grabs.remove(id) > 0; }
};

}  // namespace pimrose
