// The graphics window's core: the retained display list, the world-to-pixel
// mapping with zoom and pan, the recording primitives, the replay onto a
// canvas, the key and mouse arithmetic of the view control, and the drawing
// interface QuorGraf that the rest of the program draws through.
//
// Ownership and wiring:
// - GraphWindow holds the state of the graphics window (mapping, caches,
//   mouse state, KeyAction). The Qt window TFquorgra owns one GraphWindow
//   (TFquorgra::graph()) and registers itself as its WindowHost, through
//   which the core asks for repaints, the wait cursor, message pauses and
//   the MoveTo/LineTo and rubber-band overlays.
// - QuorGraf is the drawing interface. It is made on a GraphWindow:
//   the main window (which is the TFquorgra) creates it with
//   `new QuorGraf(graph())` or as a member `QuorGraf quor{graph()}` and
//   then calls H_Init. H_Init gives the window the display list that the
//   QuorGraf owns and registers the object as the entity emitters'
//   GraphicsSink; H_Done (or the destructor) takes both back.
// - Core tests make a GraphWindow without a host; everything records and
//   maps, nothing is shown.
#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "display/lstyle.h"
#include "drawing/sinks.h"

namespace planox {

// Display record codes.
enum : int {
  RecCircle = 3,
  RecLine = 4,
  RecArc = 5,
  RecText = 6,
  RecSolid = 7,
  RecColor = 8,
  RecTextStyle = 9,
  RecWindow = 10,
  RecLineStyle = 11,
  RecLineWidth = 12,
  RecSleep = 13,
};

// A real as a display record writes it: general format, 8 significant
// digits, at least 2 exponent digits ("1.2345679E15", "-0.001", "1E-07").
std::string RecordReal(double x);
// The value a real has once written into a record and read back.
double RecordValue(double x);
// True when every number within `error` of x has the record value of x.
bool RecordValueSettled(double x, double error);

// A growing array kept in blocks of 2^Shift elements: appending never moves
// what it holds, so a long array is neither copied on its way up nor held
// twice, and a run taken at once (at most a block) stays in one block.
template <class T, unsigned Shift>
class BlockArray {
 public:
  static constexpr size_t kBlock = size_t(1) << Shift;
  size_t size() const { return size_; }
  void clear() {
    blocks_.clear();
    size_ = 0;
  }
  T& operator[](size_t i) { return blocks_[i >> Shift][i & (kBlock - 1)]; }
  const T& operator[](size_t i) const { return blocks_[i >> Shift][i & (kBlock - 1)]; }
  // Room for n consecutive elements (n at most kBlock); the index of the
  // first, which is inside a block even for n = 0. The rest of a block too
  // full for them stays unused.
  size_t extend(size_t n) {
    if (size_ + std::max<size_t>(n, 1) > blocks_.size() * kBlock) {
      size_ = blocks_.size() * kBlock;
      blocks_.push_back(std::make_unique_for_overwrite<T[]>(kBlock));
    }
    const size_t first = size_;
    size_ += n;
    return first;
  }
  void push_back(const T& v) { (*this)[extend(1)] = v; }

 private:
  std::vector<std::unique_ptr<T[]>> blocks_;
  size_t size_ = 0;
};

// The display list. Records are held in a compact binary form (code and
// fields, reals already cut to 8 significant digits); line(i) gives the
// text record and appendLine() reads one, so both forms are equivalent.
class DisplayList {
 public:
  void clear();
  size_t size() const { return recs_.size(); }
  bool empty() const { return recs_.size() == 0; }

  // A record with numeric fields; reals are cut to record precision.
  void append(int code, std::initializer_list<double> fields);
  void appendText(double x, double y, std::string text);  // code 6
  // Reads a text record: the code before the first ";" (unreadable: 0),
  // then the fields; unreadable numbers count as 0; a code 6 text is the
  // rest of the line.
  void appendLine(std::string_view line);
  // Changes field k of record i (k below its field count).
  void setField(size_t i, int k, double value);

  int code(size_t i) const { return recs_[i].code; }
  int fieldCount(size_t i) const { return recs_[i].count; }
  const double* fields(size_t i) const { return &values_[recs_[i].first]; }
  double field(size_t i, int k) const { return k < recs_[i].count ? fields(i)[k] : 0.0; }
  const std::string& text(size_t i) const;  // code 6 (or the raw line of code 0)
  std::string line(size_t i) const;

