// A batch command line from arbitrary bytes (one argument per line): a
// file mask or file names, then options, run over a few small drawings in
// the run's folder, which becomes the current directory (so the corpus and
// seed folders are given with their full names). Ports are files in that
// folder; output names with a directory are dropped so that the run never
// writes outside it.
#include <unistd.h>

#include <vector>

#include "app/batch.h"
#include "base/session.h"
#include "base/startup.h"
#include "base/textconv.h"
#include "fuzzsupport.h"

namespace {

const char* const Drawing =
    "0\nSECTION\n2\nENTITIES\n0\nLINE\n8\n0\n10\n0\n20\n0\n11\n10\n21\n5\n"
    "0\nTEXT\n8\n0\n10\n1\n20\n1\n40\n2.5\n1\nA\n0\nENDSEC\n0\nEOF\n";

void Prepare(const std::string& dir) {
  static bool done = false;
  if (done) return;
  done = true;
  for (const char* n : {"a.dxf", "B.DXF", "c.Dxf"}) fuzz::WriteBytes(dir + n, Drawing);
  for (int i = 1; i <= 4; ++i) {
    setenv(("PLANOX_LPT" + std::to_string(i)).c_str(), (dir + "lpt").c_str(), 1);
    setenv(("PLANOX_COM" + std::to_string(i)).c_str(), (dir + "com").c_str(), 1);
  }
  if (chdir(dir.c_str()) != 0) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace planox;
  static fuzz::SilentUi ui;
  const std::string& dir = fuzz::RunDir();
  Prepare(dir);
  SetUi(&ui);
  SetStartDir(dir);
  ResetSession();
  ResetSettings();
  Settings.TempDir = dir;
  Settings.PltDir = dir;

  std::vector<std::string> args;
  std::string_view in = fuzz::Bytes(data, size);
  for (size_t start = 0; start <= in.size() && args.size() < 16;) {
    size_t end = std::min(in.find('\n', start), in.size());
    std::string arg = Utf8ToCp850(in.substr(start, end - start));
    start = end + 1;
    // An output or mask elsewhere than the run's folder, or a print job.
    if (arg.find('/', 1) != std::string::npos || arg.find("..") != std::string::npos) continue;
    if (arg.size() >= 2 && arg[0] == '/' && (arg[1] == 'G' || arg[1] == 'g')) continue;
    args.push_back(arg);
  }
  if (args.size() < 2) return 0;
  try {
    RunBatch(args, BatchActions{});
  } catch (const ProgramExit&) {
  }
  RemoveTempFiles();
  return 0;
}
