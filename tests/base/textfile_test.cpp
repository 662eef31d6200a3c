#include "base/textfile.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "support/testsupport.h"

namespace planox {
namespace {

using test::TempDir;
using test::WriteFile;

// The lines of a reader, taken one at a time or, where the reader allows,
// two at a time.
std::vector<std::string> Lines(TextReader& in, bool inPairs) {
  std::vector<std::string> lines;
  while (!in.AtEnd()) {
    std::string_view a, b;
    if (inPairs && in.ReadShortLines(a, b)) {
      lines.emplace_back(a);
      lines.emplace_back(b);
    } else {
      lines.emplace_back(in.ReadLine());
    }
  }
  return lines;
}

// Random text of short lines ending in LF, CR or CR LF, with runs of empty
// lines and now and then a line longer than sixteen bytes.
std::string RandomLines(std::mt19937& rnd, size_t bytes) {
  static const char* const ends[] = {"\n", "\r\n", "\r", "\n\n", "\r\r\n"};
  std::string text;
  while (text.size() < bytes) {
    const int length = rnd() % 8 == 0 ? static_cast<int>(rnd() % 40) : static_cast<int>(rnd() % 14);
    for (int i = 0; i < length; ++i) text += "0123456789 .-AZ"[rnd() % 15];
    text += ends[rnd() % 5];
  }
  return text;
}

TEST(TextReader, LinesTakenInPairsAreTheLinesTakenOneByOne) {
  std::mt19937 rnd(7);
  for (int round = 0; round < 2000; ++round) {
    const std::string text = RandomLines(rnd, rnd() % 80);
    TextReader single, paired;
    single.OpenMemory(text);
    paired.OpenMemory(text);
    ASSERT_EQ(Lines(paired, true), Lines(single, false)) << testing::PrintToString(text);
  }
}

// A file of several buffers: pairs cut by the end of a buffer, and a CR at
// its end whose LF comes with the next one.
TEST(TextReader, LinesTakenInPairsAcrossBuffers) {
  std::mt19937 rnd(11);
  const std::string text = RandomLines(rnd, 3 << 20);
  TempDir dir;
  const std::string path = dir.path() + "/lines.txt";
  WriteFile(path, text);
  TextReader single, paired;
  ASSERT_TRUE(single.Open(path));
  ASSERT_TRUE(paired.Open(path));
  EXPECT_EQ(Lines(paired, true), Lines(single, false));
}

}  // namespace
}  // namespace planox
