#pragma once
// Colours as the window layouts store them: a 32-bit value whose low byte is red,
// then green, then blue; a high byte of 0x02 marks a palette-relative RGB value, and a
// high byte of 0x80 a named system colour whose low byte is the system colour number.

#include <QColor>
#include <QPalette>
#include <cstdint>

namespace hk::toolkit {

using TColor = std::uint32_t;

constexpr TColor rgbColor(int red, int green, int blue) {
    return static_cast<TColor>(red & 0xFF) | (static_cast<TColor>(green & 0xFF) << 8) |
           (static_cast<TColor>(blue & 0xFF) << 16);
}

constexpr TColor clBlack = 0x000000;
constexpr TColor clWhite = 0xFFFFFF;
constexpr TColor clRed = 0x0000FF;
constexpr TColor clPurple = 0x800080;
constexpr TColor clNavy = 0x800000;

constexpr TColor clScrollBar = 0x80000000;
constexpr TColor clWindow = 0x80000005;
constexpr TColor clWindowText = 0x80000008;
constexpr TColor clHighlight = 0x8000000D;
constexpr TColor clHighlightText = 0x8000000E;
constexpr TColor clBtnFace = 0x8000000F;
constexpr TColor clBtnShadow = 0x80000010;
constexpr TColor clGrayText = 0x80000011;
constexpr TColor clBtnText = 0x80000012;
constexpr TColor clBtnHighlight = 0x80000014;
constexpr TColor clInfoText = 0x80000017;
constexpr TColor clInfoBk = 0x80000018;

constexpr bool isSystemColor(TColor c) {
    return (c & 0xFF000000u) == 0x80000000u;
}

// System colours resolve through `palette` (button face to QPalette::Button, button
// shadow to Dark, button highlight to Light, highlight to Highlight, and so on); RGB
// values, palette-relative or not, become their red, green and blue.
QColor toQColor(TColor color, const QPalette& palette);

// The layout value of an opaque QColor.
TColor fromQColor(const QColor& color);

}  // namespace hk::toolkit
