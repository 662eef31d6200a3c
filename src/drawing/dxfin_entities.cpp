// The entity readers. Every entity is read by the same group-pair loop
// (ReadCodes): the entity's table of codes says which member each group
// code fills; the reader then works out the geometry and hands it to an
// emitter. The pairs come from the drawing file or from a block work file
// being replayed; each reader is made for both sources so that taking a
// pair costs no virtual call.
//
// Adding an entity: a struct with its members and its table of codes, a
// reader that emits it (see ReadLineEntity), and one row in EntityReaders.
#include <cmath>
#include <span>

#include "app/prompts.h"
#include "app/session.h"
#include "app/textconv.h"
#include "display/vektor.h"
#include "drawing/dxfin_parts.h"

namespace planox {

std::string DecodeTextCodes(std::string_view text) {
  std::string s(text);
  if (!s.empty() && s[0] == '\\') {
    size_t semi = s.find(';');
    if (semi != std::string::npos) s.erase(0, semi + 1);
  }
  size_t p = s.find("%%p");
  if (p != std::string::npos) s.replace(p, 3, 1, '\xF1');
  size_t c = s.find("%%c");
  if (c != std::string::npos) s.replace(c, 3, 1, ' ');
  return s;
}

namespace dxfin {
namespace {

// ------------------------------------------------------------ pair sources

// Group pairs from the drawing file.
class FileSource {
 public:
  // False when the read ended (AbortFlag set).
  bool Next() {
    ReadGroupPair();
    Sync();
    return !Session.AbortFlag;
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
  enum Kind { Number, Text, Whole, EntityLayer, OwnLayer };
  constexpr Code(int c, long double E::*m) : code(c), kind(Number), number(m) {}
  constexpr Code(int c, std::string E::*m) : code(c), kind(Text), text(m) {}
  // A whole number, or with kind EntityLayer or OwnLayer a layer slot.
  constexpr Code(int c, int32_t E::*m, Kind k = Whole) : code(c), kind(k), whole(m) {}

  int code;
  Kind kind;
  union {
    long double E::*number;
    std::string E::*text;
    int32_t E::*whole;
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
// table does not name are skipped. False when the read ended first.
//
// GCC 12 warns of stores of a kind the entity's table never names (a real
// number into the small polyline header); those paths are never taken.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Warray-bounds"
template <class Source, class E>
bool ReadCodes(Source& s, E& e, std::span<const Code<E>> table) {
  for (;;) {
    if (!s.Next()) return false;
    if (s.code == 0) return true;
    for (const Code<E>& c : table) {
      if (c.code != s.code) continue;
      switch (c.kind) {
        case Code<E>::Number: e.*c.number = s.Number(); break;
        case Code<E>::Text: (e.*c.text).assign(std::string_view(s.value).substr(0, MaxTextLength)); break;
        case Code<E>::Whole: e.*c.whole = Int32(s.value); break;
        case Code<E>::EntityLayer: e.*c.whole = s.EntityLayer(); break;
        case Code<E>::OwnLayer: e.*c.whole = s.Layer(); break;
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

// CIRCLE and ARC.
struct RoundEntity {
  int32_t slot = 0;
  long double cx = 0, cy = 0, r = 0, start = 0, end = 0;
  static constexpr Code<RoundEntity> codes[] = {
      LayerCode(&RoundEntity::slot), {10, &RoundEntity::cx},    {20, &RoundEntity::cy},
      {40, &RoundEntity::r},         {50, &RoundEntity::start}, {51, &RoundEntity::end}};
};

template <class Source>
void ReadCircleOrArc(Source& s, int mode, bool arc) {
  RoundEntity e;
  e.slot = s.StartLayer(1);
  if (!ReadCodes<Source, RoundEntity>(s, e, e.codes)) return;
  if (s.Replay()) {
    Point c = TransformPoint(e.cx, e.cy);
    e.cx = c.x, e.cy = c.y;
    e.r *= BlockTransform.ScaleX;
    e.start += BlockTransform.Angle;
    e.end += BlockTransform.Angle;
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

// TEXT and MTEXT.
struct TextEntity {
  int32_t slot = 0;
  std::string text;
  long double x = 0, y = 0, h = 3.5L, w = 1, rot = 0, oblique = 0;
  static constexpr Code<TextEntity> codes[] = {
      {1, &TextEntity::text},      LayerCode(&TextEntity::slot), {10, &TextEntity::x},
      {20, &TextEntity::y},        {40, &TextEntity::h},         {41, &TextEntity::w},
      {50, &TextEntity::rot},      {51, &TextEntity::oblique}};
};

template <class Source>
void ReadText(Source& s, int mode) {
  TextEntity e;
  e.slot = s.StartLayer(1);
  if (!ReadCodes<Source, TextEntity>(s, e, e.codes)) return;
  if (e.w == 0) e.w = 1;
  if (s.Replay()) {
    Point p = TransformPoint(e.x, e.y);
    e.x = p.x, e.y = p.y;
    e.h *= BlockTransform.ScaleY;
  }
  EmitText(mode, e.slot, DecodeTextCodes(e.text), e.x, e.y, e.h, e.w, e.rot, e.oblique);
}

// SOLID and TRACE: four corners.
struct SolidEntity {
  int32_t slot = 0;
  long double x1 = 0, y1 = 0, x2 = 0, y2 = 0, x3 = 0, y3 = 0, x4 = 0, y4 = 0;
  static constexpr Code<SolidEntity> codes[] = {
      LayerCode(&SolidEntity::slot), {10, &SolidEntity::x1}, {20, &SolidEntity::y1},
      {11, &SolidEntity::x2},        {21, &SolidEntity::y2}, {12, &SolidEntity::x3},
      {22, &SolidEntity::y3},        {13, &SolidEntity::x4}, {23, &SolidEntity::y4}};
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
  }
  EmitSolid(mode, e.slot, x, y);
}

// POLYLINE: the header, then VERTEX entities up to SEQEND.
struct PolylineEntity {
  int32_t slot = 0;
  int32_t flags = 0;
  static constexpr Code<PolylineEntity> codes[] = {LayerCode(&PolylineEntity::slot),
                                                   {70, &PolylineEntity::flags}};
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
  auto place = [&](const Vertex& v) {
    return replay ? TransformPoint(v.x, v.y) : Point{v.x, v.y};
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
    EmitSegment(mode, layer, p, q, a);
    p = q;
    a = v.Angle() * turn;
  }
  if (e.flags == 1) EmitSegment(mode, e.slot, p, p0, a);
}

// INSERT, and DIMENSION drawn as the insertion of its block.
struct InsertEntity {
  int32_t slot = 0;
  std::string name;
  long double x = 0, y = 0, sx = 1, sy = 1, rot = 0;
  static constexpr Code<InsertEntity> codes[] = {
      {2, &InsertEntity::name},  LayerCode(&InsertEntity::slot), {10, &InsertEntity::x},
      {20, &InsertEntity::y},    {41, &InsertEntity::sx},        {42, &InsertEntity::sy},
      {50, &InsertEntity::rot}};
  // A dimension's block goes at its text point, turned by its text angle.
  static constexpr Code<InsertEntity> dimensionCodes[] = {
      {2, &InsertEntity::name},  LayerCode(&InsertEntity::slot), {12, &InsertEntity::x},
      {22, &InsertEntity::y},    {41, &InsertEntity::sx},        {42, &InsertEntity::sy},
      {52, &InsertEntity::rot}};
};

template <class Source>
void ReadInsertOrDimension(Source& s, int mode, bool dimension) {
  InsertEntity e;
  e.slot = s.StartLayer(1);
  if (!ReadCodes<Source, InsertEntity>(s, e, dimension ? e.dimensionCodes : e.codes)) return;
  const std::string name = StoredBlockName(e.name);
  if (s.Replay())
    ReplayBlock(mode, name, e.x, e.y, e.rot, e.sx, e.sy);
  else
    InsertBlock(mode, e.slot, name, e.x, e.y, e.rot, e.sx, e.sy);
}

template <class Source>
void ReadInsert(Source& s, int mode) {
  ReadInsertOrDimension(s, mode, false);
}

template <class Source>
void ReadDimension(Source& s, int mode) {
  ReadInsertOrDimension(s, mode, true);
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
    {"MTEXT", ReadText<Source>},
    {"SOLID", ReadSolid<Source>},
    {"TRACE", ReadSolid<Source>},
    {"INSERT", ReadInsert<Source>},
    {"DIMENSION", ReadDimension<Source>},
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
