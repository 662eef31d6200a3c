#include "drawing/dxfout.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <charconv>
#include <cmath>

#include "base/session.h"
#include "base/textconv.h"

namespace planox {

std::string DxfRealText(double x) {
  int decimals = Settings.DxfDecimals;
  if (decimals < 1 || decimals > 32) decimals = 6;
  if (std::fabs(x) < 0.00000001) x = 0;  // no "-0.000000"
  if (std::isfinite(x)) {
    std::string s;
    AppendFixed(s, x, decimals);
    return s;
  }
  char buf[400];
  auto r = std::to_chars(buf, buf + sizeof buf, x, std::chars_format::fixed, decimals);
  if (r.ec != std::errc()) return "0." + std::string(decimals, '0');
  return std::string(buf, r.ptr);
}

namespace {

// RealToText with a decimal point whatever the separator setting.
std::string PointReal(double x) { return ReplaceChar(RealToText(x), ',', '.'); }

}  // namespace

DxfWriter::~DxfWriter() { Close(); }

void DxfWriter::Close() {
  if (out_ && owned_) {
    if (std::fclose(out_) != 0) failed_ = true;
  }
  out_ = nullptr;
  owned_ = false;
}

bool DxfWriter::Create(const std::string& name) {
  Close();
  failed_ = false;
  // Never through a link, and never into a FIFO or a device planted under
  // the name: only a regular file is written.
  int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC, 0666);
  struct stat st;
  if (fd >= 0 && (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode))) {
    ::close(fd);
    fd = -1;
  }
  if (fd >= 0) fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK);
  out_ = fd >= 0 ? fdopen(fd, "wb") : nullptr;
  if (!out_ && fd >= 0) ::close(fd);
  owned_ = out_ != nullptr;
  return out_ != nullptr;
}

void DxfWriter::Attach(std::FILE* stream) {
  Close();
  failed_ = false;
  out_ = stream;
  owned_ = false;
}

void DxfWriter::WriteGroup(int code, std::string_view value) {
  if (copy_) copy_->push_back({code, std::string(value)});
  if (!out_) return;
  line_ = IntToTextBlank(code, 3);
  line_ += "\r\n";
  line_.append(value);
  line_ += "\r\n";
  if (std::fwrite(line_.data(), 1, line_.size(), out_) != line_.size()) failed_ = true;
}

void DxfWriter::WriteReal(int code, double x) { WriteGroup(code, DxfRealText(x)); }
void DxfWriter::WriteInt(int code, long long n) { WriteGroup(code, IntToText(n)); }

void DxfWriter::DxfSetLayer(std::string_view name) { layer_.assign(name.substr(0, 32)); }

void DxfWriter::DxfLine(double x1, double y1, double x2, double y2) {
  WriteGroup(0, "LINE");
  WriteGroup(8, layer_);
  WriteReal(10, x1);
  WriteReal(20, y1);
  WriteReal(11, x2);
  WriteReal(21, y2);
}

void DxfWriter::DxfCircle(double cx, double cy, double r) {
  WriteGroup(0, "CIRCLE");
  WriteGroup(8, layer_);
  WriteReal(10, cx);
  WriteReal(20, cy);
  WriteReal(40, r);
}

void DxfWriter::DxfArc(double cx, double cy, double start, double end, double r) {
  auto near = [](double a, double b) { return std::fabs(a - b) < 0.00001; };
  if (start == end || (near(start, 0) && near(end, 360)) || (near(start, 360) && near(end, 0))) {
    DxfCircle(cx, cy, r);
    return;
  }
  WriteGroup(0, "ARC");
  WriteGroup(8, layer_);
  WriteReal(10, cx);
  WriteReal(20, cy);
  WriteReal(40, r);
  WriteReal(50, start);
  WriteReal(51, end);
}

void DxfWriter::DxfTextStyle(double width, double height, double angle) {
  textHeight_ = height;
  double ratio = static_cast<double>(Settings.TextWidthRatio);
  textWidthFactor_ = height > 0 ? width / height * ratio : ratio;
  textAngle_ = angle;
  textSlant_ = 0;  // no slant setting is configured
}

void DxfWriter::DxfText(std::string_view text, double x, double y) {
  WriteGroup(0, "TEXT");
  WriteGroup(8, layer_);
  WriteReal(10, x);
  WriteReal(20, y);
  WriteReal(40, textHeight_);
  WriteGroup(1, ConvertOutputText(text));
  WriteGroup(7, "STANDARD");
  WriteGroup(41, PointReal(textWidthFactor_));
  WriteGroup(50, PointReal(textAngle_));
  WriteGroup(51, PointReal(textSlant_));
}

void DxfWriter::DxfSolid(double x1, double y1, double x2, double y2, double x3, double y3,
                         double x4, double y4) {
  WriteGroup(0, "SOLID");
  WriteGroup(8, layer_);
  WriteReal(10, x1);
  WriteReal(20, y1);
  WriteReal(11, x2);
  WriteReal(21, y2);
  WriteReal(12, x3);
  WriteReal(22, y3);
  WriteReal(13, x4);
  WriteReal(23, y4);
}

void DxfWriter::DxfInsert(std::string_view name, double x, double y, double xScale,
                          double yScale, double rotation) {
  WriteGroup(0, "INSERT");
  WriteGroup(8, layer_);
  WriteGroup(2, name);
  WriteReal(10, x);
  WriteReal(20, y);
  WriteReal(41, xScale);
  WriteReal(42, yScale);
  WriteReal(50, rotation);
}

void DxfWriter::DxfEnd() {
  WriteGroup(0, "EOF");
  if (out_ && std::fflush(out_) != 0) failed_ = true;
  Close();
}

}  // namespace planox
