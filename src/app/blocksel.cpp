#include "app/blocksel.h"

#include <algorithm>

#include "base/prompts.h"
#include "base/session.h"
#include "display/quorgraf.h"
#include "drawing/dxfin.h"
#include "drawing/dxfinvar.h"

namespace planox {

int SelectedBlock = 1;

void SelectBlock(QuorGraf& quor) {
  if (BlockCount <= 0) {
    ShowInfo("No block found !");
    return;
  }
  ResetBoundingBox();
  const int n = std::min(BlockCount, MaxBlockChoices);
  ChoiceList.clear();
  for (int i = 1; i <= n; ++i) ChoiceList.push_back(ShownBlockName(BlockTable[i]));
  HelpNumber = 5450;
  const int chosen = AskChoice("Select Block", n, SelectedBlock);
  // A cancelled choice shows nothing.
  if (Session.AbortFlag) return;
  SelectedBlock = std::clamp(chosen, 1, n);
  const std::string name = BlockTable[SelectedBlock];

  // First pass: the block at the origin, which measures its extent in the
  // bounding box.
  const Extents e = Session.DrawingExtents;
  quor.H_Clear();
  quor.H_SetWindow(0, 0, 0.95, 0.95, static_cast<double>(e.XMin), static_cast<double>(e.YMin),
                   static_cast<double>(e.XMax), static_cast<double>(e.YMax), true, true);
  if (Session.AbortFlag) return;
  ReadDrawing(ShowBlock, name);
  if (Session.AbortFlag) return;

  // Second pass: the block alone, fitted to its own extent. A block
  // without width or height (a single straight line, a point) gets the
  // missing side from the other one, so that it can still be fitted.
  Box b = BoundingBox;
  if (b.XMin > b.XMax || b.YMin > b.YMax) return;  // nothing drawable in it
  const long double w = b.XMax - b.XMin, h = b.YMax - b.YMin;
  long double side = std::max(w, h);
  if (side == 0) side = 1;
  if (w == 0) {
    b.XMin -= side / 2;
    b.XMax += side / 2;
  }
  if (h == 0) {
    b.YMin -= side / 2;
    b.YMax += side / 2;
  }
  quor.H_Clear();
  quor.H_SetWindow(0, 0, 0.95, 0.95, static_cast<double>(b.XMin), static_cast<double>(b.YMin),
                   static_cast<double>(b.XMax), static_cast<double>(b.YMax), true, true);
  if (Session.AbortFlag) return;
  ReadDrawing(ShowBlock, name);
}

}  // namespace planox
