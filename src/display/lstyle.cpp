#include "display/lstyle.h"

#include <array>

#include "base/session.h"

namespace planox {

namespace {

constexpr std::array<Rgb, 16> kPalette{{
    {0, 0, 0},       {0, 0, 128},     {0, 255, 0},   {0, 255, 255},
    {255, 0, 0},     {128, 0, 128},   {128, 0, 0},   {192, 192, 192},
    {176, 176, 176}, {0, 0, 255},     {0, 255, 0},   {0, 255, 255},
    {255, 0, 0},     {255, 0, 255},   {255, 255, 0}, {255, 255, 255},
}};

constexpr Rgb kBlack{0, 0, 0};

}  // namespace

Rgb PaletteColour(int n) { return n >= 0 && n < 16 ? kPalette[n] : kBlack; }

Rgb RgbFromValue(int32_t value) {
  const auto v = static_cast<uint32_t>(value);
  return {static_cast<uint8_t>(v & 0xff), static_cast<uint8_t>((v >> 8) & 0xff),
          static_cast<uint8_t>((v >> 16) & 0xff)};
}

Rgb WindowColour(int n) {
  if (n == 0) return RgbFromValue(Settings.BackgroundColour);
  return Settings.ColourGraphics ? PaletteColour(n) : kBlack;
}

Rgb PrinterColour(int n) {
  if (n == 0) return RgbFromValue(Settings.BackgroundColour);
  return Settings.WindowsPrintMode == 2 ? PaletteColour(n) : kBlack;
}

Rgb FillColour(int n, bool printer) {
  if (n != 0 && !Settings.ColourGraphics) return kBlack;
  return printer ? PrinterColour(n) : WindowColour(n);
}

int GetColorTurbo(int n) {
  int c = n & 0xff;
  if (c > 15) c = (n & 15) + 1;
  static constexpr int kFirst[8] = {0, 12, 14, 10, 11, 9, 13, 15};
  return c <= 7 ? kFirst[c] : c - 7;
}

int ScreenLineStyle(std::string_view name) {
  if (name == "DOTTED" || name == "PUNKT") return 1;
  if (name == "CENTER" || name == "DASHDOT") return 2;
  if (name == "STRICHPUNKT") return 2;
  if (name == "DASHED" || name == "HIDDEN" || name == "VERDECKT") return 3;
  return 0;
}

}  // namespace planox
