// The DXF conversion target: a plain ASCII DXF file with a HEADER section
// (extents and limits), a TABLES section (three line types, sixteen layers,
// one text style), the ENTITIES written through the DXF entity operations
// (drawing/dxfout.h) and EOF. Pen n draws on layer n - 1.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "convert/writer.h"

namespace planox {

// Set at start-up when every layer of the TABLES section is to get colour 1.
extern bool DxfSingleColourLayers;

// The section texts, each element one line (group code lines included).
void DxfHeader(std::vector<std::string>& lines, double xmin, double ymin, double xmax, double ymax);
void DxfTables(std::vector<std::string>& lines);
void DxfBeginEntities(std::vector<std::string>& lines);
void DxfEndSection(std::vector<std::string>& lines);

std::unique_ptr<PlotWriter> MakeDxfWriter();  // target 5

}  // namespace planox
