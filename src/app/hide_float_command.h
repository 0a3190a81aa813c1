#pragma once

namespace pimrose {

class Program;

// Hides the floating icon and clears the option that shows it, so the choice is saved.
void hideFloatingIcon(Program& program);

}  // namespace pimrose
