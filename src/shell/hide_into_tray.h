#pragma once

namespace pimrose {

// Where the main window goes when the user sends it away. Hiding it is safe only while a tray icon
// is really on screen: without one, a hidden window could be called back by nothing but a second
// start of the program.
enum class SendAway { HideIntoTray, Minimise, Exit };

// A close request: with "minimise to tray" checked the window waits in the tray, or on the task
// bar when there is no tray icon to wait in; unchecked, the program ends.
SendAway closeRequestOutcome(bool minimiseToTrayChecked, bool trayIconShown);

// The caption's close and minimise buttons hide into the tray; without a tray icon, close acts as a
// close request and minimise minimises.
SendAway closeButtonOutcome(bool minimiseToTrayChecked, bool trayIconShown);
SendAway minimiseButtonOutcome(bool trayIconShown);

// A start soon after boot waits in the tray, but only when there is a tray icon to wait in.
bool hideAtEarlyBoot(bool earlyBoot, bool trayIconShown);

}  // namespace pimrose
