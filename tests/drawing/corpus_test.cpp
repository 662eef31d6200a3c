// The drawings of other programs: every file in every mode, and figures
// an independent reader agrees with.
#include <filesystem>

#include "base/textconv.h"
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

namespace planox::test {
namespace {

struct Figures {
  const char* file;
  long double xmin, ymin, xmax, ymax;  // after a header-only read
  int layers, blocks;
};

// Header extents and block definitions as an independent reader lists them
// (MANIFEST.json); layers are the file's own LAYER entries (the manifest's
// count includes layers that reader adds by itself).
TEST_F(Corpus, FiguresAgreeWithTheManifest) {
  SKIP_WITHOUT_CORPUS();
  const Figures figures[] = {
      {"ezdxf/text.dxf", -147.927468L, -129.663731L, 8401.702132L, 2870.985625L, 2, 5},
      {"ezdxf/4_world.dxf", -0.316L, 0, 23.987648L, 13.067242L, 3, 3},
      {"ezdxf/dimension_in_nested_blocks.dxf", -20, -20, 270, 223.137085L, 2, 9},
      {"librecad/plan__architect__Complete-Lib-V.dxf", 0, 0, 4050, 18225, 5, 16},
      // $EXTMIN 1e20 and $EXTMAX -1e20 (an empty drawing's markers), and
      // $EXTMIN and $EXTMAX both (0,0): no extents, the entities' bounding box.
      {"dxf-parser/extendeddata.dxf", -10, -10, 10, 20, 1, 2},
      {"librecad/algoritm__alg12.dxf", 0, 0, 33, 23, 1, 2},
  };
  for (const Figures& f : figures) {
    SCOPED_TRACE(f.file);
    ResetDrawingModel();
    UseCorpusFile(CorpusDir() + "/" + f.file);
    Session.AbortFlag = false;
    ReadDrawing(ReadHeaderOnly);
    EXPECT_FALSE(Session.AbortFlag);
    const Extents& e = Session.DrawingExtents;
    EXPECT_NEAR(double(e.XMin), double(f.xmin), 1e-6);
    EXPECT_NEAR(double(e.YMin), double(f.ymin), 1e-6);
    EXPECT_NEAR(double(e.XMax), double(f.xmax), 1e-6);
    EXPECT_NEAR(double(e.YMax), double(f.ymax), 1e-6);
    ReadDrawing(ReadForDisplay);
    EXPECT_FALSE(Session.AbortFlag);
    EXPECT_EQ(LayerCount, f.layers);
    EXPECT_EQ(BlockCount, f.blocks);
  }

  // The binary drawing is refused; bytes after EOF are not read; a drawing
  // without EOF is shown as far as it goes.
  UseCorpusFile(CorpusDir() + "/ezdxf/bin_dxf_r12.dxf");
  ReadDrawing(ReadForDisplay);
  EXPECT_TRUE(Session.AbortFlag);
  EXPECT_EQ(Boxes().back(), "Fichier DXF binaire : lecture impossible");
  Session.AbortFlag = false;
  UseCorpusFile(CorpusDir() + "/ezdxf/R12_with_trash_beyond_EOF.dxf");
  ReadDrawing(ReadForDisplay);
  EXPECT_FALSE(Session.AbortFlag);
  EXPECT_EQ(ElementCount, 1u);
  UseCorpusFile(CorpusDir() + "/ezdxf/recover01.dxf");
  ReadDrawing(ReadForDisplay);
  EXPECT_FALSE(Session.AbortFlag);
  EXPECT_GT(ElementCount, 0u);
}

// A drawing of light polylines only fills the extents its header names.
TEST_F(Corpus, LightPolylinesFillTheirExtents) {
  SKIP_WITHOUT_CORPUS();
  UseCorpusFile(CorpusDir() + "/ezdxf/usa.dxf");
  ReadDrawing(ReadHeaderOnly);
  const Extents header = Session.DrawingExtents;
  ReadDrawing(ReadForDisplay);
  EXPECT_FALSE(Session.AbortFlag);
  const Extents& drawn = Session.DrawingExtents;
  const double slack = 0.01 * double(header.XMax - header.XMin);
  EXPECT_NEAR(double(drawn.XMin), double(header.XMin), slack);
  EXPECT_NEAR(double(drawn.YMin), double(header.YMin), slack);
  EXPECT_NEAR(double(drawn.XMax), double(header.XMax), slack);
  EXPECT_NEAR(double(drawn.YMax), double(header.YMax), slack);
  EXPECT_GT(rec.Only("H_Line").size(), 1000u);
}

}  // namespace
}  // namespace planox::test
