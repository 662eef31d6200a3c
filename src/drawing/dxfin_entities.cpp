// The entity readers. Every entity is read by the same group-pair loop
// (ReadCodes): the entity's table of codes says which member each group
// code fills; the reader then works out the geometry and hands it to an
// emitter. The pairs come from the drawing file or from a block work file
// being replayed; each reader is made for both sources so that taking a
// pair costs no virtual call.
//
// Adding an entity: a struct with its members and its table of codes, a
// reader that emits it (see ReadLineEntity), and one row in EntityReaders.
#include <algorithm>
#include <cmath>
#include <span>

#include "base/prompts.h"
#include "base/session.h"
#include "base/textconv.h"
#include "base/vektor.h"
#include "drawing/dxfin_parts.h"

namespace planox {

namespace dxfin {
namespace {

// ------------------------------------------------------------ pair sources

// Group pairs from the drawing file.
class FileSource {
 public:
  // False when the read ended (AbortFlag set). The end of the file ends
  // the entity read so far as a "0" pair would; the read ends after it.
  bool Next() {
    ReadGroupPair();
    Sync();
    if (EndReached()) code = 0;
    return !Session.AbortFlag || EndReached();
  }
  long double Number() const { return Real(value); }
  int Layer() { return FindLayer(value); }
  static constexpr bool Replay() { return false; }
  // The current pair of the reader, without reading.
  void Sync() {
    code = GroupCode;
    value = GroupValue;
  }
  // The slot an entity has when it names no layer.
  int StartLayer(int fileDefault) const { return fileDefault; }
  int EntityLayer() { return Layer(); }

  int code = 0;
  std::string_view value;
};

// Group pairs from a block work file: coordinates then go through the
// insertion transform, and layers are the slot numbers the file carries.
class WorkSource {
 public:
  explicit WorkSource(const WorkFile& f) : file_(f) {}
  // False when the read ended: AbortFlag set, or the work file ran out.
  bool Next() {
    if (Session.AbortFlag || i_ >= file_.size()) {
      ended_ = true;
      return false;
    }
    const WorkPair& p = file_[i_++];
    code = p.code;
    value = p.value;
    number_ = p.number;
    return true;
  }
  long double Number() const { return number_; }
  // Work files carry the layer as slot number minus one; a name that is not
  // such a number is looked up like a drawing's layer name.
  int Layer() {
    int n = 0;
    bool digits = !value.empty() && value.size() <= 3;
    for (size_t k = 0; digits && k < value.size(); ++k) {
      const char c = value[k];
      digits = c >= '0' && c <= '9';
      n = n * 10 + (c - '0');
    }
    if (digits && n < MaxLayers) return n + 1;
    return FindLayer(value);
  }
  static constexpr bool Replay() { return true; }
  bool Ended() const { return ended_; }
  // An entity without a layer is on the layer last read in this file.
  int StartLayer(int) const { return levelLayer_; }
  int EntityLayer() { return levelLayer_ = Layer(); }

  int code = 0;
  std::string_view value;

 private:
  const WorkFile& file_;
  size_t i_ = 0;
  long double number_ = 0;
  bool ended_ = false;
  int levelLayer_ = 1;
};

// ------------------------------------------------------------ the loop

// What one group code of an entity fills, and how the value is read.
template <class E>
struct Code {
  enum Kind { Number, Text, Append, Whole, EntityLayer, OwnLayer, Each, EachText };
  constexpr Code(int c, long double E::*m) : code(c), kind(Number), number(m) {}
  // A text, or with kind Append every text of the code joined in order.
  constexpr Code(int c, std::string E::*m, Kind k = Text) : code(c), kind(k), text(m) {}
  // A whole number, or with kind EntityLayer or OwnLayer a layer slot.
  constexpr Code(int c, int32_t E::*m, Kind k = Whole) : code(c), kind(k), whole(m) {}
  // Every pair of the code, in order, handed to a member function with its
  // code and value: for entities that repeat codes (lists of points).
  constexpr Code(int c, void (E::*m)(int, long double)) : code(c), kind(Each), each(m) {}
  // The same for texts.
  constexpr Code(int c, void (E::*m)(int, std::string_view)) : code(c), kind(EachText), eachText(m) {}

