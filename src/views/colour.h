#pragma once
// The views' colours are stored as the settings keep them, 32-bit 0x00BBGGRR.

#include <QColor>
#include <cstdint>

namespace orbel {

namespace bgr {
static constexpr std::uint32_t Black = 0x000000;
static constexpr std::uint32_t White = 0xFFFFFF;
} // namespace bgr

inline QColor FromBgr(std::uint32_t bgr) {
    return QColor(static_cast<int>(bgr & 0xFFU), static_cast<int>((bgr >> 8U) & 0xFFU),
                  static_cast<int>((bgr >> 16U) & 0xFFU));
}

inline std::uint32_t ToBgr(QRgb rgb) {
    return static_cast<std::uint32_t>(qRed(rgb)) | (static_cast<std::uint32_t>(qGreen(rgb)) << 8U) |
           (static_cast<std::uint32_t>(qBlue(rgb)) << 16U);
}

} // namespace orbel
