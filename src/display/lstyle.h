// Colours and line styles of the display: the 16-colour palette behind the
// colour numbers, the colour rules for window and printer, the drawing
// colour translation, and the screen line styles of line-type names (the
// conversion output's are with the drawing's line types, dxfinvar.h).
#pragma once

#include <cstdint>
#include <string_view>

namespace planox {

struct Rgb {
  uint8_t r = 0, g = 0, b = 0;
  friend bool operator==(const Rgb&, const Rgb&) = default;
};

// Palette entries 0..15.
Rgb PaletteColour(int n);

// An RGB colour value as the settings hold it (red in the low byte, then
// green, then blue).
Rgb RgbFromValue(int32_t value);

// Colour of colour number n (0..15) when drawn on the window / on the
// printer, by ColourGraphics, BackgroundColour and WindowsPrintMode.
// Number 0 is the background colour on both.
Rgb WindowColour(int n);
Rgb PrinterColour(int n);
// Fill colour of a solid: as the pen, but black (number 0 excepted) when
// ColourGraphics is off, on the printer too.
Rgb FillColour(int n, bool printer);

// Drawing colour number (DXF numbering) to palette number.
int GetColorTurbo(int n);

// Line-type name to screen line style 0..3 (exact comparison).
int ScreenLineStyle(std::string_view name);

}  // namespace planox
