#pragma once

#include <QtGlobal>
#include <cmath>

// Window positions and sizes are given in twips, 1/1440 of an inch, and drawn at the screen's
// logical resolution.
namespace tracklens::ui {

inline constexpr double kTwipsPerInch = 1440.0;

inline int TwipsToPixels(int twips, double dotsPerInch)
{
    return static_cast<int>(std::lround(twips * dotsPerInch / kTwipsPerInch));
}

inline int PixelsToTwips(int pixels, double dotsPerInch)
{
    return static_cast<int>(std::lround(pixels * kTwipsPerInch / dotsPerInch));
}

} // namespace tracklens::ui
