// The whole road of a conversion: arbitrary bytes read as a drawing and
// converted to every target through the reader, the driver and each
// writer, into files on a memory file system. The CNC dialect, the
// rotation and the shape font come from the input's length, so every
// writer variant is met.
#include "convert/targets.h"
#include "drawing/dxfin.h"
#include "fuzzsupport.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace planox;
  fuzz::PrepareConversion();
  fuzz::WriteBytes(fuzz::RunDir() + "in.dxf", fuzz::Bytes(data, size));
  for (const TargetRow& target : Targets()) {
    ResetSettings();
    Settings.TempDir = Settings.PltDir = fuzz::RunDir();
    Settings.SyntaxCode = static_cast<uint16_t>(target.number);
    Settings.DeviceCode = 3;
    Settings.NcSyntax = static_cast<uint16_t>(size % 4 + 1);
    Settings.Rotate90 = size % 3 == 0 ? 'J' : 'N';
    Session.PlotFile = fuzz::RunDir() + "out";
    Session.AbortFlag = false;
    ReadDrawing(ReadForConversion);
  }
  return 0;
}
