// Display records read from arbitrary text, then replayed onto a small
// pixel buffer: nothing may crash, hang or write outside the buffer.
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "display/quorgraf.h"
#include "display/raster.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace planox;
  std::string_view text(reinterpret_cast<const char*>(data), size);
  DisplayList list;
  size_t start = 0;
  while (start <= text.size() && list.size() < 4096) {
    size_t end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    list.appendLine(text.substr(start, end - start));
    start = end + 1;
  }
  for (size_t i = 0; i < list.size(); ++i) (void)list.line(i);
  GraphWindow window;
  window.SetDrawingArea(64, 48);
  window.setList(&list);
  window.SetWindow(0, 0, 1, 1, 0, 0, 10, 10, true, true);
  std::vector<uint32_t> pixels(65 * 49);
  RasterCanvas canvas(pixels.data(), 65, 49, 65);
  window.Replay(canvas);
  return 0;
}
