#include "controls/Fitting.h"

namespace ondrevan {

int FittingDpi(int monitorDpi, int clientWidthTwips, int clientHeightTwips, int frameWidth,
               int frameHeight, int workWidth, int workHeight) {
    // Below half the design's size nothing could be read: the window is then left to the user.
    constexpr int kSmallest = 48;
    int dpi = monitorDpi;
    const auto pixels = [](int twips, int at) {
        return static_cast<int>((static_cast<long long>(twips) * at + 720) / 1440);
    };
    while (dpi > kSmallest && (pixels(clientWidthTwips, dpi) + frameWidth > workWidth ||
                               pixels(clientHeightTwips, dpi) + frameHeight > workHeight))
        --dpi;
    return dpi;
}

}  // namespace ondrevan
