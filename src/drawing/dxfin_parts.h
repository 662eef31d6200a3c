// What the parts of the DXF reader share with each other; nothing outside
// src/drawing/dxfin*.cpp includes this. The parts, in reading order:
//   dxfin_pairs.cpp     the drawing file, group pairs, values as numbers
//   dxfin.cpp           sections and tables, the entry points
//   dxfin_codes.h       the pair sources and the one group-pair loop fed
//                       by each entity's table of codes
//   dxfin_entities.cpp  the table of entities, the readers of plain shapes
//   dxfin_texts.cpp     TEXT, ATTRIB, MTEXT, LEADER, MULTILEADER
//   dxfin_polylines.cpp POLYLINE, LWPOLYLINE
//   dxfin_inserts.cpp   INSERT, DIMENSION, ACAD_TABLE
//   dxfin_hatch.cpp     HATCH
//   dxfin_emit.cpp      emitters: an entity to the sink of the read mode
//   dxfin_blocks.cpp    block work files, insertion and replay
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "base/vektor.h"
#include "drawing/curves.h"
#include "drawing/dxfin.h"
#include "drawing/dxftext.h"
#include "drawing/dxfout.h"

namespace planox::dxfin {

// ---- dxfin_pairs.cpp

// The drawing file of the current read.
TextReader& DrawingFile();
// True when the last group pair ran into the end of the file (and nothing
// else had ended the read).
bool EndReached();
// True when value is upper, letters compared without case.
inline bool IsKeyword(std::string_view value, std::string_view upper) {
  if (value.size() != upper.size()) return false;
  for (size_t i = 0; i < value.size(); ++i) {
    char c = value[i];
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    if (c != upper[i]) return false;
  }
  return true;
}

// ---- dxfin_emit.cpp

// A layer slot in 1..MaxLayers (anything else is the first layer).
int NormalSlot(int slot);

// Shapes that have no emitter of their own, drawn through the emitters.
// Lines between consecutive points (and back to the first when closed).
void EmitPolyline(int mode, int slot, const std::vector<Point>& points, bool closed = false);

// The curve centre + u cos t + v sin t for t from t0 to t1 (radians; the
// whole curve when they are equal or a turn apart): an arc or circle where
// u and v are a right angle apart and of one length, else lines.
void EmitConic(int mode, int slot, Point centre, Point u, Point v, long double t0, long double t1);

// An arc (degrees, counter-clockwise) of an entity's object coordinates
// under the map m: an arc where m keeps circles, else lines along the
// ellipse it becomes. A circle when full.
void EmitMappedArc(int mode, int slot, const Affine& m, const ArcPiece& arc, bool full);

// The area inside closed outlines (islands are holes) filled with solids;
// false when it would take too many pieces and nothing was filled.
bool EmitFilled(int mode, int slot, const std::vector<std::vector<Point>>& outlines);

void EmitPlacedText(int mode, int slot, const PlacedText& t, long double oblique = 0);


// ---- dxfin_entities.cpp

// Hands the reader's current code-0 pair to its entity reader; false when
// it names no entity.
bool ReadFileEntity(int mode);

// One group pair of a block work file, with its value read as a number once.
struct WorkPair {
  int code = 0;
  std::string value;
  long double number = 0;
};
using WorkFile = std::vector<WorkPair>;

// Reads every entity of a block work file under BlockTransform.
void ReplayEntities(const WorkFile& file, int mode);

// ---- dxfin_blocks.cpp

// Makes dir the work folder of the current read.
void UseWorkDir(const std::string& dir);
// Deletes the block work files ("$*.dx$") of the work folder.
void DeleteWorkFiles();
// Records the base point of a block's definition.
void SetBlockBase(const std::string& storedName, long double x, long double y);
// True when the block has a work file: the drawing has defined it.
bool HasBlockFile(std::string_view storedName);
// Starts the work file of a block definition; false when it cannot be made.
bool BeginBlockFile(const std::string& storedName);
// Closes the work file of the current definition, if one is open; false
// when it could not be written whole (a full temporary folder).
bool EndBlockFile();
// The writer of the current block work file.
DxfWriter& BlockWriter();
// A point of a block under BlockTransform.
Point TransformPoint(long double x, long double y);
// BlockTransform as a map.
Affine BlockAffine();

// ---- dxfin.cpp

// How the current drawing's texts are encoded (from its header).
TextEncoding DrawingEncoding();
// The largest distance a chord may keep from its curve, in drawing units:
// a twenty-thousandth of the drawing's extents as the read found them, but
// no more than 0.01 mm of output at the converter's scale and no less than
// a millionth of the extents; a tenth of that inside a block definition,
// whose contents may be inserted enlarged. The window and the conversions
// use the same, so both draw the same chords.
long double ChordTolerance();

}  // namespace planox::dxfin
