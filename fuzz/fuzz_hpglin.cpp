// The HP-GL interpreter on arbitrary bytes, drawing into a display list.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "base/prompts.h"
#include "base/session.h"
#include "display/hpglin.h"
#include "display/quorgraf.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static planox::ScriptedUi ui;
  static planox::GraphWindow window;
  static planox::QuorGraf quor(window);
  static bool ready = [] {
    quor.H_Init();
    quor.H_Header(0, 0, 160, 120);
    return true;
  }();
  (void)ready;
  planox::SetUi(&ui);
  ui.records.clear();
  planox::Session.AbortFlag = false;
  planox::ResetHpglState();
  quor.H_Clear();
  planox::InterpretHpgl(std::string_view(reinterpret_cast<const char*>(data), size), quor);
  return 0;
}
