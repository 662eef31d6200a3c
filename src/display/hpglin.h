// The HP-GL interpreter: draws an HP-GL or HP-GL/2 plot file through the
// drawing interface. It shows the help pictures and, opened from the File
// menu, the plot files this program writes (plain HP-GL, HP-GL/2 with
// encoded polylines and the laser printer's job, whose printer commands it
// steps over).
//
// World units are millimetres: plotter units of 0.025 mm. The pen, the
// character size, the label direction and the character set are kept from
// one picture to the next; the position starts at (-1000, -1000) in every
// picture.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "drawing/sinks.h"

namespace planox {

class QuorGraf;

struct HpglState {
  double x = -1000, y = -1000;  // millimetres
  bool penDown = false;
  int pen = 0;
  double charWidth = 0, charHeight = 0;  // SI, centimetres
  double run = 0, rise = 0;              // DI
  int charSet = 0;                       // CS
};

// The state kept between pictures; ResetHpglState brings back the state of
// the program's start.
extern HpglState HpglPictureState;
void ResetHpglState();

// The screen colour of a pen: pens 1 to 7 are red, yellow, green, cyan,
// blue, magenta and white; other numbers are colour numbers themselves.
int HpglPenColour(int pen);

// At most this many lines, circles, arcs and labels are drawn from one
// file; the rest is left out with a message.
inline constexpr long HpglElementLimit = 4000000;

// Interprets HP-GL text or a file through the sink. The file version
// returns false (and draws nothing) when the name is not a readable regular
// file. Both leave Session.AbortFlag clear.
void InterpretHpgl(std::string_view text, GraphicsSink& sink);
bool InterpretHpglFile(const std::string& fileName, GraphicsSink& sink);

// A help picture: the hourglass, the file check of the drawing interface
// (its message when the file is missing), then the picture.
void DrawHpglPicture(QuorGraf& quor, const std::string& fileName);

// The extents in millimetres of everything a plot file draws, starting from
// the state of the program's start; false when it draws nothing.
struct HpglBox {
  double xmin = 0, ymin = 0, xmax = 0, ymax = 0;
};
bool HpglFileExtents(const std::string& fileName, HpglBox& box);

// The file extensions of HP-GL files: plt, pl2, hpg, hpl, hgl (any case).
bool IsHpglFileName(const std::string& name);

}  // namespace planox
