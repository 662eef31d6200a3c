// The readers of texts and of what carries texts: TEXT, ATTRIB, MTEXT,
// LEADER and MULTILEADER.
#include <cmath>
#include <span>

#include "drawing/dxfin_codes.h"

namespace planox::dxfin {

namespace {

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

}  // namespace

template <class Source, bool attribute>
void ReadTextOrAttribute(Source& s, int mode) {
  TextEntityCodes e;
  if (!ReadEntityCodes(s, e, attribute, e.codes, e.attributeCodes)) return;
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
void ReadMText(Source& s, int mode) {
  MTextCodes e;
  if (!ReadEntityCodes(s, e)) return;
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

template <class Source>
void ReadLeader(Source& s, int mode) {
  LeaderEntity e;
  if (!ReadEntityCodes(s, e)) return;
  if (s.Replay())
    for (Point& p : e.points) p = TransformPoint(p.x, p.y);
  EmitPolyline(mode, e.slot, e.points);
}

template <class Source>
void ReadMLeader(Source& s, int mode) {
  MLeaderEntity e;
  if (!ReadEntityCodes(s, e)) return;
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

// Each reader is made for both pair sources.
template void ReadTextOrAttribute<FileSource, false>(FileSource&, int);
template void ReadTextOrAttribute<WorkSource, false>(WorkSource&, int);
template void ReadTextOrAttribute<FileSource, true>(FileSource&, int);
template void ReadTextOrAttribute<WorkSource, true>(WorkSource&, int);
template void ReadMText(FileSource&, int);
template void ReadMText(WorkSource&, int);
template void ReadLeader(FileSource&, int);
template void ReadLeader(WorkSource&, int);
template void ReadMLeader(FileSource&, int);
template void ReadMLeader(WorkSource&, int);

}  // namespace planox::dxfin