  int code;
  Kind kind;
  union {
    long double E::*number;
    std::string E::*text;
    int32_t E::*whole;
    void (E::*each)(int, long double);
    void (E::*eachText)(int, std::string_view);
  };
};

// The layer of an entity: it also becomes the layer of the entities after
// it in a replayed block that name none.
template <class E>
constexpr Code<E> LayerCode(int32_t E::*slot) {
  return Code<E>(8, slot, Code<E>::EntityLayer);
}

// Reads the group pairs of one entity up to the next code-0 pair, storing
// every value its table names; the last pair of a code wins, codes the
// table does not name are skipped, and so is everything from group 101 on:
// an embedded object (the columns of an MTEXT) whose groups repeat the
// entity's codes with other meanings. False when the read ended first.
//
// GCC 12 warns of stores of a kind the entity's table never names (a real
// number into the small polyline header); those paths are never taken.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Warray-bounds"
template <class Source, class E>
bool ReadCodes(Source& s, E& e, std::span<const Code<E>> table) {
  bool embedded = false;
  for (;;) {
    if (!s.Next()) return false;
    if (s.code == 0) return true;
    if (s.code == 101) embedded = true;
    if (embedded) continue;
    for (const Code<E>& c : table) {
      if (c.code != s.code) continue;
      switch (c.kind) {
        case Code<E>::Number: e.*c.number = s.Number(); break;
        case Code<E>::Text: (e.*c.text).assign(std::string_view(s.value).substr(0, MaxTextLength)); break;
        case Code<E>::Append: {
          std::string& t = e.*c.text;
          if (t.size() < MaxTextLength) t.append(std::string_view(s.value).substr(0, MaxTextLength - t.size()));
          break;
        }
        case Code<E>::Whole: e.*c.whole = Int32(s.value); break;
        case Code<E>::EntityLayer: e.*c.whole = s.EntityLayer(); break;
        case Code<E>::OwnLayer: e.*c.whole = s.Layer(); break;
        case Code<E>::Each: (e.*c.each)(s.code, s.Number()); break;
        case Code<E>::EachText: (e.*c.eachText)(s.code, s.value.substr(0, MaxTextLength)); break;
      }
      break;
    }
  }
}
#pragma GCC diagnostic pop

// ------------------------------------------------------------ entities

struct LineEntity {
  int32_t slot = 0;
  long double x1 = 0, y1 = 0, x2 = 0, y2 = 0;
  static constexpr Code<LineEntity> codes[] = {
      LayerCode(&LineEntity::slot),  {10, &LineEntity::x1}, {20, &LineEntity::y1},
      {11, &LineEntity::x2}, {21, &LineEntity::y2}};
};

template <class Source>
void ReadLineEntity(Source& s, int mode) {
  LineEntity e;
  e.slot = s.StartLayer(1);
  if (!ReadCodes<Source, LineEntity>(s, e, e.codes)) return;
  if (s.Replay()) {
    Point a = TransformPoint(e.x1, e.y1), b = TransformPoint(e.x2, e.y2);
    e.x1 = a.x, e.y1 = a.y, e.x2 = b.x, e.y2 = b.y;
  }
  EmitLine(mode, e.slot, e.x1, e.y1, e.x2, e.y2);
}

// The extrusion direction of an entity drawn in its object coordinates.
struct Extrusion {
  long double ex = 0, ey = 0, ez = 1;
};

// The map from an entity's object coordinates to where it is drawn: the
// world plane, and through the insertion when a block is replayed.
template <class Source>
Affine EntityMap(const Extrusion& e) {
  Affine m = ObjectToWorld(e.ex, e.ey, e.ez);
  return Source::Replay() ? m.Then(BlockAffine()) : m;
}

// CIRCLE and ARC.
struct RoundEntity : Extrusion {
  int32_t slot = 0;
  long double cx = 0, cy = 0, r = 0, start = 0, end = 0;
  static constexpr Code<RoundEntity> codes[] = {
      LayerCode(&RoundEntity::slot), {10, &RoundEntity::cx},    {20, &RoundEntity::cy},
      {40, &RoundEntity::r},         {50, &RoundEntity::start}, {51, &RoundEntity::end},
      {210, &RoundEntity::ex},       {220, &RoundEntity::ey},   {230, &RoundEntity::ez}};
};

template <class Source>
void ReadCircleOrArc(Source& s, int mode, bool arc) {
  RoundEntity e;
  e.slot = s.StartLayer(1);
  if (!ReadCodes<Source, RoundEntity>(s, e, e.codes)) return;
  const Affine m = EntityMap<Source>(e);
  const Transform& t = BlockTransform;
  const bool flat = ObjectToWorld(e.ex, e.ey, e.ez).IsIdentity();
  if (!flat || (s.Replay() && !(t.ScaleX == t.ScaleY && t.ScaleX > 0))) {
    // Seen from below, mirrored or stretched by an insertion.
    EmitMappedArc(mode, e.slot, m, {{e.cx, e.cy}, e.r, e.start, e.end}, !arc);
    return;
  }
  if (s.Replay()) {
    Point c = TransformPoint(e.cx, e.cy);
    e.cx = c.x, e.cy = c.y;
    e.r *= t.ScaleX;
    e.start += t.Angle;
    e.end += t.Angle;
  }
  if (arc)
    EmitArc(mode, e.slot, e.cx, e.cy, e.r, e.start, e.end, 1);
  else
    EmitCircle(mode, e.slot, e.cx, e.cy, e.r);
}

template <class Source>
void ReadCircle(Source& s, int mode) {
  ReadCircleOrArc(s, mode, false);
}

template <class Source>
void ReadArc(Source& s, int mode) {
  ReadCircleOrArc(s, mode, true);
}

// A text value as the program holds it: texts of the drawing file are
// decoded, those of work files are held already.
template <class Source>
std::string TextValue(const std::string& raw) {
  return Source::Replay() ? raw : DecodeText(raw, DrawingEncoding());
}

// TEXT, and ATTRIB (whose vertical justification is group 74).
struct TextEntityCodes : Extrusion {
  int32_t slot = 0;
  std::string text;
  long double x = 0, y = 0, x2 = 0, y2 = 0, h = 3.5L, w = 1, rot = 0, oblique = 0;
  int32_t flags = 0, horizontal = 0, vertical = 0, attribute = 0;
  int32_t hasSecond = -1;
  void Second(int code, long double v) {
    (code == 11 ? x2 : y2) = v;
    hasSecond = 1;
  }
  static constexpr Code<TextEntityCodes> codes[] = {
      {1, &TextEntityCodes::text},    LayerCode(&TextEntityCodes::slot),
      {10, &TextEntityCodes::x},      {20, &TextEntityCodes::y},
      {11, &TextEntityCodes::Second}, {21, &TextEntityCodes::Second},
      {40, &TextEntityCodes::h},      {41, &TextEntityCodes::w},
      {50, &TextEntityCodes::rot},    {51, &TextEntityCodes::oblique},
      {71, &TextEntityCodes::flags},  {72, &TextEntityCodes::horizontal},
      {73, &TextEntityCodes::vertical},
      {210, &TextEntityCodes::ex},    {220, &TextEntityCodes::ey},
      {230, &TextEntityCodes::ez}};
  static constexpr Code<TextEntityCodes> attributeCodes[] = {
      {1, &TextEntityCodes::text},    LayerCode(&TextEntityCodes::slot),
      {10, &TextEntityCodes::x},      {20, &TextEntityCodes::y},
      {11, &TextEntityCodes::Second}, {21, &TextEntityCodes::Second},
      {40, &TextEntityCodes::h},      {41, &TextEntityCodes::w},
      {50, &TextEntityCodes::rot},    {51, &TextEntityCodes::oblique},
      {70, &TextEntityCodes::attribute}, {71, &TextEntityCodes::flags},
      {72, &TextEntityCodes::horizontal}, {74, &TextEntityCodes::vertical},
      {210, &TextEntityCodes::ex},    {220, &TextEntityCodes::ey},
      {230, &TextEntityCodes::ez}};
};

template <class Source>
void ReadTextOrAttribute(Source& s, int mode, bool attribute) {
  TextEntityCodes e;
  e.slot = s.StartLayer(1);
  using Table = std::span<const Code<TextEntityCodes>>;
  if (!ReadCodes<Source, TextEntityCodes>(s, e, attribute ? Table(e.attributeCodes) : Table(e.codes)))
    return;
  if (attribute && (e.attribute & 1)) return;  // an invisible attribute
  if (e.w == 0) e.w = 1;
  TextEntity t;
  t.text = TextValue<Source>(e.text);
  t.first = {e.x, e.y};
  t.second = {e.x2, e.y2};
  t.hasSecond = e.hasSecond > 0;
  t.height = e.h;
  t.widthFactor = e.w;
  t.rotation = e.rot;
  t.flags = e.flags;
  t.horizontal = e.horizontal;
  t.vertical = e.vertical;
  if (s.Replay()) {
    // Work files hold texts placed already.
    Point p = TransformPoint(e.x, e.y);
    EmitText(mode, e.slot, t.text, p.x, p.y, e.h * BlockTransform.ScaleY, e.w, e.rot, e.oblique);
    return;
  }
  const Affine m = ObjectToWorld(e.ex, e.ey, e.ez);
  if (!m.IsIdentity()) {
    // The text's up direction decides its turn; seen mirrored it runs backwards.
    t.first = m.Apply(t.first);
    t.second = m.Apply(t.second);
    long double a = DegToRad(t.rotation);
    Point up = m.Linear({-std::sin(a), std::cos(a)});
    t.rotation = RadToDeg(std::atan2(up.y, up.x)) - 90;
    if (m.Mirrors()) t.flags ^= 2;
  }
  EmitPlacedText(mode, e.slot, PlaceText(t), e.oblique);
}

template <class Source>
void ReadText(Source& s, int mode) {
  ReadTextOrAttribute(s, mode, false);
}

template <class Source>
void ReadAttribute(Source& s, int mode) {
  ReadTextOrAttribute(s, mode, true);
}

// MTEXT: the text in chunks (groups 3 in order, then 1), placed in lines.
struct MTextCodes {
  int32_t slot = 0;
  std::string text, chunks;
  long double x = 0, y = 0, dx = 0, dy = 0, h = 3.5L, width = 0, rot = 0, spacing = 1;
  int32_t attachment = 1;
  void Direction(int code, long double v) { (code == 11 ? dx : dy) = v; }
  static constexpr Code<MTextCodes> codes[] = {
      {1, &MTextCodes::text},        {3, &MTextCodes::chunks, Code<MTextCodes>::Append},     LayerCode(&MTextCodes::slot),
      {10, &MTextCodes::x},          {20, &MTextCodes::y},        {11, &MTextCodes::Direction},
      {21, &MTextCodes::Direction},  {40, &MTextCodes::h},        {41, &MTextCodes::width},
      {44, &MTextCodes::spacing},    {50, &MTextCodes::rot},      {71, &MTextCodes::attachment}};
};

template <class Source>
void EmitMText(const Source& s, int mode, int slot, MTextEntity m) {
  if (s.Replay()) {
    m.at = TransformPoint(m.at.x, m.at.y);
    m.height *= BlockTransform.ScaleY;
  }
  for (const PlacedText& t : PlaceMText(m)) EmitPlacedText(mode, slot, t);
}

template <class Source>
void ReadMText(Source& s, int mode) {
  MTextCodes e;
  e.slot = s.StartLayer(1);
  if (!ReadCodes<Source, MTextCodes>(s, e, e.codes)) return;
  MTextEntity m;
  m.lines = Source::Replay() ? std::vector<std::string>{e.text}
                             : MTextLines(e.chunks + e.text, DrawingEncoding());
  m.at = {e.x, e.y};
  m.height = e.h;
  m.boxWidth = e.width;
  m.rotation = e.dx != 0 || e.dy != 0 ? RadToDeg(std::atan2(e.dy, e.dx)) : e.rot;
  m.spacing = e.spacing;
  m.attachment = e.attachment;
  EmitMText(s, mode, e.slot, m);
}

// SOLID and TRACE: four corners.
struct SolidEntity : Extrusion {
  int32_t slot = 0;
  long double x1 = 0, y1 = 0, x2 = 0, y2 = 0, x3 = 0, y3 = 0, x4 = 0, y4 = 0;
  static constexpr Code<SolidEntity> codes[] = {
      LayerCode(&SolidEntity::slot), {10, &SolidEntity::x1}, {20, &SolidEntity::y1},
      {11, &SolidEntity::x2},        {21, &SolidEntity::y2}, {12, &SolidEntity::x3},
      {22, &SolidEntity::y3},        {13, &SolidEntity::x4}, {23, &SolidEntity::y4},
      {210, &SolidEntity::ex},       {220, &SolidEntity::ey}, {230, &SolidEntity::ez}};
};

template <class Source>
void ReadSolid(Source& s, int mode) {
  SolidEntity e;
  e.slot = s.StartLayer(0);
  if (!ReadCodes<Source, SolidEntity>(s, e, e.codes)) return;
  long double x[4] = {e.x1, e.x2, e.x3, e.x4}, y[4] = {e.y1, e.y2, e.y3, e.y4};
  if (s.Replay()) {
    // Work files hold the corners in outline order already.
    for (int i = 0; i < 4; ++i) {
      Point p = TransformPoint(x[i], y[i]);
      x[i] = p.x, y[i] = p.y;
    }
  } else {
    std::swap(x[2], x[3]);  // DXF order 1, 2, 3, 4 to the outline 1, 2, 4, 3
    std::swap(y[2], y[3]);
    const Affine m = ObjectToWorld(e.ex, e.ey, e.ez);
    for (int i = 0; i < 4 && !m.IsIdentity(); ++i) {
      Point p = m.Apply({x[i], y[i]});
      x[i] = p.x, y[i] = p.y;
    }
  }
  EmitSolid(mode, e.slot, x, y);
}

// POLYLINE: the header, then VERTEX entities up to SEQEND.
struct PolylineEntity : Extrusion {
  int32_t slot = 0;
  int32_t flags = 0;
  static constexpr Code<PolylineEntity> codes[] = {
      LayerCode(&PolylineEntity::slot), {70, &PolylineEntity::flags},
      {210, &PolylineEntity::ex},       {220, &PolylineEntity::ey},
      {230, &PolylineEntity::ez}};
};

// A vertex's layer (0: none given) is its own: it does not carry over to
// the entities after it.
struct Vertex {
  int32_t layer = 0;
  long double x = 0, y = 0, bulge = 0;
  static constexpr Code<Vertex> codes[] = {Code<Vertex>(8, &Vertex::layer, Code<Vertex>::OwnLayer),
                                           {10, &Vertex::x},
                                           {20, &Vertex::y},
                                           {42, &Vertex::bulge}};
  // The included angle of the segment to the next vertex, in degrees.
  long double Angle() const {
    return bulge == 0 ? 0 : RadToDeg(4 * std::atan(static_cast<double>(bulge)));
  }
};

// One polyline segment from p to q with the included angle a (degrees).
void EmitSegment(int mode, int slot, Point p, Point q, long double a) {
  if (a == 0) {
    EmitLine(mode, slot, p.x, p.y, q.x, q.y);
    return;
  }
  ArcGeometry arc;
  arc.centre = {(p.x + q.x) / 2, (p.y + q.y) / 2};
  GetArcCenter(p, q, DegToRad(a), arc);
  EmitArc(mode, slot, arc.centre.x, arc.centre.y, arc.radius, RadToDeg(arc.startAngle),
          RadToDeg(arc.endAngle), a);
}

// The same for a segment of object coordinates under a map: an arc that
// the map keeps round stays an arc (turned round when mirrored).
void EmitMappedSegment(int mode, int slot, const Affine& m, Point p, Point q, long double a) {
  if (m.IsIdentity()) {
    EmitSegment(mode, slot, p, q, a);
  } else if (a == 0 || m.KeepsCircles()) {
    EmitSegment(mode, slot, m.Apply(p), m.Apply(q), m.Mirrors() ? -a : a);
  } else {
    std::vector<Point> pts = BulgePoints(p, q, a, ChordTolerance() / m.MaxStretch());
    for (Point& x : pts) x = m.Apply(x);
    EmitPolyline(mode, slot, pts);
  }
}

template <class Source>
void ReadPolyline(Source& s, int mode) {
  PolylineEntity e;
  e.slot = s.StartLayer(0);
  if (!ReadCodes<Source, PolylineEntity>(s, e, e.codes)) return;
  if (!IsKeyword(s.value, "VERTEX")) {
    ReportError("Fehler in DXF-Datei Zeile " + IntToText(LineNumber));
    return;
  }
  const bool replay = s.Replay();
  // A mirroring insertion turns the bulges round.
  const long double turn =
      replay && BlockTransform.ScaleX * BlockTransform.ScaleY < 0 ? -1.0L : 1.0L;
  // Flat polylines lie in their object coordinates; 3D ones and meshes
  // (flags 8, 16, 64) in the world's.
  const Affine ocs = replay || (e.flags & (8 | 16 | 64)) ? Affine{} : ObjectToWorld(e.ex, e.ey, e.ez);
  auto place = [&](const Vertex& v) {
    return replay ? TransformPoint(v.x, v.y) : Point{v.x, v.y};
  };
  auto segment = [&](int slot, Point p, Point q, long double a) {
    EmitMappedSegment(mode, slot, ocs, p, q, a);
  };
  Vertex v;
  if (!ReadCodes<Source, Vertex>(s, v, v.codes)) return;
  Point p0 = place(v), p = p0;
  long double a = v.Angle() * turn;
  int layer = replay ? e.slot : 0;
  for (;;) {
    if (s.code != 0 || IsKeyword(s.value, "SEQEND")) break;
    // Without SEQEND the vertex list ends at the next entity.
    if (!IsKeyword(s.value, "VERTEX")) break;
    v = Vertex{};
    if (!ReadCodes<Source, Vertex>(s, v, v.codes)) return;
    if (v.layer != 0) layer = v.layer;
    Point q = place(v);
    segment(layer, p, q, a);
    p = q;
    a = v.Angle() * turn;
  }
  if (e.flags == 1) segment(e.slot, p, p0, a);
}

// INSERT, and DIMENSION drawn as the insertion of its block.
struct InsertEntity : Extrusion {
  int32_t slot = 0;
  std::string name;
  long double x = 0, y = 0, sx = 1, sy = 1, rot = 0, columnSpacing = 0, rowSpacing = 0;
  int32_t columns = 1, rows = 1;
  static constexpr Code<InsertEntity> codes[] = {
      {2, &InsertEntity::name},  LayerCode(&InsertEntity::slot), {10, &InsertEntity::x},
      {20, &InsertEntity::y},    {41, &InsertEntity::sx},        {42, &InsertEntity::sy},
      {50, &InsertEntity::rot},  {70, &InsertEntity::columns},   {71, &InsertEntity::rows},
      {44, &InsertEntity::columnSpacing}, {45, &InsertEntity::rowSpacing},
      {210, &InsertEntity::ex},  {220, &InsertEntity::ey},       {230, &InsertEntity::ez}};
  // A dimension's block holds the dimension as drawn; it goes at the
  // dimension's insertion point (12/22), neither scaled nor turned: groups
  // 41, 42 and 52 of a dimension are its text line spacing, its measured
  // value and the slant of its extension lines.
  static constexpr Code<InsertEntity> dimensionCodes[] = {
      {2, &InsertEntity::name}, LayerCode(&InsertEntity::slot), {12, &InsertEntity::x},
      {22, &InsertEntity::y}};
};

// An array of more insertions than this is drawn as its first ones only.
constexpr long kMaxArrayCells = 10000;

template <class Source>
void ReadInsertOrDimension(Source& s, int mode, bool dimension) {
  InsertEntity e;
  e.slot = s.StartLayer(1);
  using Table = std::span<const Code<InsertEntity>>;
  if (!ReadCodes<Source, InsertEntity>(s, e, dimension ? Table(e.dimensionCodes) : Table(e.codes)))
    return;
  const std::string& name = e.name;
  if (s.Replay()) {
    ReplayBlock(mode, name, e.x, e.y, e.rot, e.sx, e.sy);
    return;
  }
  // Seen from another side, the insertion is turned, and mirrored when
  // seen from below.
  const Affine m = ObjectToWorld(e.ex, e.ey, e.ez);
  long double rot = e.rot, sy = e.sy;
  if (!m.IsIdentity() && m.KeepsCircles()) {
    long double turn = RadToDeg(std::atan2(m.c, m.a));
    if (m.Mirrors()) {
      rot = turn - e.rot;
      sy = -e.sy;
    } else {
      rot = turn + e.rot;
    }
  }
  const long columns = std::clamp<long>(e.columns, 1, kMaxArrayCells);
  const long rows = std::clamp<long>(e.rows, 1, kMaxArrayCells / columns);
  const long double a = DegToRad(e.rot), c = std::cos(a), sn = std::sin(a);
  for (long r = 0; r < rows && !Session.AbortFlag; ++r) {
    for (long k = 0; k < columns && !Session.AbortFlag; ++k) {
      long double dx = k * e.columnSpacing, dy = r * e.rowSpacing;
      Point p{e.x + dx * c - dy * sn, e.y + dx * sn + dy * c};
      if (m.KeepsCircles()) p = m.Apply(p);
      InsertBlock(mode, e.slot, name, p.x, p.y, rot, e.sx, sy);
    }
  }
}

template <class Source>
void ReadInsert(Source& s, int mode) {
  ReadInsertOrDimension(s, mode, false);
}

template <class Source>
void ReadDimension(Source& s, int mode) {
  ReadInsertOrDimension(s, mode, true);
}

// LWPOLYLINE: the vertices and their bulges in one entity.
struct LwPolylineEntity : Extrusion {
  int32_t slot = 0, flags = 0;
  std::vector<Point> points;
  std::vector<long double> bulges;
  void Vertex(int code, long double v) {
    if (code == 10) {
      points.push_back({v, 0});
      bulges.push_back(0);
    } else if (!points.empty()) {
      (code == 20 ? points.back().y : bulges.back()) = v;
    }
  }
  static constexpr Code<LwPolylineEntity> codes[] = {
      LayerCode(&LwPolylineEntity::slot), {70, &LwPolylineEntity::flags},
      {10, &LwPolylineEntity::Vertex},    {20, &LwPolylineEntity::Vertex},
      {42, &LwPolylineEntity::Vertex},    {210, &LwPolylineEntity::ex},
      {220, &LwPolylineEntity::ey},       {230, &LwPolylineEntity::ez}};
};

template <class Source>
void ReadLwPolyline(Source& s, int mode) {
  LwPolylineEntity e;
  e.slot = s.StartLayer(1);
  if (!ReadCodes<Source, LwPolylineEntity>(s, e, e.codes)) return;
  const Affine m = EntityMap<Source>(e);
  const size_t n = e.points.size();
  for (size_t i = 0; i + 1 < n; ++i)
    EmitMappedSegment(mode, e.slot, m, e.points[i], e.points[i + 1], BulgeAngle(e.bulges[i]));
  if ((e.flags & 1) && n > 2)
    EmitMappedSegment(mode, e.slot, m, e.points[n - 1], e.points[0], BulgeAngle(e.bulges[n - 1]));
}

// ELLIPSE: in world coordinates; the extrusion decides which way the
// parameter runs.
struct EllipseEntity : Extrusion {
  int32_t slot = 0;
  long double cx = 0, cy = 0, mx = 1, my = 0, mz = 0, ratio = 1, start = 0, end = 2 * M_PIl;
  static constexpr Code<EllipseEntity> codes[] = {
      LayerCode(&EllipseEntity::slot), {10, &EllipseEntity::cx},    {20, &EllipseEntity::cy},
      {11, &EllipseEntity::mx},        {21, &EllipseEntity::my},    {31, &EllipseEntity::mz},
      {40, &EllipseEntity::ratio},     {41, &EllipseEntity::start}, {42, &EllipseEntity::end},
      {210, &EllipseEntity::ex},       {220, &EllipseEntity::ey},   {230, &EllipseEntity::ez}};
};

template <class Source>
void ReadEllipse(Source& s, int mode) {
  EllipseEntity e;
  e.slot = s.StartLayer(1);
  if (!ReadCodes<Source, EllipseEntity>(s, e, e.codes)) return;
  long double len = std::sqrt(e.ex * e.ex + e.ey * e.ey + e.ez * e.ez);
  if (!(len > 0) || !std::isfinite(static_cast<double>(len))) e.ex = 0, e.ey = 0, e.ez = len = 1;
  const long double nx = e.ex / len, ny = e.ey / len, nz = e.ez / len;
  // The minor axis: the direction crossed with the major axis.
  Point u{e.mx, e.my}, v{e.ratio * (ny * e.mz - nz * e.my), e.ratio * (nz * e.mx - nx * e.mz)};
  Point c{e.cx, e.cy};
  if (s.Replay()) {
    const Affine b = BlockAffine();
    c = b.Apply(c), u = b.Linear(u), v = b.Linear(v);
  }
  EmitConic(mode, e.slot, c, u, v, e.start, e.end);
}

// SPLINE: degree, knots, weights and control points, or fit points.
struct SplineEntity {
  int32_t slot = 0, flags = 0, degree = 3;
  Spline spline;
  void Take(int code, long double v) {
    switch (code) {
      case 40: spline.knots.push_back(v); break;
      case 41: spline.weights.push_back(v); break;
      case 10: spline.control.push_back({v, 0}); break;
      case 11: spline.fit.push_back({v, 0}); break;
      case 20:
        if (!spline.control.empty()) spline.control.back().y = v;
        break;
      case 21:
        if (!spline.fit.empty()) spline.fit.back().y = v;
        break;
      default: break;
    }
  }
  static constexpr Code<SplineEntity> codes[] = {
      LayerCode(&SplineEntity::slot), {70, &SplineEntity::flags}, {71, &SplineEntity::degree},
      {10, &SplineEntity::Take},      {20, &SplineEntity::Take},  {11, &SplineEntity::Take},
      {21, &SplineEntity::Take},      {40, &SplineEntity::Take},  {41, &SplineEntity::Take}};
};

template <class Source>
void ReadSpline(Source& s, int mode) {
  SplineEntity e;
  e.slot = s.StartLayer(1);
  if (!ReadCodes<Source, SplineEntity>(s, e, e.codes)) return;
  e.spline.degree = e.degree;
  e.spline.closed = e.flags & 1;
  const Affine m = EntityMap<Source>(Extrusion{});
  std::vector<Point> pts = SplinePoints(e.spline, ChordTolerance() / m.MaxStretch());
  for (Point& p : pts) p = m.Apply(p);
  EmitPolyline(mode, e.slot, pts);
}

// POINT: a dot on screen; a pen-down dot in a conversion (a drill hole
// for the drilling machines).
struct PointEntity {
  int32_t slot = 0;
  long double x = 0, y = 0;
  static constexpr Code<PointEntity> codes[] = {
      LayerCode(&PointEntity::slot), {10, &PointEntity::x}, {20, &PointEntity::y}};
};

template <class Source>
void ReadPoint(Source& s, int mode) {
  PointEntity e;
  e.slot = s.StartLayer(1);
  if (!ReadCodes<Source, PointEntity>(s, e, e.codes)) return;
  Point p = s.Replay() ? TransformPoint(e.x, e.y) : Point{e.x, e.y};
  if (mode == ReadForDisplay)
    EmitLine(mode, e.slot, p.x, p.y, p.x, p.y);
  else
    EmitCircle(mode, e.slot, p.x, p.y, 0);
}

// 3DFACE: its visible edges, seen from above.
struct FaceEntity {
  int32_t slot = 0, hidden = 0;
  long double x[4] = {0, 0, 0, 0}, y[4] = {0, 0, 0, 0};
  int32_t hasFourth = 0;
  void Corner(int code, long double v) {
    int i = code % 10;
    (code < 20 ? x[i] : y[i]) = v;
    if (i == 3) hasFourth = 1;
  }
  static constexpr Code<FaceEntity> codes[] = {
      LayerCode(&FaceEntity::slot), {70, &FaceEntity::hidden},   {10, &FaceEntity::Corner},
      {20, &FaceEntity::Corner},    {11, &FaceEntity::Corner},   {21, &FaceEntity::Corner},
      {12, &FaceEntity::Corner},    {22, &FaceEntity::Corner},   {13, &FaceEntity::Corner},
      {23, &FaceEntity::Corner}};
};

template <class Source>
void ReadFace(Source& s, int mode) {
  FaceEntity e;
  e.slot = s.StartLayer(1);
  if (!ReadCodes<Source, FaceEntity>(s, e, e.codes)) return;
  if (!e.hasFourth) e.x[3] = e.x[2], e.y[3] = e.y[2];
  Point p[4];
  for (int i = 0; i < 4; ++i) p[i] = s.Replay() ? TransformPoint(e.x[i], e.y[i]) : Point{e.x[i], e.y[i]};
  for (int i = 0; i < 4; ++i) {
    const Point &a = p[i], &b = p[(i + 1) % 4];
    if ((e.hidden & (1 << i)) || (a.x == b.x && a.y == b.y)) continue;
    EmitLine(mode, e.slot, a.x, a.y, b.x, b.y);
  }
}

// LEADER: the line through its vertices.
struct LeaderEntity {
  int32_t slot = 0;
  std::vector<Point> points;
  void Vertex(int code, long double v) {
    if (code == 10)
      points.push_back({v, 0});
    else if (!points.empty())
      points.back().y = v;
  }
  static constexpr Code<LeaderEntity> codes[] = {
      LayerCode(&LeaderEntity::slot), {10, &LeaderEntity::Vertex}, {20, &LeaderEntity::Vertex}};
};

template <class Source>
void ReadLeader(Source& s, int mode) {
  LeaderEntity e;
  e.slot = s.StartLayer(1);
  if (!ReadCodes<Source, LeaderEntity>(s, e, e.codes)) return;
  if (s.Replay())
    for (Point& p : e.points) p = TransformPoint(p.x, p.y);
  EmitPolyline(mode, e.slot, e.points);
}

// MULTILEADER: every leader line from its arrow point through its vertices
// to its leader's landing, the dogleg on from there, and the text placed
// as MTEXT. The groups come in nested sections ("CONTEXT_DATA{",
// "LEADER{", "LEADER_LINE{", each up to a "}") and mean different things
// in each.
struct MLeaderEntity {
  int32_t slot = 0;
  enum Section { Outside, Context, Leader, Line, Done } in = Outside;
  std::vector<std::vector<Point>> paths;  // finished leader lines and doglegs
  std::vector<std::vector<Point>> lines;  // of the leader being read
  Point landing, dogleg;
  long double doglegLength = 0;
  std::string text;
  MTextEntity m;
  long double dx = 0, dy = 0;

