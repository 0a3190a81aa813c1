#pragma once

namespace pimrose {

class CommandContext;

// Shows the picture the picture menu was opened on selected in its folder in the file manager. The
// file is looked up off the UI thread; the file manager is asked once it is found.
void showChosenPictureInFolder(CommandContext& program);

}  // namespace pimrose
