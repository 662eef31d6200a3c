// The entity operations of the DXF writer: group pairs (code right-aligned
// in three characters, value on the next line, CR LF after each) written to
// one output stream. Block work files are written with them, and the DXF
// conversion target builds its header and tables on the same group writer.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

namespace planox {

// One group pair as written, for callers that keep a copy in memory.
struct DxfGroup {
  int code = 0;
  std::string value;
};

// A real value line: DxfDecimals fixed decimals, always with a point.
std::string DxfRealText(double x);

class DxfWriter {
 public:
  DxfWriter() = default;
  ~DxfWriter();
  DxfWriter(const DxfWriter&) = delete;
  DxfWriter& operator=(const DxfWriter&) = delete;

  // Creates (truncates) the named file as the output; false on failure or
  // when the name is a link or something other than a regular file.
  // DxfEnd closes it.
  bool Create(const std::string& name);
  // Writes to a stream the caller opened and closes; DxfEnd leaves it open.
  void Attach(std::FILE* stream);
  // Every group written from now on is also appended to copy (nullptr stops).
  void SetCopy(std::vector<DxfGroup>* copy) { copy_ = copy; }
  bool IsOpen() const { return out_ != nullptr; }
  // True once a write has failed since Create or Attach.
  bool Failed() const { return failed_; }

  void WriteGroup(int code, std::string_view value);
  void WriteReal(int code, double x);
  void WriteInt(int code, long long n);

  void DxfSetLayer(std::string_view name);
  void DxfLine(double x1, double y1, double x2, double y2);
  void DxfCircle(double cx, double cy, double r);
  void DxfArc(double cx, double cy, double start, double end, double r);
  void DxfTextStyle(double width, double height, double angle);
  void DxfText(std::string_view text, double x, double y);
  // Corners in the order they are to be stored in 10/20 .. 13/23.
  void DxfSolid(double x1, double y1, double x2, double y2, double x3, double y3, double x4,
                double y4);
  void DxfInsert(std::string_view name, double x, double y, double xScale, double yScale,
                 double rotation);
  // "0"/"EOF", then closes a file opened with Create.
  void DxfEnd();

  const std::string& LayerName() const { return layer_; }

 private:
  void Close();

  std::FILE* out_ = nullptr;
  bool owned_ = false;
  bool failed_ = false;
  std::vector<DxfGroup>* copy_ = nullptr;
  std::string line_;
  std::string layer_ = "0";
  double textHeight_ = 0, textWidthFactor_ = 1, textAngle_ = 0, textSlant_ = 0;
};

}  // namespace planox