  void Open(int code, std::string_view v) {
    if (code == 304 && in == Leader && IsKeyword(v, "LEADER_LINE{")) {
      in = Line;
      lines.emplace_back();
    } else if (code == 304 && in == Context) {
      text = v;
    } else if (code == 300 && in == Outside && IsKeyword(v, "CONTEXT_DATA{")) {
      in = Context;
    } else if (code == 302 && in == Context && IsKeyword(v, "LEADER{")) {
      in = Leader;
      lines.clear();
      landing = dogleg = {};
      doglegLength = 0;
    } else if (code == 305 && in == Line) {
      in = Leader;
    } else if (code == 303 && in == Leader) {
      EndLeader();
      in = Context;
    } else if (code == 301 && in == Context) {
      in = Done;
    }
  }
  void EndLeader() {
    for (std::vector<Point>& l : lines) {
      l.push_back(landing);
      paths.push_back(std::move(l));
    }
    const long double d = std::hypot(dogleg.x, dogleg.y);
    if (doglegLength > 0 && d > 0)
      paths.push_back({landing, {landing.x + dogleg.x / d * doglegLength, landing.y + dogleg.y / d * doglegLength}});
  }
  void Number(int code, long double v) {
    if (in == Line) {
      if (code == 10) lines.back().push_back({v, 0});
      else if (code == 20 && !lines.back().empty()) lines.back().back().y = v;
    } else if (in == Leader) {
      switch (code) {
        case 10: landing.x = v; break;
        case 20: landing.y = v; break;
        case 11: dogleg.x = v; break;
        case 21: dogleg.y = v; break;
        case 40: doglegLength = v; break;
      }
    } else if (in == Context) {
      switch (code) {
        case 12: m.at.x = v; break;
        case 22: m.at.y = v; break;
        case 13: dx = v; break;
        case 23: dy = v; break;
        case 41: m.height = v; break;
        case 43: m.boxWidth = v; break;
        case 45: m.spacing = v; break;
        case 171: m.attachment = static_cast<int>(v); break;
      }
    }
  }
  static constexpr Code<MLeaderEntity> codes[] = {
      LayerCode(&MLeaderEntity::slot), {300, &MLeaderEntity::Open},   {301, &MLeaderEntity::Open},
      {302, &MLeaderEntity::Open},     {303, &MLeaderEntity::Open},   {304, &MLeaderEntity::Open},
      {305, &MLeaderEntity::Open},     {10, &MLeaderEntity::Number},  {20, &MLeaderEntity::Number},
      {11, &MLeaderEntity::Number},    {21, &MLeaderEntity::Number},  {12, &MLeaderEntity::Number},
      {22, &MLeaderEntity::Number},    {13, &MLeaderEntity::Number},  {23, &MLeaderEntity::Number},
      {40, &MLeaderEntity::Number},    {41, &MLeaderEntity::Number},  {43, &MLeaderEntity::Number},
      {45, &MLeaderEntity::Number},    {171, &MLeaderEntity::Number}};
};

template <class Source>
void ReadMLeader(Source& s, int mode) {
  MLeaderEntity e;
  e.slot = s.StartLayer(1);
  if (!ReadCodes<Source, MLeaderEntity>(s, e, e.codes)) return;
  for (std::vector<Point>& path : e.paths) {
    if (s.Replay())
      for (Point& p : path) p = TransformPoint(p.x, p.y);
    EmitPolyline(mode, e.slot, path);
  }
  if (e.text.empty()) return;
  e.m.lines = MTextLines(e.text, DrawingEncoding());
  if (e.dx != 0 || e.dy != 0) e.m.rotation = RadToDeg(std::atan2(e.dy, e.dx));
  EmitMText(s, mode, e.slot, e.m);
}

// HATCH: every boundary path drawn as its outline, solid and gradient
// hatches also filled. The groups of the paths repeat and mean different
// things by their place, so they are kept in order and taken apart after.
struct HatchEntity : Extrusion {
  int32_t slot = 0, solid = 0, gradient = 0;
  std::vector<std::pair<int, long double>> pairs;
  void Keep(int code, long double v) { pairs.push_back({code, v}); }
  static constexpr Code<HatchEntity> codes[] = {
      LayerCode(&HatchEntity::slot), {70, &HatchEntity::solid},  {450, &HatchEntity::gradient},
      {210, &HatchEntity::ex},       {220, &HatchEntity::ey},    {230, &HatchEntity::ez},
      {10, &HatchEntity::Keep},      {20, &HatchEntity::Keep},   {11, &HatchEntity::Keep},
      {21, &HatchEntity::Keep},      {12, &HatchEntity::Keep},   {22, &HatchEntity::Keep},
      {13, &HatchEntity::Keep},      {23, &HatchEntity::Keep},   {40, &HatchEntity::Keep},
      {42, &HatchEntity::Keep},      {50, &HatchEntity::Keep},   {51, &HatchEntity::Keep},
      {72, &HatchEntity::Keep},      {73, &HatchEntity::Keep},   {74, &HatchEntity::Keep},
      {91, &HatchEntity::Keep},      {92, &HatchEntity::Keep},   {93, &HatchEntity::Keep},
      {94, &HatchEntity::Keep},      {95, &HatchEntity::Keep},   {96, &HatchEntity::Keep},
      {97, &HatchEntity::Keep},      {78, &HatchEntity::Keep},   {53, &HatchEntity::Keep},
      {43, &HatchEntity::Keep},      {44, &HatchEntity::Keep},   {45, &HatchEntity::Keep},
      {46, &HatchEntity::Keep},      {79, &HatchEntity::Keep},   {49, &HatchEntity::Keep}};
};

// A pattern of more pieces than this is left out (the outline stays).
constexpr size_t kMaxPatternSegments = 50000;

// Takes the boundary paths of a hatch apart, drawing each edge's outline
// as it goes and collecting the points of each path for the fill.
class HatchPaths {
 public:
  HatchPaths(const HatchEntity& e, const Affine& m, int mode)
      : p_(e.pairs), m_(m), mode_(mode), slot_(e.slot) {}

