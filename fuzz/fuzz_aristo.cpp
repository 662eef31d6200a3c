// Arbitrary bytes as the Aristo initialisation file ARISTO.TXT, copied into
// the header of a conversion of a small drawing to the Aristo target.
#include "drawing/dxfin.h"
#include "fuzzsupport.h"

namespace {

const char* const Drawing =
    "0\nSECTION\n2\nENTITIES\n0\nLINE\n8\n0\n10\n0\n20\n0\n11\n10\n21\n5\n"
    "0\nTEXT\n8\n0\n10\n1\n20\n1\n40\n2.5\n1\nA\n0\nENDSEC\n0\nEOF\n";

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace planox;
  fuzz::PrepareConversion();
  static bool written = false;
  if (!written) fuzz::WriteBytes(fuzz::RunDir() + "in.dxf", Drawing);
  written = true;
  fuzz::WriteBytes(fuzz::RunDir() + "ARISTO.TXT", fuzz::Bytes(data, size));
  Settings.SyntaxCode = 2;
  ReadDrawing(ReadForConversion);
  return 0;
}