 private:
  // A record: its code, its field count and where its fields start in
  // values_. A text record (code 6) and a record of an unknown code (0,
  // no fields) have the index of their text in texts_ after their fields.
  struct Rec {
    uint32_t first;
    int16_t code;
    uint8_t count;
  };
  // Takes room for n fields; false when the list cannot take more.
  bool room(size_t n, uint32_t& first);
  BlockArray<Rec, 16> recs_;
  BlockArray<double, 16> values_;
  std::vector<std::string> texts_;
};

// Where the replay draws. Coordinates are device pixels.
enum class PenStyle { Solid, Dot, DashDot, Dash };

struct TextFont {
  std::string face;
  int height = 0;      // cell height in pixels
  int width = 0;       // average character width in pixels (0: natural)
  int escapement = 0;  // tenths of a degree, counter-clockwise
  int weight = 100;    // 100 thin .. 700 bold
  bool italic = false, underline = false, strikeOut = false;
};

class Canvas {
 public:
  virtual ~Canvas() = default;
  virtual int width() const = 0;
  virtual int height() const = 0;
  virtual void setPen(Rgb colour, PenStyle style, int width) = 0;
  virtual void line(int x1, int y1, int x2, int y2) = 0;
  // Outline ellipse in the box (no fill).
  virtual void ellipse(int left, int top, int right, int bottom) = 0;
  // Elliptic arc in the box, counter-clockwise on the screen from the ray
  // through (xs, ys) to the ray through (xe, ye).
  virtual void arc(int left, int top, int right, int bottom, int xs, int ys, int xe, int ye) = 0;
  // Filled polygon through four points (x, y pairs) in the fill colour.
  virtual void polygon(const int (&xy)[8], Rgb fill) = 0;
  // Text whose cell has its top-left corner at (x, y); transparent.
  virtual void text(int x, int y, const TextFont& font, Rgb colour, const std::string& utf8) = 0;
};

// A canvas of a given size that draws nothing: the side of a replay whose
// drawing nobody sees.
class NullCanvas : public Canvas {
 public:
  NullCanvas(int width = 0, int height = 0) : width_(width), height_(height) {}
  int width() const override { return width_; }
  int height() const override { return height_; }
  void setPen(Rgb, PenStyle, int) override {}
  void line(int, int, int, int) override {}
  void ellipse(int, int, int, int) override {}
  void arc(int, int, int, int, int, int, int, int) override {}
  void polygon(const int (&)[8], Rgb) override {}
  void text(int, int, const TextFont&, Rgb, const std::string&) override {}

 private:
  int width_, height_;
};

// The printer as a second replay target: its canvas, printable page size
// in device pixels, print scales and origin in millimetres.
struct PrinterTarget {
  Canvas* canvas = nullptr;
  long double pageWidth = 0, pageHeight = 0;
  long double scaleX = 1, scaleY = 1;
  long double originX = 0, originY = 0;
  bool border = false;
};

// What the core asks of the window that shows it.
class WindowHost {
 public:
  virtual ~WindowHost() = default;
  virtual void invalidateWindow() = 0;  // request a repaint
  virtual void processMessages() = 0;   // let pending window messages through
  virtual void setWaitCursor(bool on) = 0;
  // Immediate drawing that is not recorded: shown over the drawing until
  // the next repaint.
  virtual void overlayLine(int x1, int y1, int x2, int y2, Rgb colour) = 0;
  virtual void bandChanged() = 0;  // rubber band started, moved or ended
  virtual void sleepMs(int ms) = 0;
};

struct Rect32 {
  int32_t left = 0, top = 0, right = 0, bottom = 0;
  friend bool operator==(const Rect32&, const Rect32&) = default;
};

struct WorldWindow {
  long double xmin = 0, ymin = 0, xmax = 1, ymax = 1;
};

// Rounding of a real to a pixel: nearest, ties to even, clamped to the
// 32-bit range (not-a-number gives 0).
int32_t RoundPixel(long double v);

// Mouse buttons of FormMouseDown.
enum class MouseButton { Left, Right, Middle };

class GraphWindow {
 public:
  GraphWindow();

  void setHost(WindowHost* host) { host_ = host; }
  WindowHost* host() const { return host_; }
  void setList(DisplayList* list) { list_ = list; }
  DisplayList* list() const { return list_; }

  // Drawing area W x H (Settings.ScreenWidth / ScreenHeight once resolved).
  void SetDrawingArea(int w, int h);
  // A new drawing area for a resized window: every window record and the
  // current view are mapped anew onto it (the same world windows and the
  // same zoomed part of them).
  void Resize(int w, int h);
  int W() const { return W_; }
  int H() const { return H_; }