  std::vector<std::vector<Point>> Read() {
    std::vector<std::vector<Point>> outlines;
    while (i_ < p_.size() && !At(91)) ++i_;  // past the elevation point
    long paths = static_cast<long>(Take(91));
    for (long k = 0; k < paths && i_ < p_.size(); ++k) {
      while (i_ < p_.size() && !At(92)) ++i_;
      if (i_ >= p_.size()) break;
      path_.clear();
      if (static_cast<long>(Take(92)) & 2)
        ReadPolylinePath();
      else
        ReadEdgePath();
      if (path_.size() > 2) outlines.push_back(path_);
    }
    return outlines;
  }

  // The pattern's line families, which follow the paths.
  std::vector<PatternLine> Pattern() {
    std::vector<PatternLine> lines;
    while (i_ < p_.size() && !At(78)) ++i_;
    long n = Count(78);
    for (long k = 0; k < n && At(53); ++k) {
      PatternLine l;
      l.angle = Take(53);
      l.base = {Take(43), Take(44)};
      l.offset = {Take(45), Take(46)};
      long dashes = Count(79);
      for (long j = 0; j < dashes && At(49); ++j) l.dashes.push_back(Take(49));
      lines.push_back(std::move(l));
    }
    return lines;
  }

 private:
  bool At(int code) const { return i_ < p_.size() && p_[i_].first == code; }
  long double Take(int code, long double otherwise = 0) { return At(code) ? p_[i_++].second : otherwise; }
  long Count(int code) {
    long double n = Take(code);
    return n > 0 && n < static_cast<long double>(p_.size()) ? static_cast<long>(n) : 0;
  }
  long double Tolerance() const { return ChordTolerance() / m_.MaxStretch(); }

