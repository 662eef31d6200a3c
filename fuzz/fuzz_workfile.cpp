// Arbitrary bytes as the work file of a block, inserted into the display
// and into a conversion: the reader of work files takes whatever a damaged
// or planted file holds.
#include "drawing/dxfin.h"
#include "drawing/sinks.h"
#include "fuzzsupport.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace planox;
  fuzz::PrepareConversion();
  SetGraphicsSink(nullptr);
  Settings.SyntaxCode = 4;
  ForgetBlockFiles();
  fuzz::WriteBytes(BlockFileName("B"), fuzz::Bytes(data, size));
  InsertBlock(ReadForDisplay, 1, "B", 0, 0, 0, 1, 1);
  ForgetBlockFiles();
  Session.AbortFlag = false;
  PlotBegin(Settings.SyntaxCode, 3);
  if (!Session.AbortFlag) {
    InsertBlock(ReadForConversion, 1, "B", 10, 10, 30, 2, 2);
    PlotEnd();
  }
  PlotAbort();
  return 0;
}
