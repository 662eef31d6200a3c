// The reader's progress: the share of the file read, rising to 100, and a
// cancel that ends the read as any cancel does.
#include <algorithm>

#include "drawing_support.h"

namespace planox::test {
namespace {

class ReadProgress : public DrawingTest {
 protected:
  // A drawing several times the reader's buffer, without header extents,
  // so that every mode reads all of it.
  std::string Big(int lines) {
    std::string body;
    for (int i = 0; i < lines; ++i) body += Line(i, 0, i, 100);
    return Section("ENTITIES", body) + Eof();
  }
  int Lines() const { return static_cast<int>(rec.Only("H_Line").size()); }
  // Reads the big drawing with the user cancelling at percent.
  void ReadCancelledAt(int percent, int mode) {
    Use(Big(40000), "BIG");
    ui.cancelAtPercent = percent;
    ReadDrawing(mode);
    EXPECT_TRUE(Session.AbortFlag);
  }
};

TEST_F(ReadProgress, EveryModeReportsARisingShareEndingAt100) {
  Use(Big(40000), "BIG");
  for (int mode : {ReadHeaderOnly, ReadForDisplay}) {
    ui.progressNames.clear();
    ui.progressSteps.clear();
    ReadDrawing(mode);
    ASSERT_FALSE(Session.AbortFlag) << mode;
    EXPECT_EQ(ui.progressNames, std::vector<std::string>{"BIG.dxf"}) << mode;
    EXPECT_EQ(ui.progressOpen, 0);
    ASSERT_GT(ui.progressSteps.size(), 3u) << mode;
    EXPECT_TRUE(std::is_sorted(ui.progressSteps.begin(), ui.progressSteps.end())) << mode;
    EXPECT_LT(ui.progressSteps.front(), 50) << mode;
    EXPECT_EQ(ui.progressSteps.back(), 100) << mode;
  }
  EXPECT_EQ(Lines(), 40000);
}

TEST_F(ReadProgress, CancelEndsTheReadWithAbortFlag) {
  ReadCancelledAt(40, ReadForDisplay);
  EXPECT_EQ(ui.progressOpen, 0);
  EXPECT_LT(ui.progressSteps.back(), 100);
  // The read stopped near where the user cancelled, silently.
  EXPECT_GT(Lines(), 0);
  EXPECT_LT(Lines(), 30000);
  EXPECT_TRUE(Boxes().empty());
  // The next read is whole again.
  ui.cancelAtPercent = 1000;
  rec.calls.clear();
  Session.AbortFlag = false;
  ReadDrawing(ReadForDisplay);
  EXPECT_FALSE(Session.AbortFlag);
  EXPECT_EQ(Lines(), 40000);
}

TEST_F(ReadProgress, ACancelledConversionEndsNoOutput) {
  ReadCancelledAt(50, ReadForConversion);
  EXPECT_FALSE(rec.Only("PlotBegin").empty());
  EXPECT_TRUE(rec.Only("PlotEnd").empty());
  // The driver is told to drop what it wrote, as after any failure.
  EXPECT_EQ(rec.Only("PlotAbort").size(), 1u);
}

}  // namespace
}  // namespace planox::test