  // Adds an edge's points (object coordinates) to the path, turned round
  // when its far end is the nearer one.
  void Add(std::vector<Point> pts) {
    if (pts.empty()) return;
    if (!path_.empty()) {
      Point last = path_.back();
      auto d = [&](Point q) { return std::hypot(q.x - last.x, q.y - last.y); };
      if (d(pts.back()) < d(pts.front())) std::reverse(pts.begin(), pts.end());
    }
    for (Point& q : pts) path_.push_back(m_.Apply(q));
  }

  void ReadPolylinePath() {
    bool bulges = Take(72) != 0;
    Take(73);
    long n = Count(93);
    std::vector<Point> v;
    std::vector<long double> b;
    for (long j = 0; j < n && At(10); ++j) {
      v.push_back({Take(10), Take(20)});
      b.push_back(bulges || At(42) ? Take(42) : 0);
    }
    for (size_t j = 0; j < v.size() && v.size() > 1; ++j) {
      Point p = v[j], q = v[(j + 1) % v.size()];
      long double a = BulgeAngle(b[j]);
      EmitMappedSegment(mode_, slot_, m_, p, q, a);
      std::vector<Point> pts = BulgePoints(p, q, a, Tolerance());
      pts.pop_back();
      for (Point& x : pts) path_.push_back(m_.Apply(x));
    }
  }

