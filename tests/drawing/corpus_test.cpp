// The drawings of other programs: every file in every mode, and figures
// an independent reader agrees with.
#include <filesystem>

#include "app/textconv.h"
#include "drawing_support.h"

namespace planox::test {
namespace {

using Corpus = DrawingTest;

void UseCorpusFile(const std::string& path) {
  Session.InPath = DirectoryPart(path);
  std::string base = path.substr(Session.InPath.size());
  auto dot = base.rfind('.');
  Session.DrawingName = base.substr(0, dot);
  Session.FileExtension = dot == std::string::npos ? "" : base.substr(dot + 1);
}

TEST_F(Corpus, EveryFileInEveryMode) {
  SKIP_WITHOUT_CORPUS();
  std::vector<std::string> files = CorpusFiles();
  ASSERT_FALSE(files.empty());
  char cwd[4096];
  ASSERT_NE(getcwd(cwd, sizeof cwd), nullptr);
  ASSERT_EQ(chdir(tmp.path().c_str()), 0);  // conversion output goes here
  Settings.SyntaxCode = 5;
  for (const std::string& f : files) {
    SCOPED_TRACE(f);
    UseCorpusFile(f);
    Session.PlotFile = "OUT";
    for (int mode : {ReadHeaderOnly, ReadForDisplay, ReadForConversion}) {
      Session.AbortFlag = false;
      rec.calls.clear();
      ReadDrawing(mode);
      EXPECT_EQ(InsertDepth, 0);
      EXPECT_FALSE(InBlockDefinition);
    }
    for (int i = 1; i <= BlockCount && i <= 3; ++i) {
      Session.AbortFlag = false;
      ReadDrawing(ShowBlock, BlockTable[i]);
    }
  }
  ASSERT_EQ(chdir(cwd), 0);
}

}  // namespace
}  // namespace planox::test
