// Helpers shared by the tests of every subsystem.
#pragma once

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/types.h>

#include <string>
#include <vector>

#include "base/prompts.h"

namespace planox::test {

// A fresh directory under the system temporary directory, removed again
// (with everything in it) when the object goes.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const std::string& path() const { return path_; }
  std::string file(const std::string& name) const { return path_ + "/" + name; }

 private:
  std::string path_;
};

// Puts every module back into its start state (ResetProgramState) and
// installs a ScriptedUi for the test's lifetime.
class Defaults : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;
  ScriptedUi ui;
};

// Defaults with a fresh directory as the start directory (where the
// configuration and session files go) and the temporary folder for the
// test's lifetime; the old start directory comes back afterwards.
class InTempDir : public Defaults {
 protected:
  void SetUp() override;
  void TearDown() override;
  TempDir dir;

 private:
  std::string oldStart_;
};

// The names of the files in a folder, sorted; none for a folder that is not
// there (yet).
std::vector<std::string> FileNames(const std::string& dir);

// Files may not grow beyond `bytes` while the object lives: the kernel then
// fails the write as on a full disk.
class FileSizeLimit {
 public:
  explicit FileSizeLimit(rlim_t bytes);
  ~FileSizeLimit();
  FileSizeLimit(const FileSizeLimit&) = delete;
  FileSizeLimit& operator=(const FileSizeLimit&) = delete;

 private:
  rlimit old_{};
  void (*oldHandler_)(int) = nullptr;
};

std::string ReadFile(const std::string& name);
void WriteFile(const std::string& name, const std::string& content);

// The shared corpus of drawings made by other programs, or "" when it is
// not there (a user's clone). Tests that need it call SKIP_WITHOUT_CORPUS.
std::string CorpusDir();
std::vector<std::string> CorpusFiles();  // every .dxf below it, sorted

// A point (anything with x and y) at (ex, ey), to within 1e-9.
#define EXPECT_AT(p, ex, ey)                                          \
  do {                                                                \
    EXPECT_NEAR(static_cast<double>((p).x), (ex), 1e-9) << #p;        \
    EXPECT_NEAR(static_cast<double>((p).y), (ey), 1e-9) << #p;        \
  } while (0)

#define SKIP_WITHOUT_CORPUS()                                                             \
  do {                                                                                    \
    if (::planox::test::CorpusDir().empty())                                              \
      GTEST_SKIP() << "../shared/dxf-corpus is not here; the corpus tests are skipped";   \
  } while (0)

// The project's source tree and the built program.
inline std::string SourceDir() { return PLANOX_SOURCE_DIR; }
// The program's data (the shape font), wherever the build tree is.
inline std::string DataDir() { return PLANOX_DATA_DIR; }
inline std::string ProgramPath() { return PLANOX_BINARY; }

// Runs a program with arguments in a directory, with the given environment
// additions; standard input is /dev/null. Returns the exit code (or -1).
struct RunResult {
  int exitCode = -1;
  std::string out, err;
};
RunResult RunProgram(const std::vector<std::string>& args, const std::string& dir,
                     const std::vector<std::string>& env = {});
// Starts args[0] with args in dir (none: this one) with env added, its
// standard input from /dev/null and its output to out and err (-1:
// /dev/null), without waiting for it. The child's process id.
pid_t StartProgram(const std::vector<std::string>& args, const std::string& dir,
                   const std::vector<std::string>& env, int out = -1, int err = -1);

}  // namespace planox::test
