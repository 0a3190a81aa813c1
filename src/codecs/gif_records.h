#pragma once

#include <optional>
#include <vector>

#include <gif_lib.h>

// The pieces of a GIF's record stream that the still decoder and the frame reader both read.
namespace pimrose {

// A frame's graphic control: what it paints, how long it stays and what happens to its area before
// the next frame is drawn.
struct GifControl {
  enum Disposal { Keep = 1, Clear = 2, Restore = 3 };
  int transparent = -1;
  int disposal = 0;  // 0 and values past 3 leave the frame in place, as 1 does
  int delayCs = 0;   // hundredths of a second
};

// Reads one extension record. A graphic control block fills `control`; an application block
// "NETSCAPE2.0" (or its older twin "ANIMEXTS1.0") sets `loops` to the repeat count it carries.
// False when the data is damaged.
bool readGifExtension(GifFileType* gif, GifControl& control, std::optional<int>* loops = nullptr);

// Rows of an interlaced frame arrive in four passes: every 8th from 0, every 8th from 4, every
// 4th from 2, every 2nd from 1.
std::vector<int> gifRowOrder(int height, bool interlaced);

}  // namespace pimrose
