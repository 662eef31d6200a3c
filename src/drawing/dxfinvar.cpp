#include "drawing/dxfinvar.h"
#include "drawing/notread.h"

#include "base/prompts.h"

namespace planox {

std::array<Layer, MaxLayers + 1> LayerTable;
int LayerCount = 0;
std::array<std::string, MaxLineTypes + 1> LineTypeTable;
int LineTypeCount = 0;
std::array<std::string, MaxBlocks + 1> BlockTable;
int BlockCount = 0;
Box BoundingBox;
Box DrawnBox;
std::map<std::string, uint32_t> EntitiesNotRead;
uint32_t ElementCount = 0;
uint32_t TextCount = 0;
bool InBlockDefinition = false;
Transform BlockTransform;
int InsertDepth = 0;

namespace {

// Consecutive entities mostly share a layer: remember the last answer.
std::string lastName;
int lastSlot = 0;

struct Starter {
  Starter() { ResetDrawingModel(); }
} starter;

}  // namespace

void LayerTableChanged() { lastSlot = 0; }

void ResetDrawingModel() {
  for (auto& l : LayerTable) l = Layer{};
  LayerCount = 0;
  for (auto& t : LineTypeTable) t = "CONTINUOUS";
  LineTypeCount = 0;
  for (auto& b : BlockTable) b.clear();
  BlockCount = 0;
  ResetBoundingBox();
  EntitiesNotRead.clear();
  ElementCount = 0;
  TextCount = 0;
  InBlockDefinition = false;
  BlockTransform = Transform{};
  InsertDepth = 0;
  LayerTableChanged();
}

int FindLayer(std::string_view name) {
  if (name.size() > LayerNameLength) name = name.substr(0, LayerNameLength);
  if (lastSlot != 0 && name == lastName) return lastSlot;
  for (int i = 1; i <= MaxLayers; ++i) {
    if (LayerTable[i].Name == name) {
      if (i == MaxLayers) break;  // a match in the last slot counts as none
      lastName.assign(name);
      lastSlot = i;
      return i;
    }
  }
  if (LayerCount < MaxLayers) {
    ++LayerCount;
    Layer& l = LayerTable[LayerCount];
    l.Name.assign(name);
    l.LineType = 1;
    l.Colour = 7;
    LayerTableChanged();
    return 1;
  }
  ReportError("Layername " + std::string(name) + " not found");
  return MaxLayers;
}

int FindLineType(std::string_view name) {
  if (name.size() > LineTypeNameLength) name = name.substr(0, LineTypeNameLength);
  for (int i = 1; i < MaxLineTypes; ++i)
    if (LineTypeTable[i] == name) return i;
  ReportError("Linetypename " + std::string(name) + " not found");
  return 0;
}

void ResetBoundingBox() { BoundingBox = DrawnBox = Box{}; }

int OutputLineType(std::string_view name) {
  name = name.substr(0, 31);
  if (name == "DASHDOT" || name == "MITTE") return 2;
  if (name == "DASHED" || name == "VERDECKT") return 3;
  if (name == "DOTTED" || name == "PUNKT") return 1;
  return 0;
}

std::string ShownBlockName(std::string_view name) {
  std::string s(name.substr(0, BlockNameLength));
  for (char& c : s)
    if (c == '*') c = 'X';
  return s;
}

}  // namespace planox
