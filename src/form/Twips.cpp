#include "form/Twips.h"

#include <QGuiApplication>
#include <QScreen>
#include <cmath>

namespace {
double pixelsPerTwip() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    const double dpi = screen ? screen->logicalDotsPerInch() : 96.0;
    return dpi / 1440.0;
}
} // namespace

int Twips::toPixels(int twips) {
    return static_cast<int>(std::lround(twips * pixelsPerTwip()));
}

int Twips::fromPixels(int pixels) {
    return static_cast<int>(std::lround(pixels / pixelsPerTwip()));
}

int Twips::keep(int pixels, int twips) {
    return toPixels(twips) == pixels ? twips : fromPixels(pixels);
}
