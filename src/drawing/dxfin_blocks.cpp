// Block definitions and insertions. Each definition is written, as the
// reader meets it, to a work file in this program's private folder
// ("$" + name + ".dx$") and kept in memory with its values read as numbers;
// an insertion replays that copy (or the file, when another run wrote it)
// under the insertion transform, nesting up to four deep.
#include <dirent.h>
#include <fnmatch.h>
#include <unistd.h>

#include <cmath>
#include <memory>
#include <unordered_map>

#include "base/prompts.h"
#include "base/session.h"
#include "base/startup.h"
#include "base/textconv.h"
#include "drawing/dxfin_parts.h"
#include "drawing/report.h"

namespace planox {

namespace dxfin {
namespace {

// The work folder of the current read.
std::string readWorkDir;

std::unordered_map<std::string, std::unique_ptr<WorkFile>> workFiles;
// Work files by block name for the current work folder, so that a replay
// does not build the file name every time; emptied whenever workFiles
// changes.
std::unordered_map<std::string, const WorkFile*> workFilesByName;

// The base point of every block the drawing defines (groups 10 and 20 of
// its BLOCK entry), by stored name; an insertion puts it at its point.
std::unordered_map<std::string, Point> basePoints;

// The work file of the definition being read.
DxfWriter blockWriter;
std::vector<DxfGroup> blockCopy;
std::string blockPath;

// A block name as part of a file name: every byte a file name cannot
// safely hold, and "%" itself, as "%" and two hexadecimal digits, so that
// different names never share a work file ("DOOR 1" and "DOOR_1").
std::string SafeBlockName(std::string_view storedName) {
  static const char hex[] = "0123456789ABCDEF";
  std::string safe;
  for (char c : storedName) {
    unsigned char u = static_cast<unsigned char>(c);
    bool ok = (u >= 'A' && u <= 'Z') || (u >= 'a' && u <= 'z') || (u >= '0' && u <= '9') ||
              u == '-' || u == '_' || u == '$' || u == '#' || u >= 128;
    if (ok) {
      safe += c;
    } else {
      safe += '%';
      safe += hex[u >> 4];
      safe += hex[u & 15];
    }
  }
  // A file name holds at most 255 bytes: a longer name keeps its start and
  // ends in the hash of the whole name, so long names stay apart.
  if (safe.size() > 200) {
    const size_t h = std::hash<std::string_view>{}(storedName);
    safe.resize(180);
    safe += '%';
    for (int shift = 60; shift >= 0; shift -= 4) safe += hex[(h >> shift) & 15];
  }
  return safe;
}

std::string BlockPath(std::string_view storedName) {
  if (readWorkDir.empty()) readWorkDir = WorkDir();
  return readWorkDir + "$" + SafeBlockName(storedName) + ".dx$";
}

// The work file of a block, from memory when this program wrote it, else
// read from disk once. nullptr when there is none.
const WorkFile* LoadWorkFile(const std::string& path) {
  auto it = workFiles.find(path);
  if (it != workFiles.end()) return it->second.get();
  TextReader in;
  if (!in.Open(path)) return nullptr;
  auto w = std::make_unique<WorkFile>();
  std::string line;
  while (!in.AtEnd()) {
    in.ReadTextLine(line);
    // The code is the integer at the start of its line; the rest is skipped.
    size_t i = 0;
    while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) ++i;
    size_t j = i;
    if (j < line.size() && (line[j] == '-' || line[j] == '+')) ++j;
    while (j < line.size() && line[j] >= '0' && line[j] <= '9') ++j;
    WorkPair p;
    p.code = GroupValueToInt32(std::string_view(line).substr(i, j - i));
    in.ReadTextLine(p.value);
    p.number = GroupValueToReal(p.value);
    w->push_back(std::move(p));
    if (in.ReadError()) break;
  }
  const WorkFile* result = w.get();
  workFiles[path] = std::move(w);
  workFilesByName.clear();
  return result;
}

void KeepWorkFile(const std::string& path, const std::vector<DxfGroup>& groups) {
  auto w = std::make_unique<WorkFile>();
  w->reserve(groups.size());
  for (const DxfGroup& g : groups) w->push_back({g.code, g.value, GroupValueToReal(g.value)});
  workFiles[path] = std::move(w);
  workFilesByName.clear();
}

// Cosine and sine of BlockTransform.Angle, worked out once per level.
long double transformCos = 1, transformSin = 0;

void TransformAngleChanged() {
  double a = static_cast<double>(DegToRad(BlockTransform.Angle));
  transformCos = std::cos(a);
  transformSin = std::sin(a);
}

}  // namespace

void SetBlockBase(const std::string& storedName, long double x, long double y) { basePoints[storedName] = {x, y}; }

bool HasBlockFile(std::string_view storedName) { return ::access(BlockPath(storedName).c_str(), F_OK) == 0; }

Point TransformPoint(long double x, long double y) {
  const Transform& t = BlockTransform;
  const long double c = transformCos, s = transformSin;
  return {t.OriginX + x * t.ScaleX * c - y * t.ScaleY * s,
          t.OriginY + x * t.ScaleX * s + y * t.ScaleY * c};
}

Affine BlockAffine() {
  const Transform& t = BlockTransform;
  const long double c = transformCos, s = transformSin;
  return {t.ScaleX * c, -t.ScaleY * s, t.ScaleX * s, t.ScaleY * c, t.OriginX, t.OriginY};
}

DxfWriter& BlockWriter() { return blockWriter; }

void UseWorkDir(const std::string& dir) {
  if (dir == readWorkDir) return;
  readWorkDir = dir;
  workFilesByName.clear();
}

void DeleteWorkFiles() {
  ForgetBlockFiles();
  basePoints.clear();
  const std::string& dir = readWorkDir;
  DIR* d = ::opendir(dir.c_str());
  if (!d) return;
  while (dirent* e = ::readdir(d))
    if (::fnmatch("$*.dx$", e->d_name, 0) == 0) std::remove((dir + e->d_name).c_str());
  ::closedir(d);
}

bool BeginBlockFile(const std::string& storedName) {
  blockPath = BlockPath(storedName);
  workFiles.erase(blockPath);
  workFilesByName.clear();
  blockCopy.clear();
  if (!blockWriter.Create(blockPath)) return false;
  blockWriter.SetCopy(&blockCopy);
  return true;
}

bool EndBlockFile() {
  if (!blockWriter.IsOpen()) return true;
  blockWriter.DxfEnd();
  blockWriter.SetCopy(nullptr);
  const bool ok = !blockWriter.Failed();
  if (ok) KeepWorkFile(blockPath, blockCopy);
  blockCopy.clear();
  return ok;
}

}  // namespace dxfin

