#pragma once

namespace pimrose {

class Program;

// Saves the settings, lets go of the instance name and the tray icon, and starts the program again.
void RestartProgram(Program& program);

}  // namespace pimrose
