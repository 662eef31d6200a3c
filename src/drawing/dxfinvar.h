// The few things the program keeps about the current drawing between reads:
// the layer, line-type and block-name tables, the bounding box of what was
// output, the counters of the information dialog and the state the reader
// shares with the emitters. No entity is ever held here; the drawing file
// is read again for every display and conversion.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace planox {

// Read modes: the numbers callers pass to ReadDrawing.
inline constexpr int ReadHeaderOnly = 9;
inline constexpr int ReadForConversion = 1;
inline constexpr int ReadForDisplay = 2;
inline constexpr int ShowBlock = 3;

inline constexpr int MaxLayers = 255;
inline constexpr int MaxLineTypes = 50;
inline constexpr int MaxBlocks = 500;
inline constexpr int LayerNameLength = 24;
inline constexpr int LineTypeNameLength = 31;
inline constexpr int BlockNameLength = 8;

struct Layer {
  std::string Name;
  int32_t Colour = 7;
  int32_t LineType = 1;
  uint8_t Flags = 64;
};

struct Box {
  long double XMin = 1e30L, YMin = 1e30L, XMax = -1e30L, YMax = -1e30L;
};

struct Transform {
  long double OriginX = 0, OriginY = 0, Angle = 0, ScaleX = 1, ScaleY = 1;
};

// Slots 1..255 are used; index 0 is never a layer.
extern std::array<Layer, MaxLayers + 1> LayerTable;
extern int LayerCount;
// Slots 0..50; slot 0 stays "CONTINUOUS".
extern std::array<std::string, MaxLineTypes + 1> LineTypeTable;
extern int LineTypeCount;
// Slots 1..500.
extern std::array<std::string, MaxBlocks + 1> BlockTable;
extern int BlockCount;

extern Box BoundingBox;
// What the last read drew in drawing coordinates (block definitions,
// which are drawn only where inserted, left out).
extern Box DrawnBox;
extern uint32_t ElementCount;
extern uint32_t TextCount;

extern bool InBlockDefinition;
extern Transform BlockTransform;
extern int InsertDepth;

// Puts every table, counter and flag back to its program-start value.
void ResetDrawingModel();

// Slot number 1..255 of the named layer; an unknown name is added (and
// answered with slot 1) while there is room. Names are compared on their
// first 24 characters, the part the table keeps.
int FindLayer(std::string_view name);
// Index 0..49 of the named line type; 0 ("CONTINUOUS") when unknown.
int FindLineType(std::string_view name);
// Line-type name to conversion-output line type 0..3; the name is cut to
// 31 characters first.
int OutputLineType(std::string_view name);

inline void Widen(Box& b, long double x, long double y) {
  if (x > b.XMax) b.XMax = x;
  if (x < b.XMin) b.XMin = x;
  if (y > b.YMax) b.YMax = y;
  if (y < b.YMin) b.YMin = y;
}
inline void WidenBoundingBox(long double x, long double y) {
  Widen(BoundingBox, x, y);
  if (!InBlockDefinition) Widen(DrawnBox, x, y);
}
void ResetBoundingBox();

// Called whenever a layer slot changes outside FindLayer, so that the
// lookup cache never answers with a stale slot.
void LayerTableChanged();

// A block's name as a list shows it: cut to 8 characters, every "*"
// replaced by "X". Blocks themselves are told apart by their whole name.
std::string ShownBlockName(std::string_view name);

}  // namespace planox
