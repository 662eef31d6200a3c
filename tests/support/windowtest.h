// The fixture of tests on the window mapping: a window of 640 x 480 pixels
// on a display list of its own.
#pragma once

#include "display/quorgraf.h"
#include "support/testsupport.h"

namespace planox::test {

class InWindow : public Defaults {
 protected:
  void SetUp() override {
    Defaults::SetUp();
    w.SetDrawingArea(640, 480);
    w.setList(&list);
  }
  GraphWindow w;
  DisplayList list;
};

}  // namespace planox::test
