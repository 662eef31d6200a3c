// The usage text of the command line.
#include "base/textconv.h"
#include "app/usage.h"
#include "support/testsupport.h"

namespace planox {
namespace {

using Usage = test::Defaults;

TEST_F(Usage, LinesInCodePage850) {
  const auto lines = UsageLines();
  ASSERT_EQ(lines.size(), 22u);
  for (const auto& l : lines) EXPECT_LE(l.size(), 65u) << l;
  // Cut at 65 characters, so the line ends before "[/Fx]".
  EXPECT_EQ(lines[0], "ordre:  planox fichier DXF [/Cxxx] [/Mx] [/Xx] [/Yx] [/Dx] [/Bx] ");
  EXPECT_EQ(lines[1], "");
  EXPECT_EQ(lines[17], "");
  EXPECT_EQ(lines[3], "/M : echelle (0.01..100)  /M* : \x82" "cran plein");
  EXPECT_EQ(Cp850ToUtf8(lines[6]), "/Q : annulation du règlage automatique sur les coordonnées(0/0)");
  EXPECT_EQ(Cp850ToUtf8(lines[9]), "/B : facteur largeur de texte      /G : +/- °");
  EXPECT_EQ(lines[12], "/V : epaisseur des traits (impimante laser) ou pen no. (plotter)");
  EXPECT_EQ(lines[18], "exemp.: planox A*.DXF /CHPL /M0.5 /D2 /V1=1 /V2=1 /V3=1");
  EXPECT_EQ(Cp850ToUtf8(lines[19]), "tous les fichiers DXF avec comme première lettre \"A\" sont");
  EXPECT_EQ(Cp850ToUtf8(lines[20]), "imprimés par l'imprimante laser HPGL avec comme échelle 1:2");
  EXPECT_EQ(Cp850ToUtf8(lines[21]), "par le port parallèle");
}

TEST_F(Usage, LongOptionsFollowInTheSameForm) {
  std::string all;
  for (const auto& l : LongOptionLines()) {
    EXPECT_LE(l.size(), 65u) << l;
    all += l + "\n";
  }
  for (const char* option : {"--help", "--version", "--export", "--size"})
    EXPECT_NE(all.find(option), std::string::npos) << option;
}

}  // namespace
}  // namespace planox
