// The source-code conversion targets: the drawing as a Turbo Pascal (6) or
// Turbo C (8) program for the QuorGraf graphics toolbox. Every drawing
// operation becomes one toolbox call; the calls are grouped into numbered
// drawing procedures QuorDrawing1, 2, ... of bounded length (350 counted
// lines in Pascal, 250 in C), and a main program opens the toolbox, sets a
// window on the drawing's extents and redraws until Enter or Escape.
#pragma once

#include <memory>
#include <string>

#include "convert/writer.h"

namespace planox {

// The colour H_SetColor gets for pen n.
int SourcePenColour(int pen);

// A text as a Pascal string literal ('...' with quotes doubled and control
// characters as #n) and as a C string literal ("..." with escapes).
std::string PascalStringLiteral(const std::string& text);
std::string CStringLiteral(const std::string& text);

std::unique_ptr<PlotWriter> MakePascalWriter();  // target 6
std::unique_ptr<PlotWriter> MakeCWriter();       // target 8

}  // namespace planox
