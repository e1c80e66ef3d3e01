#pragma once

// Window, panel and column measures are kept in twips (1/1440 inch), as the
// settings file stores them. 15 twips make one pixel at 96 dpi; the screen's
// logical dpi scales that. This is the one place where the two meet.
namespace Twips {
int toPixels(int twips);
int fromPixels(int pixels);
// A measure in twips for `pixels`: `twips` itself when it still gives exactly those
// pixels, so that a size the operator did not change is written back as it was read.
int keep(int pixels, int twips);
} // namespace Twips
