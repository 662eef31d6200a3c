// Shape font loader and stroker on arbitrary file contents.
#include <cstddef>
#include <cstdint>
#include <string>

#include "base/prompts.h"
#include "base/session.h"
#include "display/shpin.h"
#include "base/vektor.h"

namespace {

struct Count : planox::ShapeStrokeSink {
  long n = 0;
  bool down = false;
  void penUp() override { down = false; }
  void penDown() override { down = true; }
  void moveTo(double, double) override { ++n; }
  void drawTo(double, double) override { ++n; }
  bool penIsDown() const override { return down; }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static planox::ScriptedUi ui;
  planox::SetUi(&ui);
  ui.records.clear();
  planox::Session.ShowErrors = true;
  planox::Session.AbortFlag = false;
  planox::ClearErrorLog();
  std::string text(reinterpret_cast<const char*>(data), size);
  if (planox::LoadShapeFontText(text)) {
    std::string all;
    for (int c = 0; c < 256; ++c) all += static_cast<char>(c);
    Count sink;
    planox::StrokeShapeText(all, 0, 0, 2.5, 30, sink);
  }
  return 0;
}