  void ReadEdgePath() {
    long n = Count(93);
    for (long j = 0; j < n; ++j) {
      while (i_ < p_.size() && !At(72) && !At(92)) ++i_;
      if (!At(72)) return;
      switch (static_cast<int>(Take(72))) {
        case 1: LineEdge(); break;
        case 2: ArcEdge(); break;
        case 3: EllipseEdge(); break;
        case 4: SplineEdge(); break;
        default: break;
      }
    }
  }

  void LineEdge() {
    Point a{Take(10), Take(20)}, b{Take(11), Take(21)};
    Point wa = m_.Apply(a), wb = m_.Apply(b);
    EmitLine(mode_, slot_, wa.x, wa.y, wb.x, wb.y);
    Add({a, b});
  }

  // Arcs and elliptic arcs: clockwise ones are stored with their angles
  // reflected.
  void Conic(Point c, Point u, Point v, long double start, long double end, bool ccw) {
    long double t0 = DegToRad(ccw ? start : -end), t1 = DegToRad(ccw ? end : -start);
    Point wc = m_.Apply(c);
    EmitConic(mode_, slot_, wc, m_.Linear(u), m_.Linear(v), t0, t1);
    if (std::fabs(std::fabs(t1 - t0) - 2 * M_PIl) < 1e-9L || t1 == t0) t0 = 0, t1 = 2 * M_PIl;
    while (t1 < t0) t1 += 2 * M_PIl;
    std::vector<Point> pts = ConicPoints(c, u, v, t0, t1, Tolerance());
    if (!ccw) std::reverse(pts.begin(), pts.end());
    Add(std::move(pts));
  }

