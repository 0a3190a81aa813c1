#pragma once

namespace pimrose {

class Program;

// Opens the picture the picture menu was opened on with the program associated with its type.
void openChosenPictureWithShell(Program& program);

}  // namespace pimrose
