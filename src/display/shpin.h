// The shape font TXT.SHP: a vector font in the text form of shape source
// files, loaded once at start-up and used to stroke texts on plotters and
// machines. Each character code 32..129 has a buffer of 50 shape bytes;
// a shape byte holds a vector length in its high four bits and a
// direction or command code in its low four bits.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace planox {

inline constexpr int ShapeFirstCode = 32;
inline constexpr int ShapeLastCode = 129;
inline constexpr int ShapeGlyphBytes = 50;

struct ShapeFontRecord {
  int above = 0, below = 0, modes = 0;  // header; only above is used
  std::array<std::array<uint8_t, ShapeGlyphBytes>, ShapeLastCode - ShapeFirstCode + 1> glyphs{};
  bool loaded = false;
};

extern ShapeFontRecord ShapeFont;

// Reads the font file (normally "TXT.SHP" in the current directory) into
// ShapeFont. Returns false when the font cannot be used; the messages have
// then been given and the caller ends the program.
bool LoadShapeFont(const std::string& fileName = "TXT.SHP");
// The same from the file's contents (the part after reading the file).
bool LoadShapeFontText(std::string_view text);
// Forgets the font (tests).
void ClearShapeFont();

// Where the program's font is: TXT.SHP in StartDir when present, else the
// one shipped in ProgramDataDir(). "" when none is found.
std::string FindShapeFontFile();

// What stroking a text drives: the driver's pen and move operations.
class ShapeStrokeSink {
 public:
  virtual ~ShapeStrokeSink() = default;
  virtual void penUp() = 0;
  virtual void penDown() = 0;
  virtual void moveTo(double x, double y) = 0;
  virtual void drawTo(double x, double y) = 0;
  virtual bool penIsDown() const = 0;
};

// Strokes text from (x, y) with character height `height` (the font's
// above-baseline size maps to it) turned by `angle` degrees.
void StrokeShapeText(std::string_view text, double x, double y, double height, double angle,
                     ShapeStrokeSink& sink);

}  // namespace planox
