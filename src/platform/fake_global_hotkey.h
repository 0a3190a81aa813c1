#pragma once

#include <QMap>
#include <QSet>

#include "platform/global_hotkey.h"

namespace pimrose {

// A stand-in for tests: keeps the grabs in memory, refuses the keys another program "holds", and
// presses a key on request.
class FakeGlobalHotkey : public GlobalHotkey {
 public:
  struct Grab {
    Qt::KeyboardModifiers modifiers;
    int functionKey = 0;
  };

  QSet<int> heldElsewhere;  // function keys 1..12 that fail to register
  QMap<int, Grab> grabs;    // by identifier

  // Presses F<functionKey> with no modifier.
  void press(int functionKey) {
    for (auto it = grabs.cbegin(); it != grabs.cend(); ++it)
      if (it->functionKey == functionKey && it->modifiers == Qt::NoModifier) reportPress(it.key());
  }

 protected:
  bool grab(int id, Qt::KeyboardModifiers modifiers, int functionKey) override {
    if (heldElsewhere.contains(functionKey)) return false;
    grabs.insert(id, {modifiers, functionKey});
    return true;
  }
  bool release(int id) override { return grabs.remove(id) > 0; }
};

}  // namespace pimrose
