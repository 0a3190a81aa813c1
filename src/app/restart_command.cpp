#include "app/restart_command.h"

#include "app/program.h"

namespace pimrose {

void RestartProgram(Program& program) {
  program.Restart();
}

}  // namespace pimrose
