#pragma once

#include <QPaintDevice>

#include <cmath>

// The window's unit is the twip, 1440 to the inch; pixels convert at the device's logical
// resolution, so a standard 96 dots per inch gives 15 twips to the pixel.
class TwipsScale {
public:
    explicit TwipsScale(const QPaintDevice& device)
        : m_perPixelX(1440.0f / float(device.logicalDpiX()))
        , m_perPixelY(1440.0f / float(device.logicalDpiY())) {}

    float fromPixelsX(int pixels) const { return float(pixels) * m_perPixelX; }
    float fromPixelsY(int pixels) const { return float(pixels) * m_perPixelY; }
    int toPixelsX(float twips) const { return int(std::lround(twips / m_perPixelX)); }
    int toPixelsY(float twips) const { return int(std::lround(twips / m_perPixelY)); }
    // For a size that must not grow past what was asked.
    int toWholePixelsY(float twips) const { return int(std::floor(twips / m_perPixelY + 1e-3f)); }

private:
    float m_perPixelX;
    float m_perPixelY;
};