  void ArcEdge() {
    Point c{Take(10), Take(20)};
    long double r = Take(40), start = Take(50), end = Take(51);
    bool ccw = Take(73, 1) != 0;
    Conic(c, {r, 0}, {0, r}, start, end, ccw);
  }

  void EllipseEdge() {
    Point c{Take(10), Take(20)}, u{Take(11), Take(21)};
    long double ratio = Take(40), start = Take(50), end = Take(51);
    bool ccw = Take(73, 1) != 0;
    Conic(c, u, {-u.y * ratio, u.x * ratio}, start, end, ccw);
  }

  void SplineEdge() {
    Spline sp;
    sp.degree = static_cast<int>(std::clamp<long double>(Take(94, 3), 1, 15));
    Take(73);
    Take(74);
    long knots = Count(95);
    Count(96);
    for (long j = 0; j < knots && At(40); ++j) sp.knots.push_back(Take(40));
    while (At(10) || At(20) || At(42)) {
      if (At(10))
        sp.control.push_back({Take(10), 0});
      else if (At(20) && !sp.control.empty())
        sp.control.back().y = Take(20);
      else if (At(42))
        sp.weights.push_back(Take(42));
      else
        ++i_;
    }
    if (At(97) && i_ + 1 < p_.size() && p_[i_ + 1].first == 11) {
      long fits = Count(97);
      for (long j = 0; j < fits && At(11); ++j) sp.fit.push_back({Take(11), Take(21)});
    }
    for (int code : {12, 22, 13, 23}) Take(code);  // end tangents: not used
    std::vector<Point> pts = SplinePoints(sp, Tolerance());
    std::vector<Point> world(pts);
    for (Point& x : world) x = m_.Apply(x);
    EmitPolyline(mode_, slot_, world);
    Add(std::move(pts));
  }

