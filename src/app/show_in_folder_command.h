#pragma once

namespace pimrose {

class Program;

// Shows the picture the picture menu was opened on selected in its folder in the file manager.
void showChosenPictureInFolder(Program& program);

}  // namespace pimrose
