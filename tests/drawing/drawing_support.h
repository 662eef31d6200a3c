// Shared pieces of the drawing tests: a sink that records every graphics
// and plot call with its arguments, a fixture with a private temporary
// directory, and helpers that build small DXF texts.
#pragma once

#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "base/session.h"
#include "base/startup.h"
#include "convert/plot.h"
#include "drawing/dxfin.h"
#include "drawing/sinks.h"
#include "support/testsupport.h"

namespace planox::test {

// Numbers in records: 10 significant digits, tiny values as 0.
inline std::string Num(double x) {
  if (std::fabs(x) < 1e-9) x = 0;
  char b[64];
  std::snprintf(b, sizeof b, "%.10g", x);
  return b;
}

class RecordingSink final : public GraphicsSink, public PlotSink {
 public:
  std::vector<std::string> calls;
  bool failPlotBegin = false;

  // The records whose name starts with prefix, in order.
  std::vector<std::string> Only(const std::string& prefix) const {
    std::vector<std::string> r;
    for (const auto& c : calls)
      if (c.compare(0, prefix.size(), prefix) == 0) r.push_back(c);
    return r;
  }

  void H_ClearViewPort() override { add("H_ClearViewPort()"); }
  void H_SetLineStyleName(const std::string& name) override {
    add("H_SetLineStyleName(" + name + ")");
  }
  void H_SetColor(int n) override { add("H_SetColor(" + std::to_string(n) + ")"); }
  void H_Line(double x1, double y1, double x2, double y2) override {
    add("H_Line(" + L({x1, y1, x2, y2}) + ")");
  }
  void H_Circle(double x, double y, double r) override { add("H_Circle(" + L({x, y, r}) + ")"); }
  void H_Arc(double x, double y, double a, double b, double r) override {
    add("H_Arc(" + L({x, y, a, b, r}) + ")");
  }
  void H_Solid(double x1, double y1, double x2, double y2, double x3, double y3, double x4,
               double y4) override {
    add("H_Solid(" + L({x1, y1, x2, y2, x3, y3, x4, y4}) + ")");
  }
  void H_SetTextStyle(int font, double angle, double height, double width) override {
    add("H_SetTextStyle(" + std::to_string(font) + "," + L({angle, height, width}) + ")");
  }
  void H_SetTextJustify(int h, int v) override {
    add("H_SetTextJustify(" + std::to_string(h) + "," + std::to_string(v) + ")");
  }
  void H_OutTextXY(double x, double y, const std::string& text) override {
    add("H_OutTextXY(" + L({x, y}) + "," + text + ")");
  }

  void PlotBegin(int s, int d) override {
    add("PlotBegin(" + std::to_string(s) + "," + std::to_string(d) + ")");
    if (failPlotBegin) Session.AbortFlag = true;
  }
  void PlotEnd() override { add("PlotEnd()"); }
  void PlotAbort() override { add("PlotAbort()"); }
  void PlotRotate(int a) override { add("PlotRotate(" + std::to_string(a) + ")"); }
  void PlotSelectPen(int p) override { add("PlotSelectPen(" + std::to_string(p) + ")"); }
  void PlotLineType(int c) override { add("PlotLineType(" + std::to_string(c) + ")"); }
  void PlotMoveTo(bool f, double x, double y) override {
    add("PlotMoveTo(" + std::to_string(f) + "," + L({x, y}) + ")");
  }
  void PlotDrawTo(bool f, double x, double y) override {
    add("PlotDrawTo(" + std::to_string(f) + "," + L({x, y}) + ")");
  }
  void PlotLine(double x1, double y1, double x2, double y2) override {
    add("PlotLine(" + L({x1, y1, x2, y2}) + ")");
  }
  void PlotCircle(double x, double y, double r) override {
    add("PlotCircle(" + L({x, y, r}) + ")");
  }
  void PlotArc(double x, double y, double a, double b, double r, double d) override {
    add("PlotArc(" + L({x, y, a, b, r, d}) + ")");
  }
  void PlotSolid(double x1, double y1, double x2, double y2, double x3, double y3, double x4,
                 double y4) override {
    add("PlotSolid(" + L({x1, y1, x2, y2, x3, y3, x4, y4}) + ")");
  }
  void PlotTextStyle(int font, double angle, double height, double width) override {
    add("PlotTextStyle(" + std::to_string(font) + "," + L({angle, height, width}) + ")");
  }
  void PlotTextAlign(int h, int v) override {
    add("PlotTextAlign(" + std::to_string(h) + "," + std::to_string(v) + ")");
  }
  std::vector<std::string> PlotOutputFiles(int syntaxCode, int deviceCode) const override {
    return planox::PlotOutputFiles(syntaxCode, deviceCode);
  }
  void PlotText(const std::string& text, double x, double y) override {
    add("PlotText(" + text + "," + L({x, y}) + ")");
  }

