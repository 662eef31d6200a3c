// The benchmarks' generated drawing.
#include "bench/drawing/generate.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>

namespace planox {

namespace {

void Pair(std::FILE* f, int code, const char* value) { std::fprintf(f, "%3d\n%s\n", code, value); }
void Pair(std::FILE* f, int code, double value) { std::fprintf(f, "%3d\n%.6f\n", code, value); }
void Pair(std::FILE* f, int code, int value) { std::fprintf(f, "%3d\n%6d\n", code, value); }

}  // namespace

// A deterministic R12 drawing: tables, three nested blocks and n entities
// cycling through lines, arcs, circles, texts, bulged polylines and inserts.
std::string GenerateDrawing(const std::string& dir, long n) {
  std::string name = dir + "/gen" + std::to_string(n) + ".dxf";
  if (std::filesystem::exists(name)) return name;
  // Written under another name first: a run stopped halfway leaves no
  // truncated drawing to be reused.
  const std::string part = name + ".part";
  std::FILE* f = std::fopen(part.c_str(), "wb");
  if (!f) std::abort();
  Pair(f, 0, "SECTION");
  Pair(f, 2, "HEADER");
  Pair(f, 9, "$ACADVER");
  Pair(f, 1, "AC1009");
  Pair(f, 0, "ENDSEC");
  Pair(f, 0, "SECTION");
  Pair(f, 2, "TABLES");
  Pair(f, 0, "TABLE");
  Pair(f, 2, "LTYPE");
  for (const char* lt : {"CONTINUOUS", "DASHED", "DOTTED"}) {
    Pair(f, 0, "LTYPE");
    Pair(f, 2, lt);
    Pair(f, 70, 64);
  }
  Pair(f, 0, "ENDTAB");
  Pair(f, 0, "TABLE");
  Pair(f, 2, "LAYER");
  const char* layers[] = {"0", "WALLS", "DOORS", "WINDOWS", "TEXT", "DIMS", "FURNITURE", "HIDDEN"};
  for (int i = 0; i < 8; ++i) {
    Pair(f, 0, "LAYER");
    Pair(f, 2, layers[i]);
    Pair(f, 70, i == 7 ? 65 : 0);
    Pair(f, 62, i + 1);
    Pair(f, 6, i % 3 == 0 ? "CONTINUOUS" : i % 3 == 1 ? "DASHED" : "DOTTED");
  }
  Pair(f, 0, "ENDTAB");
  Pair(f, 0, "ENDSEC");
  Pair(f, 0, "SECTION");
  Pair(f, 2, "BLOCKS");
  auto blockStart = [&](const char* b) {
    Pair(f, 0, "BLOCK");
    Pair(f, 8, "0");
    Pair(f, 2, b);
    Pair(f, 70, 0);
    Pair(f, 10, 0.0);
    Pair(f, 20, 0.0);
  };
  auto line = [&](const char* layer, double x1, double y1, double x2, double y2) {
    Pair(f, 0, "LINE");
    Pair(f, 8, layer);
    Pair(f, 10, x1);
    Pair(f, 20, y1);
    Pair(f, 30, 0.0);
    Pair(f, 11, x2);
    Pair(f, 21, y2);
    Pair(f, 31, 0.0);
  };
  auto insert = [&](const char* b, double x, double y, double rot) {
    Pair(f, 0, "INSERT");
    Pair(f, 8, "0");
    Pair(f, 2, b);
    Pair(f, 10, x);
    Pair(f, 20, y);
    Pair(f, 30, 0.0);
    Pair(f, 41, 1.0);
    Pair(f, 42, 1.0);
    Pair(f, 50, rot);
  };
  // A circle or the start of an arc, in the plane of the block.
  auto round = [&](const char* kind, const char* layer, double x, double y, double r) {
    Pair(f, 0, kind);
    Pair(f, 8, layer);
    Pair(f, 10, x);
    Pair(f, 20, y);
    Pair(f, 40, r);
  };
  blockStart("LEAF");
  line("WALLS", 0, 0, 1, 0);
  line("WALLS", 1, 0, 1, 1);
  round("ARC", "DOORS", 0, 0, 1);
  Pair(f, 50, 0.0);
  Pair(f, 51, 90.0);
  Pair(f, 0, "ENDBLK");
  blockStart("BRANCH");
  insert("LEAF", 0, 0, 0);
  insert("LEAF", 2, 0, 90);
  round("CIRCLE", "FURNITURE", 1, 1, 0.5);
  Pair(f, 0, "ENDBLK");
  blockStart("TREE");
  insert("BRANCH", 0, 0, 0);
  insert("BRANCH", 0, 3, 45);
  Pair(f, 0, "ENDBLK");
  Pair(f, 0, "ENDSEC");
  Pair(f, 0, "SECTION");
  Pair(f, 2, "ENTITIES");
  unsigned seed = 12345;
  auto rnd = [&] {
    seed = seed * 1103515245u + 12345u;
    return static_cast<double>((seed >> 8) % 1000000) / 1000.0;
  };
  // A circle or the start of an arc at a random place, one value after
  // the other.
  auto roundAnywhere = [&](const char* kind, const char* layer) {
    Pair(f, 0, kind);
    Pair(f, 8, layer);
    Pair(f, 10, rnd());
    Pair(f, 20, rnd());
    Pair(f, 30, 0.0);
    Pair(f, 40, rnd() / 10);
  };
  for (long i = 0; i < n; ++i) {
    const char* layer = layers[i % 8];
    switch (i % 10) {
      case 0: case 1: case 2: case 3:
        line(layer, rnd(), rnd(), rnd(), rnd());
        break;
      case 4:
        roundAnywhere("ARC", layer);
        Pair(f, 50, rnd() / 3);
        Pair(f, 51, rnd() / 3);
        break;
      case 5:
        roundAnywhere("CIRCLE", layer);
        break;
      case 6:
        Pair(f, 0, "TEXT");
        Pair(f, 8, "TEXT");
        Pair(f, 10, rnd());
        Pair(f, 20, rnd());
        Pair(f, 30, 0.0);
        Pair(f, 40, 2.5);
        Pair(f, 1, "Room 12 %%c40");
        Pair(f, 50, 0.0);
        break;
      case 7:
      case 8: {
        Pair(f, 0, "POLYLINE");
        Pair(f, 8, layer);
        Pair(f, 66, 1);
        Pair(f, 70, 1);
        double x = rnd(), y = rnd();
        for (int v = 0; v < 4; ++v) {
          Pair(f, 0, "VERTEX");
          Pair(f, 8, layer);
          Pair(f, 10, x + (v == 1 || v == 2 ? 5 : 0));
          Pair(f, 20, y + (v >= 2 ? 3 : 0));
          Pair(f, 30, 0.0);
          if (v == 1) Pair(f, 42, 0.5);
        }
        Pair(f, 0, "SEQEND");
        Pair(f, 8, layer);
        break;
      }
      default:
        insert("TREE", rnd(), rnd(), rnd() / 3);
        break;
    }
  }
  Pair(f, 0, "ENDSEC");
  Pair(f, 0, "EOF");
  if (std::fclose(f) != 0) std::abort();
  std::filesystem::rename(part, name);
  return name;
}

std::string BenchDirectory() {
  const char* dir = std::getenv("PLANOX_BENCH_DIR");
  std::string d = dir ? dir : (std::filesystem::temp_directory_path() / "planox-bench").string();
  std::filesystem::create_directories(d);
  return d;
}

}  // namespace planox
