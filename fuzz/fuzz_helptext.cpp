// The help-file reader on arbitrary bytes: the entry of the number the
// file begins with, and of a number it does not hold.
#include <cstddef>
#include <cstdint>
#include <string>

#include "base/prompts.h"
#include "base/session.h"
#include "help/helptext.h"
#include "fuzzsupport.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static planox::ScriptedUi ui;
  planox::SetUi(&ui);
  ui.records.clear();
  const std::string file = fuzz::RunDir() + "quorvel.hlp";
  fuzz::WriteBytes(file, fuzz::Bytes(data, size));
  int first = 0;
  for (size_t i = 0; i < 4 && i < size && data[i] >= '0' && data[i] <= '9'; ++i) first = first * 10 + (data[i] - '0');
  for (int n : {first, first + 1, 1090}) planox::HelpMessage(planox::ReadHelpEntry(file, n));
  return 0;
}