 private:
  void add(std::string s) { calls.push_back(std::move(s)); }
  static std::string L(std::initializer_list<double> v) {
    std::string s;
    for (double x : v) s += (s.empty() ? "" : ",") + Num(x);
    return s;
  }
};

// One group pair as a DXF text (LF line ends).
inline std::string G(int code, const std::string& value) {
  return std::to_string(code) + "\n" + value + "\n";
}
inline std::string G(int code, double value) { return G(code, Num(value)); }

inline std::string Section(const std::string& name, const std::string& body) {
  return G(0, "SECTION") + G(2, name) + body + G(0, "ENDSEC");
}
inline std::string Line(double x1, double y1, double x2, double y2,
                        const std::string& layer = "0") {
  return G(0, "LINE") + G(8, layer) + G(10, x1) + G(20, y1) + G(11, x2) + G(21, y2);
}
inline std::string LayerEntry(const std::string& name, int colour,
                              const std::string& ltype = "CONTINUOUS", int flags = 0) {
  return G(0, "LAYER") + G(2, name) + G(70, std::to_string(flags)) +
         G(62, std::to_string(colour)) + G(6, ltype);
}
inline std::string Block(const std::string& name, const std::string& entities) {
  return G(0, "BLOCK") + G(8, "0") + G(2, name) + G(70, "0") + G(10, 0.0) + G(20, 0.0) +
         entities + G(0, "ENDBLK");
}
inline std::string Insert(const std::string& name, double x, double y, double rot = 0,
                          double sx = 1, double sy = 1) {
  return G(0, "INSERT") + G(8, "0") + G(2, name) + G(10, x) + G(20, y) + G(41, sx) + G(42, sy) +
         G(50, rot);
}
inline std::string Eof() { return G(0, "EOF"); }

class DrawingTest : public Defaults {
 protected:
  void SetUp() override {
    Defaults::SetUp();
    Settings.TempDir = tmp.path();
    Session.InPath = tmp.path();
    SetGraphicsSink(&rec);
    SetPlotSink(&rec);
  }
  void TearDown() override {
    SetGraphicsSink(nullptr);
    SetPlotSink(nullptr);
    ForgetBlockFiles();
    RemoveWorkDir();
    Defaults::TearDown();
  }
  // Writes the drawing as name.dxf in the temporary directory and makes it
  // the current drawing.
  void Use(const std::string& dxf, const std::string& name = "T") {
    WriteFile(tmp.file(name + ".dxf"), dxf);
    Session.DrawingName = name;
    Session.FileExtension = "dxf";
  }
  void Read(const std::string& dxf, int mode, const std::string& block = "") {
    Use(dxf);
    ReadDrawing(mode, block);
  }
  // The texts of the message boxes shown so far.
  std::vector<std::string> Boxes() const { return ui.boxTexts(); }

  TempDir tmp;
  RecordingSink rec;
};

}  // namespace planox::test
