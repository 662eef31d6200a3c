// The writer of each conversion target by SyntaxCode.
#include <map>

#include "convert/dxfwrite.h"
#include "convert/garmin.h"
#include "convert/iges.h"
#include "convert/tcutil.h"
#include "convert/writer.h"

namespace planox {

namespace {

std::map<int, PlotWriterFactory>& Table() {
  static std::map<int, PlotWriterFactory> table = {
      {TargetHpgl, MakeHpglWriter},           {TargetAristo, MakeAristoWriter},
      {TargetLasercomb, MakeLasercombWriter}, {TargetCnc, MakeCncWriter},
      {TargetHpgl2, MakeHpgl2Writer},         {TargetPostscript, MakePostscriptWriter},
      {TargetHpglLaser, MakeHpglLaserWriter},
      {TargetDxf, MakeDxfWriter},             {TargetPascal, MakePascalWriter},
      {TargetIges, MakeIgesWriter},           {TargetC, MakeCWriter},
      {TargetGarmin, MakeGarminWriter},       {TargetSvg, MakeSvgWriter},
  };
  return table;
}

}  // namespace

PlotWriterFactory FindPlotWriter(int syntaxCode) {
  auto it = Table().find(syntaxCode);
  return it == Table().end() ? nullptr : it->second;
}

void RegisterPlotWriter(int syntaxCode, PlotWriterFactory factory) { Table()[syntaxCode] = factory; }

}  // namespace planox