  const std::vector<std::pair<int, long double>>& p_;
  size_t i_ = 0;
  const Affine& m_;
  int mode_, slot_;
  std::vector<Point> path_;
};

template <class Source>
void ReadHatch(Source& s, int mode) {
  HatchEntity e;
  e.slot = s.StartLayer(1);
  if (!ReadCodes<Source, HatchEntity>(s, e, e.codes)) return;
  const Affine m = EntityMap<Source>(e);
  HatchPaths paths(e, m, mode);
  std::vector<std::vector<Point>> outlines = paths.Read();
  if ((e.solid & 1) || e.gradient != 0) {
    EmitFilled(mode, e.slot, outlines);
    return;
  }
  for (const Segment& g : PatternSegments(outlines, m, paths.Pattern(), kMaxPatternSegments))
    EmitLine(mode, e.slot, g.a.x, g.a.y, g.b.x, g.b.y);
}

// ACAD_TABLE: the insertion of the anonymous block that holds its drawing.
struct TableEntity {
  int32_t slot = 0;
  std::string name;
  long double x = 0, y = 0, dx = 1, dy = 0;
  static constexpr Code<TableEntity> codes[] = {
      {2, &TableEntity::name}, LayerCode(&TableEntity::slot), {10, &TableEntity::x},
      {20, &TableEntity::y},   {11, &TableEntity::dx},        {21, &TableEntity::dy}};
};

template <class Source>
void ReadTable(Source& s, int mode) {
  TableEntity e;
  e.slot = s.StartLayer(1);
  if (!ReadCodes<Source, TableEntity>(s, e, e.codes)) return;
  const long double rot = e.dx == 0 && e.dy == 0 ? 0 : RadToDeg(std::atan2(e.dy, e.dx));
  if (s.Replay())
    ReplayBlock(mode, e.name, e.x, e.y, rot, 1, 1);
  else
    InsertBlock(mode, e.slot, e.name, e.x, e.y, rot, 1, 1);
}

// ------------------------------------------------------------ the entity table

template <class Source>
struct EntityReader {
  std::string_view name;  // the code-0 value, in capitals
  void (*read)(Source& s, int mode);
};

template <class Source>
constexpr EntityReader<Source> EntityReaders[] = {
    {"LINE", ReadLineEntity<Source>},
    {"POLYLINE", ReadPolyline<Source>},
    {"CIRCLE", ReadCircle<Source>},
    {"ARC", ReadArc<Source>},
    {"TEXT", ReadText<Source>},
    {"MTEXT", ReadMText<Source>},
    {"ATTRIB", ReadAttribute<Source>},
    {"SOLID", ReadSolid<Source>},
    {"TRACE", ReadSolid<Source>},
    {"INSERT", ReadInsert<Source>},
    {"DIMENSION", ReadDimension<Source>},
    {"ARC_DIMENSION", ReadDimension<Source>},
    {"LARGE_RADIAL_DIMENSION", ReadDimension<Source>},
    {"LWPOLYLINE", ReadLwPolyline<Source>},
    {"ELLIPSE", ReadEllipse<Source>},
    {"SPLINE", ReadSpline<Source>},
    {"POINT", ReadPoint<Source>},
    {"3DFACE", ReadFace<Source>},
    {"LEADER", ReadLeader<Source>},
    {"MULTILEADER", ReadMLeader<Source>},
    {"MLEADER", ReadMLeader<Source>},
    {"HATCH", ReadHatch<Source>},
    {"ACAD_TABLE", ReadTable<Source>},
};

// Hands the current code-0 pair to its entity reader; false when it names
// no entity.
template <class Source>
bool ReadEntity(Source& s, int mode) {
  for (const EntityReader<Source>& r : EntityReaders<Source>) {
    if (IsKeyword(s.value, r.name)) {
      r.read(s, mode);
      return true;
    }
  }
  return false;
}

}  // namespace

bool ReadFileEntity(int mode) {
  FileSource s;
  s.Sync();
  return ReadEntity(s, mode);
}

void ReplayEntities(const WorkFile& file, int mode) {
  WorkSource s(file);
  if (!s.Next()) return;
  for (;;) {
    if (s.code != 0) {
      if (!s.Next()) break;
      continue;
    }
    if (IsKeyword(s.value, "EOF")) break;
    if (!ReadEntity(s, mode) && !s.Next()) break;
    if (Session.AbortFlag || s.Ended()) break;
  }
}

}  // namespace dxfin
}  // namespace planox
