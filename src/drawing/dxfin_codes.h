// What the entity readers share (dxfin_entities.cpp and the readers of
// texts, polylines, insertions and hatches): the two sources of group
// pairs, the one group-pair loop that each entity's table of codes feeds,
// and the readers each part makes for the table of entities. Each reader is
// made for both sources so that taking a pair costs no virtual call.
#pragma once

#include <span>

#include "base/session.h"
#include "base/textconv.h"
#include "drawing/dxfin_parts.h"

namespace planox::dxfin {

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
  long double Number() const {
    long double x;
    return CurrentNumber(x) ? x : GroupValueToReal(value);
  }
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
        case Code<E>::Whole: e.*c.whole = GroupValueToInt32(s.value); break;
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

// Reads an entity through its table of codes (E::codes) into e, whose slot
// starts as the source gives it to an entity naming no layer (fileDefault:
// the drawing file's). False when the read ended first.
template <class Source, class E>
bool ReadEntityCodes(Source& s, E& e, int fileDefault = 1) {
  e.slot = s.StartLayer(fileDefault);
  return ReadCodes<Source, E>(s, e, E::codes);
}

// The same for an entity read through one of two tables of codes: the
// second when second is true.
template <class Source, class E, size_t N, size_t M>
bool ReadEntityCodes(Source& s, E& e, bool second, const Code<E> (&first)[N], const Code<E> (&other)[M]) {
  e.slot = s.StartLayer(1);
  return second ? ReadCodes<Source, E>(s, e, other) : ReadCodes<Source, E>(s, e, first);
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

// One polyline segment from p to q with the included angle a (degrees) in
// object coordinates under the map m: an arc that the map keeps round stays
// an arc (turned round when mirrored), else it becomes lines.
void EmitMappedSegment(int mode, int slot, const Affine& m, Point p, Point q, long double a);

// The readers of the other parts, each called with the entity's code-0
// pair current and returning with the next entity's.
template <class Source, bool attribute> void ReadTextOrAttribute(Source& s, int mode);  // dxfin_texts.cpp
template <class Source> void ReadMText(Source& s, int mode);
template <class Source> void ReadLeader(Source& s, int mode);
template <class Source> void ReadMLeader(Source& s, int mode);
template <class Source> void ReadPolyline(Source& s, int mode);   // dxfin_polylines.cpp
template <class Source> void ReadLwPolyline(Source& s, int mode);
template <class Source, bool dimension> void ReadInsertOrDimension(Source& s, int mode);  // dxfin_inserts.cpp
template <class Source> void ReadTable(Source& s, int mode);
template <class Source> void ReadHatch(Source& s, int mode);      // dxfin_hatch.cpp

}  // namespace planox::dxfin
