// Every drawing of the shared corpus converted by the program's own reader
// to the DXF, Pascal, IGES, C and Garmin targets: each output is read by
// its consumer (ezdxf, gcc and fpc, Open CASCADE, the PCX5 layout check).
#include <unistd.h>

#include <map>
#include <regex>

#include "base/textconv.h"
#include "drawing/dxfin.h"
#include "drawing/sinks.h"
#include "writertest.h"

namespace planox::test {
namespace {

using WritersCorpusTest = WriterTest;

const char* const EzdxfAudit = R"PY(
import sys, ezdxf
bad = 0
for name in sys.argv[1:]:
    try:
        doc = ezdxf.readfile(name)
        a = doc.audit()
        if a.errors: print("audit", name, [str(e.message) for e in a.errors][:3]); bad += 1
    except Exception as e:
        print("error", name, e); bad += 1
print("bad", bad)
)PY";

TEST_F(WritersCorpusTest, EveryDrawingConvertsToEveryWriterTarget) {
  SKIP_WITHOUT_CORPUS();
  InstallPlotDriver();
  ConverterChoices.GarminFileType = 3;
  std::vector<std::string> dxfOutputs;
  std::map<int, int> outputs;
  int index = 0;
  const std::regex pcx5Line("( |H  .*|I  PCX5 2\\.08|M  G WGS 84 .*|U  LAT LON DM|"
                            "T  [NS]\\d{4}\\.\\d{5} [EW]\\d{5}\\.\\d{5} .{18} -9999|"
                            "W  .{6} [NS]\\d{4}\\.\\d{5} [EW]\\d{5}\\.\\d{5} .{18} -9999 .{40} 0\\.00000e\\+00        0|)");
  for (const std::string& file : CorpusFiles()) {
    std::string name = "C" + IntToText(++index);
    SCOPED_TRACE(file);
    for (int target : {TargetDxf, TargetPascal, TargetIges, TargetC, TargetGarmin}) {
      if (!ConvertDrawing(file, target, name)) continue;  // a drawing the reader refuses
      std::string ext = target == TargetGarmin ? "GRM" : TargetExtension(target);
      std::string out = name + "." + ext;
      if (access(out.c_str(), F_OK) != 0) continue;  // nothing to convert
      std::string text = ReadFile(out);
      ++outputs[target];
      if (target == TargetDxf) dxfOutputs.push_back(path(out));
      if (target == TargetGarmin) {
        for (const std::string& l : CrLfLines(text)) EXPECT_TRUE(std::regex_match(l, pcx5Line)) << l;
      }
      if (target == TargetIges) {
        int rc = 0;
        std::string log = Shell(std::string(PLANOX_IGESLOAD) + " " + Quoted(out), rc);
        std::smatch m;
        ASSERT_TRUE(rc == 0 && std::regex_search(log, m, std::regex("entities (\\d+) roots \\d+ shapes \\d+ fails (\\d)")))
            << log;
        // Directory records: two per entity, "D" in column 73.
        int d = 0;
        for (size_t at = 72; at < text.size(); at += 82) d += text[at] == 'D';
        EXPECT_EQ(std::stoi(m[1]), d / 2) << log;
        if (d > 0) {
          EXPECT_EQ(m[2], "0") << log;  // an empty model is "no data" to the reader
        }
        for (const std::string& l : CrLfLines(text)) ASSERT_EQ(l.size(), 80u) << l;
      }
      if (target == TargetC) {
        int rc = 0;
        std::string log = Shell("gcc -fsyntax-only -w -Werror=implicit-function-declaration -I" +
                                    Quoted(SourceDir() + "/tests/convert/standin") + " " + Quoted(out), rc);
        EXPECT_EQ(rc, 0) << log;
      }
      if (target == TargetPascal && index % 10 == 1) {
        int rc = 0;
        std::string log = Shell("fpc -vew -FU. -Fu" + Quoted(SourceDir() + "/tests/convert/standin") + " " + Quoted(out), rc);
        EXPECT_EQ(rc, 0) << log;
      }
    }
  }
  SetPlotSink(nullptr);
  // Most drawings convert; a few the reader refuses (binary DXF, no ENTITIES).
  for (int target : {TargetDxf, TargetPascal, TargetIges, TargetC, TargetGarmin})
    EXPECT_GE(outputs[target], static_cast<int>(CorpusFiles().size()) * 3 / 4) << target;
  std::string args;
  for (const std::string& f : dxfOutputs) args += " " + Quoted(f);
  int rc = 0;
  std::string python = access("/usr/bin/python3", X_OK) == 0 ? "/usr/bin/python3" : "python3";
  std::string log = Shell(python + " -c " + Quoted(EzdxfAudit) + args, rc);
  EXPECT_EQ(rc, 0) << log;
  EXPECT_NE(log.find("bad 0\n"), std::string::npos) << log;
}

}  // namespace
}  // namespace planox::test