using namespace dxfin;

std::string BlockFileName(std::string_view storedName) {
  return WorkDir() + "$" + SafeBlockName(storedName) + ".dx$";
}

void ForgetBlockFiles() {
  workFiles.clear();
  workFilesByName.clear();
}

void InsertBlock(int mode, int slot, const std::string& name, long double x, long double y,
                 long double rotation, long double xScale, long double yScale) {
  (void)slot;  // a block's contents keep their own layers
  if (InBlockDefinition) {
    blockWriter.DxfInsert(name, double(x), double(y), double(xScale), double(yScale),
                          double(rotation));
    return;
  }
  BlockTransform = Transform{};
  TransformAngleChanged();
  InsertDepth = 0;
  ReplayBlock(mode, name, x, y, rotation, xScale, yScale);
}

void ReplayBlock(int mode, const std::string& name, long double x, long double y,
                 long double rotation, long double xScale, long double yScale) {
  const Transform saved = BlockTransform;
  const long double savedCos = transformCos, savedSin = transformSin;
  ++InsertDepth;
  Point origin = TransformPoint(x, y);
  BlockTransform.OriginX = origin.x;
  BlockTransform.OriginY = origin.y;
  BlockTransform.ScaleX *= xScale;
  BlockTransform.ScaleY *= yScale;
  if (rotation != 0) {
    BlockTransform.Angle += rotation;
    TransformAngleChanged();
  }
  // The block's base point lands on the insertion point.
  if (auto base = basePoints.find(name); base != basePoints.end()) {
    const Point b = TransformPoint(base->second.x, base->second.y);
    BlockTransform.OriginX += origin.x - b.x;
    BlockTransform.OriginY += origin.y - b.y;
  }
  auto leave = [&] {
    BlockTransform = saved;
    transformCos = savedCos;
    transformSin = savedSin;
    --InsertDepth;
  };
  if (InsertDepth > 4) {
    // Too deep (a block that inserts itself, for one): this insertion is
    // left out and counted; the message comes once per read.
    CountLoss(Loss::TooDeep);
    if (mode != ReadHeaderOnly && Report().count(Loss::TooDeep) == 1) ShowError("Error blocknr " + IntToText(InsertDepth));
    leave();
    return;
  }
  const WorkFile* file = nullptr;
  auto known = workFilesByName.find(name);
  if (known != workFilesByName.end()) {
    file = known->second;
  } else {
    file = LoadWorkFile(BlockPath(name));
    if (file) workFilesByName.emplace(name, file);
  }
  if (!file && !HasBlockFile(name)) {
    // A block the drawing does not define (or not before this insertion):
    // left out and counted.
    CountLoss(Loss::UndefinedBlock);
    leave();
    return;
  }
  if (!file) {
    ReportError("Invalid temp dir " + Settings.TempDir);
    Session.AbortFlag = true;
    leave();
    return;
  }
  ReplayEntities(*file, mode);
  leave();
}

}  // namespace planox
