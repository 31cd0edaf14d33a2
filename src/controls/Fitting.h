#pragma once

namespace ondrevan {

// The largest DPI, up to the monitor's, at which a window whose client area is the given
// twips fits the work area with its frame (in pixels at the monitor's DPI): a window laid
// out at it is smaller as a whole, never cut.
int FittingDpi(int monitorDpi, int clientWidthTwips, int clientHeightTwips, int frameWidth,
               int frameHeight, int workWidth, int workHeight);

}  // namespace ondrevan
