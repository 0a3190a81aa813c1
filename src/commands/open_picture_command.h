#pragma once

namespace pimrose {

class CommandContext;

// Opens the picture the picture menu was opened on with the program associated with its type.
void openChosenPictureWithShell(CommandContext& program);

}  // namespace pimrose
