#pragma once

namespace pimrose {

class CommandContext;

// Puts the picture the picture menu was opened on on the clipboard and tells the user so. The file
// is read off the UI thread; the clipboard is set, and the notice shown, when the read is done,
// unless a copy asked for later has already been put there.
void copyChosenPictureToClipboard(CommandContext& program);

}  // namespace pimrose
