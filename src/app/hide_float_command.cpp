#include "app/hide_float_command.h"

#include "app/program.h"
#include "shell/float_window.h"

namespace pimrose {

void hideFloatingIcon(Program& program) {
  program.floatIcon().hideFloat();
}

}  // namespace pimrose
