// The six shape pictures of the seven-segment display, drawn in code: black shapes on white,
// at the scale of the display's 312 x 432 character template.
//   "SEGHORZ"  200 x 38,  1 bit:  horizontal bar, ends tapered and slanted like the digits
//   "SEGVERT"  68 x 190,  1 bit:  vertical bar leaning right, pointed ends
//   "SEGDOT"   38 x 38,   1 bit:  disc (decimal point)
//   "SEGPLUS"  200 x 190, 24 bit: slanted plus sign
//   "SEGCOLON" 68 x 190,  24 bit: two dots, the upper one right, the lower one left
//   "SEGDEG"   160 x 138, 24 bit: ring (degree sign)
// Every shape is one four-connected black area, so that a flood fill from the display's
// colour seeds (the centre; for the colon (18, h - 18) and (w - 18, 18); for the ring
// (25, h div 2)) colours all of it.
#pragma once

namespace kovo {

// Registers those of the six pictures whose names the picture registry does not hold yet
// (so a program may register shapes of its own under these names first). Safe to call any
// number of times; the display calls it before it loads the shapes.
void RegisterSevenSegShapes();

}  // namespace kovo
