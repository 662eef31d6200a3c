// The command line's export: "--export FILE DRAWING", with "--size WxH" for
// an image, in any order. It writes the drawing's view to FILE without a
// window; the file type comes from FILE's extension.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace planox {

// Largest side of an exported image in pixels.
inline constexpr int MaxImageSide = 10000;

struct ExportRequest {
  std::string output;
  std::string drawing;
  int width = 0, height = 0;  // 0: the drawing area's size
};

// False when the arguments ask for no export. When they do but are
// incomplete or wrong, error says why (code page 850).
bool ParseExportArgs(const std::vector<std::string>& args, ExportRequest& request, std::string& error);

// The file types an export writes ("pdf", "svg", "png"; lower case) by the
// name's extension, or "" for any other name.
std::string ExportType(const std::string& fileName);

// "WxH" (or "W*H", "WXH") with whole numbers from 1 to MaxImageSide.
bool ParseImageSize(std::string_view text, int& width, int& height);

}  // namespace planox
