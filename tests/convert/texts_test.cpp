// Texts of drawings in UTF-8 and in a Windows code page, read and written
// by the DXF and PostScript targets: both end as the same code page 850
// text the writers hold.
#include "base/textconv.h"
#include "drawing/dxfin.h"
#include "writertest.h"

namespace planox::test {
namespace {

using DrawingTexts = WriterTest;

std::string G(int code, const std::string& value) {
  return std::to_string(code) + "\n" + value + "\n";
}

std::string Drawing(const std::string& version, const std::string& codePage, const std::string& text) {
  return G(0, "SECTION") + G(2, "HEADER") + G(9, "$ACADVER") + G(1, version) + G(9, "$DWGCODEPAGE") +
         G(3, codePage) + G(0, "ENDSEC") + G(0, "SECTION") + G(2, "ENTITIES") + G(0, "TEXT") +
         G(8, "0") + G(10, "1") + G(20, "1") + G(40, "2") + G(1, text) + G(0, "MTEXT") + G(8, "0") +
         G(10, "1") + G(20, "9") + G(40, "2") + G(1, "{\\fArial;" + text + "}") + G(0, "ENDSEC") +
         G(0, "EOF");
}

TEST_F(DrawingTexts, Utf8AndCodePageTextsReachDxfAndPostscript) {
  InstallPlotDriver();
  const std::string utf8 = "\xC3\x9C" "bersicht \xC3\xA9 \xC3\x9F %%c12 \\U+00B1";
  const std::string ansi = "\xDC" "bersicht \xE9 \xDF %%c12 \\U+00B1";
  // Code page 850: U umlaut 9A, e acute 82, sharp s E1, O stroke 9D, plus-minus F1.
  const std::string held = "\x9A" "bersicht \x82 \xE1 \x9D" "12 \xF1";
  for (const auto& [version, text] : {std::pair{"AC1021", utf8}, std::pair{"AC1009", ansi}}) {
    SCOPED_TRACE(version);
    WriteFile(path("d.dxf"), Drawing(version, "ANSI_1252", text));
    Session.InPath = dir.path();
    Session.DrawingName = "d";
    Session.FileExtension = "dxf";
    Session.PlotFile = "out";
    Settings.DeviceCode = 3;
    for (int target : {TargetDxf, TargetPostscript}) {
      Settings.SyntaxCode = static_cast<uint16_t>(target);
      Session.AbortFlag = false;
      ReadDrawing(ReadForConversion);
      ASSERT_FALSE(Session.AbortFlag);
      std::string out = ReadFile("out." + TargetExtension(target));
      if (target == TargetDxf) {
        // Both the TEXT and the MTEXT, as code page 850.
        size_t first = out.find("\r\n" + held + "\r\n");
        ASSERT_NE(first, std::string::npos) << out;
        EXPECT_NE(out.find("\r\n" + held + "\r\n", first + 1), std::string::npos);
      } else {
        // The PostScript writer's own transliteration of the same text.
        EXPECT_NE(out.find("(" + PlotterText(held) + ") show"), std::string::npos) << out;
      }
    }
  }
}

}  // namespace
}  // namespace planox::test
