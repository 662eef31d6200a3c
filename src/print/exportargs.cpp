#include "print/exportargs.h"

#include <charconv>

#include "base/textconv.h"

namespace planox {

namespace {

bool Side(std::string_view text, int& value) {
  const char* end = text.data() + text.size();
  auto [p, ec] = std::from_chars(text.data(), end, value);
  return ec == std::errc() && p == end && value >= 1 && value <= MaxImageSide;
}

}  // namespace

std::string ExportType(const std::string& fileName) {
  const auto dot = fileName.find_last_of('.');
  if (dot == std::string::npos || fileName.find_first_of("/\\", dot) != std::string::npos) return "";
  const std::string type = LowerText(fileName.substr(dot + 1));
  return type == "pdf" || type == "svg" || type == "png" ? type : "";
}

bool ParseImageSize(std::string_view text, int& width, int& height) {
  const auto x = text.find_first_of("xX*");
  if (x == std::string_view::npos) return false;
  int w = 0, h = 0;
  if (!Side(text.substr(0, x), w) || !Side(text.substr(x + 1), h)) return false;
  width = w;
  height = h;
  return true;
}

bool ParseExportArgs(const std::vector<std::string>& args, ExportRequest& request, std::string& error) {
  bool asked = false, sized = false;
  error.clear();
  std::vector<std::string> rest;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    const bool hasValue = i + 1 < args.size();
    if (a == "--export") {
      asked = true;
      if (hasValue) request.output = args[++i];
    } else if (a == "--size") {
      sized = true;
      if (!hasValue || !ParseImageSize(args[++i], request.width, request.height))
        error = "--size : largeur x hauteur attendues, de 1 " "\x85" " " + std::to_string(MaxImageSide);
    } else {
      rest.push_back(a);
    }
  }
  if (!asked) return false;
  if (!error.empty()) return true;
  if (ExportType(request.output).empty())
    error = "--export : nom du fichier .pdf, .svg ou .png attendu";
  else if (rest.size() != 1)
    error = "--export : un seul dessin attendu";
  else if (sized && ExportType(request.output) != "png")
    error = "--size : seulement pour une image .png";
  else
    request.drawing = rest[0];
  return true;
}

}  // namespace planox
