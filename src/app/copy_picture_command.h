#pragma once

namespace pimrose {

class Program;

// Puts the picture the picture menu was opened on on the clipboard and tells the user so.
void copyChosenPictureToClipboard(Program& program);

}  // namespace pimrose
