#pragma once

#include <QString>

#include <functional>
#include <memory>

#include "platform/boot_clock.h"
#include "platform/file_manager.h"
#include "platform/global_hotkey.h"
#include "platform/instance_channel.h"
#include "platform/process_launcher.h"
#include "system/session_clock.h"
#include "system/system_files.h"

namespace pimrose {

// What the program takes from the system, gathered so tests can stand in for each piece.
struct ProgramServices {
  BootClock bootClock;     // since boot: the uptime tip, the greeting's seed
  BootClock sessionClock;  // since the user's session began: the start-up rule (autostart runs at login)
  std::function<std::unique_ptr<InstanceChannel>()> makeInstanceChannel;
  QString settingsFile;                          // the ini file of the control states
  QString autostartFile;                         // the XDG autostart entry of this program
  std::function<qsizetype(qsizetype)> drawLine;  // 1..n, both included
  std::function<void(int exitCode)> endProcess;
  std::function<std::unique_ptr<FileManager>()> makeFileManager;          // "访问目录"
  std::function<std::unique_ptr<ProcessLauncher>()> makeProcessLauncher;  // the restart
  std::function<bool()> trayHostPresent;                                  // empty: ask the desktop
  SystemFiles systemFiles;  // /proc and /etc, read by the taskbar widget's load figures
  // The taskbar widget is switched off in the program; only tests switch it on.
  bool taskbarWidgetEnabled = false;
  std::function<std::unique_ptr<GlobalHotkey>()> makeHotkey;  // none given: the desktop's
  QString programFile;                                        // empty: this executable
};

// The real system: boot clock, local-socket instance channel, ~/.config/Pimrose/Pimrose.ini, ...
ProgramServices systemServices();

}  // namespace pimrose
