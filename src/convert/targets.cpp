#include "convert/targets.h"

#include "base/session.h"
#include "base/textconv.h"
#include "convert/dxfwrite.h"
#include "convert/garmin.h"
#include "convert/iges.h"
#include "convert/tcutil.h"

namespace planox {

namespace {

using enum ShapeFontUse;

constexpr const char* Pen = "Pen No.";
constexpr const char* Tool = "Tool No.";
constexpr const char* Width = "Epaisseur du trait";
constexpr const char* Colour = "Couleur";

// number, name, dialog label, extension, /C, writer, pen heading, speeds,
// asks rotation, shape font, other extensions, number for older versions
const TargetRow Rows[] = {
    {1, "HP-GL", "HP-GL", "plt", "plt", MakeHpglWriter, Pen, true, true, Asked, ""},
    {2, "ARISTO", "Aristo", "art", "art", MakeAristoWriter, Pen, true, true, Asked, ""},
    {3, "Lasercomb", "Lasercomb", "hpg", "hpg", MakeLasercombWriter, Tool, true, false, Always, ""},
    {4, "CNC", "CNC", "cnc", "cnc", MakeCncWriter, Tool, true, false, Always, ""},
    {5, "DXF", "DXF", "dxf", "dxf", MakeDxfWriter, Colour, false, false, Never, ""},
    {6, "Turbo-Pascal", "Turbo Pascal", "pas", "pas", MakePascalWriter, Colour, false, false, Never, ""},
    {7, "IGES", "IGES", "igs", "igs", MakeIgesWriter, Colour, false, false, Never, ""},
    {8, "Turbo-C", "Turbo C", "c", "c", MakeCWriter, Colour, false, false, Never, ""},
    {9, "HP-GL/2", "HP-GL/2", "pl2", "pl2", MakeHpgl2Writer, Colour, true, false, Never, ""},
    {10, "Postscript", "Postscript", "ps", "ps", MakePostscriptWriter, Width, false, true, Never, ""},
    {11, "HP-GL Laser", "HPGL-Laser", "hpl", "hpl", MakeHpglLaserWriter, Width, false, true, Never, ""},
    // The file type picks the extension: WPT, TRK or GRM.
    {12, "Garmin GPS", "Garmin GPS", "grm", "grm", MakeGarminWriter, Colour, false, false, Never,
     "WPT TRK GRM"},
    // Older versions read it as PostScript.
    {13, "SVG", "SVG", "svg", "svg", MakeSvgWriter, Colour, false, true, Asked, "", TargetPostscript},
};

}  // namespace

std::span<const TargetRow> Targets() { return Rows; }

const TargetRow* FindTarget(int syntaxCode) {
  for (const TargetRow& t : Rows)
    if (t.number == syntaxCode) return &t;
  return nullptr;
}

const TargetRow* TargetOfBatchCode(std::string_view code) {
  const std::string lower = LowerText(code);
  for (const TargetRow& t : Rows)
    if (lower == t.batchCode) return &t;
  return nullptr;
}

PlotWriterFactory FindPlotWriter(int syntaxCode) {
  const TargetRow* t = FindTarget(syntaxCode);
  return t ? t->make : nullptr;
}

std::vector<std::string> PlotOutputFiles(int syntaxCode, int deviceCode) {
  std::vector<std::string> files;
  const TargetRow* t = FindTarget(syntaxCode);
  if (deviceCode != 3 || !t) return files;
  files.push_back(Session.PlotFile + "." + t->extension);
  std::string_view others = t->otherExtensions;
  while (!others.empty()) {
    const size_t blank = others.find(' ');
    if (blank != 0) files.push_back(Session.PlotFile + "." + std::string(others.substr(0, blank)));
    others = blank == std::string_view::npos ? std::string_view() : others.substr(blank + 1);
  }
  return files;
}

std::string TargetName(int syntaxCode) {
  const TargetRow* t = FindTarget(syntaxCode);
  return t ? t->name : "";
}

std::string TargetExtension(int syntaxCode) {
  const TargetRow* t = FindTarget(syntaxCode);
  return t ? t->extension : "";
}

}  // namespace planox
