#include "shell/hide_into_tray.h"

namespace pimrose {

SendAway closeRequestOutcome(bool minimiseToTrayChecked, bool trayIconShown) {
  if (!minimiseToTrayChecked) return SendAway::Exit;
  return trayIconShown ? SendAway::HideIntoTray : SendAway::Minimise;
}

SendAway closeButtonOutcome(bool minimiseToTrayChecked, bool trayIconShown) {
  return trayIconShown ? SendAway::HideIntoTray : closeRequestOutcome(minimiseToTrayChecked, false);
}

SendAway minimiseButtonOutcome(bool trayIconShown) {
  return trayIconShown ? SendAway::HideIntoTray : SendAway::Minimise;
}

bool hideAtEarlyBoot(bool earlyBoot, bool trayIconShown) {
  return earlyBoot && trayIconShown;
}

}  // namespace pimrose
