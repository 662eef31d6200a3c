// The drawing the benchmarks read: a deterministic R12 file of n entities
// (lines, arcs, circles, texts, bulged polylines and inserts of three
// nested blocks), written once into the benchmarks' folder and reused.
#pragma once

#include <string>

namespace planox {

// The benchmarks' folder: PLANOX_BENCH_DIR, else planox-bench in the
// temporary folder; created when missing.
std::string BenchDirectory();

// The file name of the drawing of n entities in dir, made when missing.
std::string GenerateDrawing(const std::string& dir, long n);

}  // namespace planox
