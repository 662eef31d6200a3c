// Reads arbitrary bytes as a drawing in every read mode: header only,
// display, conversion, and the display of each stored block. Both sinks
// are switched off here; fuzz_convert takes the conversion to the writers.
#include "drawing/dxfin.h"
#include "drawing/sinks.h"
#include "fuzzsupport.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace planox;
  fuzz::PrepareConversion();
  SetGraphicsSink(nullptr);
  SetPlotSink(nullptr);
  fuzz::WriteBytes(fuzz::RunDir() + "in.dxf", fuzz::Bytes(data, size));
  for (int mode : {ReadHeaderOnly, ReadForDisplay, ReadForConversion}) {
    Session.AbortFlag = false;
    ReadDrawing(mode);
  }
  for (int i = 1; i <= BlockCount && i <= 4; ++i) {
    Session.AbortFlag = false;
    ReadDrawing(ShowBlock, BlockTable[i]);
  }
  return 0;
}
