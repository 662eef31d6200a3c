// The target table: what every part of the program reads about the
// conversion targets must hold together when a row is added.
#include <set>

#include "base/session.h"
#include "base/textconv.h"
#include "convert/plot.h"
#include "convert/targets.h"
#include "support/testsupport.h"

namespace planox::test {
namespace {

using TargetTable = Defaults;

TEST_F(TargetTable, RowsAreNumberedFromOneWithoutGapsAndNamesAreUnique) {
  std::set<std::string> names, labels, extensions, codes;
  int expected = 1;
  for (const TargetRow& t : Targets()) {
    SCOPED_TRACE(t.name);
    EXPECT_EQ(t.number, expected++);  // the dialogs index targets by number - 1
    EXPECT_NE(t.make, nullptr);
    EXPECT_NE(std::string(t.penHeader), "");
    EXPECT_TRUE(names.insert(t.name).second);
    EXPECT_TRUE(labels.insert(t.dialogLabel).second);
    EXPECT_TRUE(extensions.insert(t.extension).second);
    EXPECT_TRUE(codes.insert(t.batchCode).second);
    EXPECT_EQ(LowerText(t.batchCode), t.batchCode);
    EXPECT_EQ(FindTarget(t.number), &t);
    EXPECT_EQ(TargetOfBatchCode(UpperText(t.batchCode)), &t);
    EXPECT_EQ(FindPlotWriter(t.number), t.make);
    // A target older versions do not know is stored as one they do know.
    if (t.olderNumber) {
      EXPECT_TRUE(FindTarget(t.olderNumber) && !FindTarget(t.olderNumber)->olderNumber);
    }
  }
  EXPECT_GE(Targets().size(), 12u);
}

TEST_F(TargetTable, UnknownNumbersAndCodesFindNothing) {
  const int past = static_cast<int>(Targets().size()) + 1;
  for (int n : {0, -1, past, 65535}) {
    EXPECT_EQ(FindTarget(n), nullptr) << n;
    EXPECT_EQ(TargetName(n), "") << n;
    EXPECT_EQ(TargetExtension(n), "") << n;
    EXPECT_EQ(FindPlotWriter(n), nullptr) << n;
  }
  for (const char* code : {"", "p", "pltx", " plt", "plt "}) EXPECT_EQ(TargetOfBatchCode(code), nullptr) << code;
}

// The files a conversion would write, which the reader refuses to replace
// with the drawing it reads: every name the target may use, none over a port.
TEST_F(TargetTable, OutputFilesNameEveryExtensionOfTheTarget) {
  Session.PlotFile = "PLAN";
  EXPECT_EQ(PlotOutputFiles(TargetHpgl, 3), std::vector<std::string>{"PLAN.plt"});
  EXPECT_EQ(PlotOutputFiles(TargetGarmin, 3),
            (std::vector<std::string>{"PLAN.grm", "PLAN.WPT", "PLAN.TRK", "PLAN.GRM"}));
  EXPECT_TRUE(PlotOutputFiles(TargetHpgl, 1).empty());
  EXPECT_TRUE(PlotOutputFiles(TargetHpgl, 2).empty());
  EXPECT_TRUE(PlotOutputFiles(0, 3).empty());
}

}  // namespace
}  // namespace planox::test
