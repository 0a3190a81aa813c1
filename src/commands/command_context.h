#pragma once

#include <QString>

namespace pimrose {

class Errands;
class FileManager;
class NoticeSink;

// What a command may ask of the running program. The program answers; commands know nothing else of
// it, so each command is tested against a stand-in.
class CommandContext {
 public:
  virtual ~CommandContext() = default;

  // The picture the picture menu acts on, decided now (empty when there is none).
  virtual QString chosenPicture() const = 0;
  virtual NoticeSink& notices() = 0;
  // The commands' disk work, done off the UI thread; results are delivered while the program lives.
  virtual Errands& errands() = 0;
  // The user's file manager, made on first use and kept; null when there is none.
  virtual FileManager* fileManager() = 0;

  virtual void showMainWindow() = 0;
  // Hides the floating icon and clears the option that shows it, so the choice is saved.
  virtual void hideFloatingIcon() = 0;
  // Saves the settings, lets go of the instance name and the tray icon, and starts the program again.
  virtual void restart() = 0;
  // Saves the settings, lets go of the instance name, removes the tray icon and ends the process.
  virtual void exitProgram() = 0;
};

}  // namespace pimrose