  // Window operations.
  void SetWindow(long double vx1, long double vy1, long double vx2, long double vy2, long double xmin,
                 long double ymin, long double xmax, long double ymax, bool keepAspect, bool inset);
  void SetScale(int32_t left, int32_t top, int32_t right, int32_t bottom);
  void Header(long double xmin, long double ymin, long double xmax, long double ymax);
  void SaveLimit();
  void RestoreLimit();
  void ReSetWindow();
  void ResetZoom();
  void SaveViewPort();
  void RetrieveViewPort();
  void Regen();
  void Clear();
  void ClearViewPort();

  // Recording primitives (world coordinates).
  void line(long double x1, long double y1, long double x2, long double y2);
  void circle(long double x, long double y, long double radius);
  void Arc(long double x, long double y, long double startAngle, long double endAngle, long double radius);
  void OutTextXY(long double x, long double y, const std::string& utf8);
  void Solid(long double x1, long double y1, long double x2, long double y2, long double x3, long double y3,
             long double x4, long double y4);
  void Rectangle(long double x1, long double y1, long double x2, long double y2);
  void MoveTo(long double x, long double y);
  void LineTo(long double x, long double y);

  // State.
  void SetColor(int n);
  int GetColor() const { return colour_; }
  void SetColorAcad(int n) { SetColor(GetColorTurbo(n)); }
  void SetLineStyle(int n);
  void SetLineStyleName(std::string_view name) { SetLineStyle(ScreenLineStyle(name)); }
  void SetLineWidth(int n);
  void SetTextStyle(int font, long double angle, long double height, long double width);
  void SetTextSizeMode(int n) { TextSizeMode = n; }
  void SleepMs(int n);

  long double EinX(long double f) const { return f * (world_.xmax - world_.xmin); }
  long double EinY(long double f) const { return f * (world_.ymax - world_.ymin); }
  static bool GetDirection(long double angle);
  void SetWaitCursor();
  void SetOldCursor();
  void DrawQuorvelLogo();

  // Mapping.
  int32_t X(long double x) const;
  int32_t Y(long double y) const;
  long double scaleX() const { return scaleX_; }
  long double scaleY() const { return scaleY_; }
  long double x0() const { return x0_; }
  long double y0() const { return y0_; }
  const Rect32& ViewportPixels() const { return vp_; }
  const Rect32& ZoomRect() const { return zoom_; }
  const WorldWindow& World() const { return world_; }
  bool keepAspect() const { return keepAspect_; }

  // Replay (FormPaint): draws the whole list onto the window canvas and,
  // with a printer target, the graphics on the printer as well and the
  // texts on the printer only. The list is replayed from its first record;
  // with a host, pending messages are let through every 50000 records.
  // Returns false when the replay stopped early: a zero-size window record
  // (AbortFlag is set) or cancelReplay() during a message pause.
  bool Replay(Canvas& window, const PrinterTarget* printer = nullptr);
  void cancelReplay() { cancel_ = true; }
  bool replaying() const { return replaying_; }
  // The mapping and the list for a replay of its own (a printed page):
  // no host, and free to replay while this window's replay is pausing for
  // messages.
  GraphWindow PageCopy() const;

  // View control (virtual key codes of the original keyboard table:
  // 27 Escape, 116 F5, 33 Page Up, 34 Page Down, 37..40 arrows,
  // 107 keypad +, 109 keypad -).
  void processKey(int key);
  void FormMouseDown(MouseButton button, int x, int y);
  void FormMouseMove(int x, int y);
  void FormMouseUp(int x, int y);
  void FormDblClick() { doubleClick_ = true; }
  bool dragging() const { return dragging_; }
  int bandStartX() const { return startX_; }
  int bandStartY() const { return startY_; }
  int bandEndX() const { return endX_; }
  int bandEndY() const { return endY_; }

  // Mouse habits of desktop programs, on the same zoom rectangle as the
  // keys and the rubber band but kept to fractions of a unit, so that the
  // point under the cursor stays exactly under it however deep the zoom.
  // Positions and distances are client pixels. Both request a repaint.
  // ZoomAt: factor > 1 zooms in about the pixel (px, py).
  void ZoomAt(int px, int py, long double factor);
  // PanBy: the drawing follows the mouse by (dx, dy) pixels.
  void PanBy(int dx, int dy);
  // The world point shown at a client pixel.
  void WorldAt(int px, int py, long double& x, long double& y) const;
  // The current scale against the whole viewport's (1 after ResetZoom).
  long double ZoomFactor() const;

  // Module state that other parts read or set.
  std::array<char, 2> KeyAction{'0', '0'};
  WorldWindow DrawingLimits;
  bool Printing = false;
  int TextSizeMode = 0;
  static constexpr int MaxColour = 16;
  int TextStyleFlags = 0;  // 1 bold, 2 italic, 4 underline, 8 strike-out

