// The reader under hostile files: a temporary folder that takes no more,
// lines and texts of megabytes.
#include <sys/resource.h>

#include <csignal>

#include "drawing_support.h"

namespace planox::test {
namespace {

class ReaderLimits : public DrawingTest {};

bool Has(const std::vector<std::string>& calls, const std::string& call) {
  return std::find(calls.begin(), calls.end(), call) != calls.end();
}

TEST_F(ReaderLimits, ABlockThatCannotBeWrittenEndsTheRead) {
  std::string door;
  for (int i = 0; i < 400; ++i) door += Line(i, 0, i, 10);
  std::string dxf = Section("BLOCKS", Block("DOOR", door)) +
                    Section("ENTITIES", Line(0, 0, 1, 1) + Insert("DOOR", 5, 5)) + Eof();
  Use(dxf);
  {
    // Work files may not grow beyond 4 KiB: the folder is as good as full.
    rlimit old{};
    getrlimit(RLIMIT_FSIZE, &old);
    auto handler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit l = old;
    l.rlim_cur = 4096;
    setrlimit(RLIMIT_FSIZE, &l);
    ReadDrawing(ReadForConversion);
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, handler);
  }
  EXPECT_TRUE(Session.AbortFlag);
  EXPECT_EQ(Boxes(), std::vector<std::string>{"Invalid temp Directory or File System"});
  EXPECT_FALSE(Has(rec.calls, "PlotBegin(10,3)"));
}

TEST_F(ReaderLimits, ALineOfMegabytesEndsTheReadWithAMessage) {
  std::string dxf = Section("ENTITIES", Line(0, 0, 1, 1) + G(0, "TEXT") + G(8, "0") + G(10, 1.0) +
                                            G(20, 1.0) + G(40, 2.0) +
                                            G(1, std::string(TextReader::MaxLineLength + 10, 'W')) +
                                            Line(2, 2, 3, 3)) +
                    Eof();
  Read(dxf, ReadForDisplay);
  EXPECT_TRUE(Session.AbortFlag);
  EXPECT_EQ(Boxes(), std::vector<std::string>{"Ligne 28 trop longue (plus de 4 Mo) : lecture interrompue"});
  // Nothing after the line is taken.
  for (const auto& c : rec.calls) EXPECT_EQ(c.find("H_Line(2,2"), std::string::npos) << c;
}

TEST_F(ReaderLimits, TextsAreKeptToABoundedLength) {
  std::string dxf = Section("ENTITIES", G(0, "TEXT") + G(8, "0") + G(10, 1.0) + G(20, 1.0) +
                                            G(40, 2.0) + G(1, std::string(1'000'000, 'W'))) +
                    Eof();
  Read(dxf, ReadForDisplay);
  EXPECT_FALSE(Session.AbortFlag);
  size_t longest = 0;
  for (const auto& c : rec.calls)
    if (c.rfind("H_OutTextXY(", 0) == 0) longest = std::max(longest, c.size());
  EXPECT_GT(longest, MaxTextLength);
  EXPECT_LT(longest, MaxTextLength + 100);
}

}  // namespace
}  // namespace planox::test
