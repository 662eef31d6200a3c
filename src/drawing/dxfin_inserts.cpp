// The readers of insertions of blocks: INSERT (single or in an array),
// DIMENSION and ACAD_TABLE, whose drawings are anonymous blocks.
#include <algorithm>
#include <cmath>
#include <span>

#include "drawing/dxfin_codes.h"

namespace planox::dxfin {

namespace {

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

// ACAD_TABLE: the insertion of the anonymous block that holds its drawing.
struct TableEntity {
  int32_t slot = 0;
  std::string name;
  long double x = 0, y = 0, dx = 1, dy = 0;
  static constexpr Code<TableEntity> codes[] = {
      {2, &TableEntity::name}, LayerCode(&TableEntity::slot), {10, &TableEntity::x},
      {20, &TableEntity::y},   {11, &TableEntity::dx},        {21, &TableEntity::dy}};
};

}  // namespace

template <class Source, bool dimension>
void ReadInsertOrDimension(Source& s, int mode) {
  InsertEntity e;
  if (!ReadEntityCodes(s, e, dimension, e.codes, e.dimensionCodes)) return;
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
void ReadTable(Source& s, int mode) {
  TableEntity e;
  if (!ReadEntityCodes(s, e)) return;
  const long double rot = e.dx == 0 && e.dy == 0 ? 0 : RadToDeg(std::atan2(e.dy, e.dx));
  if (s.Replay())
    ReplayBlock(mode, e.name, e.x, e.y, rot, 1, 1);
  else
    InsertBlock(mode, e.slot, e.name, e.x, e.y, rot, 1, 1);
}

// Each reader is made for both pair sources.
template void ReadInsertOrDimension<FileSource, false>(FileSource&, int);
template void ReadInsertOrDimension<WorkSource, false>(WorkSource&, int);
template void ReadInsertOrDimension<FileSource, true>(FileSource&, int);
template void ReadInsertOrDimension<WorkSource, true>(WorkSource&, int);
template void ReadTable(FileSource&, int);
template void ReadTable(WorkSource&, int);

}  // namespace planox::dxfin