 private:
  // A viewport as SetWindow takes it: fractions of the drawing area, the
  // one-pixel inset and whether world units are square.
  struct Viewport {
    long double vx1 = 0, vy1 = 0, vx2 = 1, vy2 = 1;
    bool inset = false;
    bool keepAspect = true;
  };
  Rect32 viewportOf(const Viewport& f) const;
  struct RectReal {
    long double left = 0, top = 0, right = 640, bottom = 480;
  };
  void record(int code, std::initializer_list<double> fields);
  void apply(const RectReal& r);
  // False (and nothing changed) for a rectangle too small to be shown.
  bool setZoomExact(const RectReal& r);

  WindowHost* host_ = nullptr;
  DisplayList* list_ = nullptr;
  int W_ = 640, H_ = 480;
  Rect32 vp_{0, 0, 1, 1};
  Viewport viewport_;
  // The window records of the display list with their viewports, so that a
  // resize can map them anew and a replay maps what follows each one with
  // its own aspect rule.
  std::vector<std::pair<size_t, Viewport>> windowRecords_;
  Rect32 savedVp_{0, 0, 1, 1};
  WorldWindow world_;
  Rect32 zoom_{0, 0, 640, 480};
  RectReal zoomExact_;  // zoom_ with the fractions the mouse zoom and pan keep
  long double x0_ = 0, y0_ = 0, x1_ = 1, y1_ = 1;
  long double scaleX_ = 1, scaleY_ = 1;
  bool keepAspect_ = true;
  // Recording caches; -1 after Clear: nothing recorded yet.
  int colour_ = 0, style_ = 0, width_ = 0;
  // MoveTo / LineTo position in pixels.
  int32_t penX_ = 0, penY_ = 0;
  // Mouse.
  bool dragging_ = false, doubleClick_ = false;
  int startX_ = 0, startY_ = 0, endX_ = 0, endY_ = 0;
  // Replay.
  bool replaying_ = false, cancel_ = false;
};

// The drawing interface: one object for the program.
class QuorGraf : public GraphicsSink {
 public:
  explicit QuorGraf(GraphWindow& window) : w_(window) {}
  ~QuorGraf() override;

  GraphWindow& window() { return w_; }
  DisplayList& list() { return list_; }
  const WorldWindow& DrawingLimits() const { return w_.DrawingLimits; }

  void H_Init();
  void H_Done();
  void H_Clear() { w_.Clear(); }
  void H_SetWindow(double vx1, double vy1, double vx2, double vy2, double xmin, double ymin, double xmax,
                   double ymax, bool keepAspect, bool inset) {
    w_.SetWindow(vx1, vy1, vx2, vy2, xmin, ymin, xmax, ymax, keepAspect, inset);
  }
  void H_Header(double xmin, double ymin, double xmax, double ymax) { w_.Header(xmin, ymin, xmax, ymax); }
  void H_SaveLimit() { w_.SaveLimit(); }
  void H_Line(double x1, double y1, double x2, double y2) override { w_.line(x1, y1, x2, y2); }
  void H_Circle(double x, double y, double radius) override { w_.circle(x, y, radius); }
  void H_Arc(double x, double y, double startAngle, double endAngle, double radius) override {
    w_.Arc(x, y, startAngle, endAngle, radius);
  }
  void H_Solid(double x1, double y1, double x2, double y2, double x3, double y3, double x4,
               double y4) override {
    w_.Solid(x1, y1, x2, y2, x3, y3, x4, y4);
  }
  // Text in code page 850; converted for display before it is recorded.
  void H_OutTextXY(double x, double y, const std::string& text) override;
  void H_SetColor(int n) override { w_.SetColor(n); }
  void H_SetLineStyle(int n) { w_.SetLineStyle(n); }
  void H_SetLineStyleName(const std::string& name) override { w_.SetLineStyleName(name); }
  void H_SetTextStyle(int font, double angle, double height, double width) override {
    w_.SetTextStyle(font, angle, height, width);
  }
  void H_SetTextJustify(int, int) override {}
  void H_ClearViewPort() override { w_.ClearViewPort(); }
  void H_ResetZoom() { w_.ResetZoom(); }
  void H_Regen() { w_.Regen(); }
  void H_DrawLogo() { w_.DrawQuorvelLogo(); }
  void H_Message(const std::string& text);
  void H_CheckFile(const std::string& name);
  void H_SetWaitCursor() { w_.SetWaitCursor(); }
  void H_SetOldCursor() { w_.SetOldCursor(); }

 private:
  GraphWindow& w_;
  DisplayList list_;
};

}  // namespace planox
