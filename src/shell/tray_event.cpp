#include "shell/tray_event.h"

namespace pimrose {
namespace {

void run(const std::function<void()>& action) {
  if (action) action();
}

}  // namespace

void onTrayEvent(int code, const TrayActions& actions) {
  switch (code) {
    case kTrayLeftPressed:
      run(actions.showMainWindow);
      break;
    case kTrayRightPressed:
      run(actions.popUpTrayMenu);
      break;
    case kTrayEventTaskbarRecreated:
      run(actions.addIconAgain);
      break;
    case kTrayEventHostLost:
      run(actions.hostLost);
      break;
    default:
      break;
  }
}

}  // namespace pimrose
