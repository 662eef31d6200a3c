// Drawings of many more group pairs than the second thread reads ahead at
// once: whatever ends the read, and wherever, the pairs come in order, the
// line numbers of the messages are exact, and the next read starts afresh.
#include <algorithm>

#include "drawing_support.h"

namespace planox::test {
namespace {

class ReadAheadTest : public DrawingTest {
 protected:
  static std::string Lines(int n, int from = 0) {
    std::string body;
    for (int i = from; i < from + n; ++i) body += Line(i, 0, i, 100);
    return body;
  }
  static int LineCount(const std::string& text) { return static_cast<int>(std::count(text.begin(), text.end(), '\n')); }
  // The x of every line drawn, in order.
  std::vector<double> Drawn() const {
    std::vector<double> xs;
    for (const std::string& c : rec.Only("H_Line(")) xs.push_back(std::stod(c.substr(7)));
    return xs;
  }
  static std::vector<double> Upto(int n) {
    std::vector<double> xs;
    for (int i = 0; i < n; ++i) xs.push_back(i);
    return xs;
  }
};

TEST_F(ReadAheadTest, AFileWithoutEofNamesItsLastLine) {
  const std::string dxf = Section("ENTITIES", Lines(30000));
  Read(dxf, ReadForDisplay);
  EXPECT_FALSE(Session.AbortFlag);
  EXPECT_EQ(Drawn(), Upto(30000));
  EXPECT_EQ(Boxes().back(), "Fin du fichier DXF sans EOF \x85 la ligne " + std::to_string(LineCount(dxf) + 2) +
                                " : le dessin lu jusque-l\x85 est utilis\x82");
}

TEST_F(ReadAheadTest, ALongLineFarIntoTheFileEndsTheReadThere) {
  const std::string head = G(0, "SECTION") + G(2, "ENTITIES") + Lines(20000);
  const std::string dxf = head + G(999, std::string(TextReader::MaxLineLength + 1, 'W')) + Lines(10, 20000) +
                          G(0, "ENDSEC") + Eof();
  Read(dxf, ReadForDisplay);
  EXPECT_TRUE(Session.AbortFlag);
  // The line the long pair belongs to is cut off with it.
  EXPECT_EQ(Drawn(), Upto(19999));
  EXPECT_EQ(Boxes(), std::vector<std::string>{"Ligne " + std::to_string(LineCount(head) + 2) +
                                              " trop longue (plus de 4 Mo) : lecture interrompue"});
}

TEST_F(ReadAheadTest, AReadThatStopsEarlyLeavesTheNextWhole) {
  // The header's extents end the header read at once, far from the end.
  const std::string withExtents = Section("HEADER", G(9, "$EXTMIN") + G(10, 0.0) + G(20, 0.0) + G(9, "$EXTMAX") +
                                                        G(10, 30000.0) + G(20, 100.0)) +
                                  Section("ENTITIES", Lines(30000)) + Eof();
  for (int round = 0; round < 3; ++round) {
    Read(withExtents, ReadHeaderOnly);
    ASSERT_FALSE(Session.AbortFlag);
    EXPECT_EQ(Session.DrawingExtents.XMax, 30000);
    rec.calls.clear();
    Read(Section("ENTITIES", Lines(25000)) + Eof(), ReadForDisplay);
    ASSERT_FALSE(Session.AbortFlag);
    EXPECT_EQ(Drawn(), Upto(25000)) << round;
    EXPECT_EQ(GroupValue, "EOF");
  }
}

}  // namespace
}  // namespace planox::test
