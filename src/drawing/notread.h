// What the last read of a drawing left out because the reader does not
// read it.
#pragma once

#include <cstdint>
#include <map>
#include <string>

namespace planox {

// The entities not read (IMAGE, 3DSOLID, proxies …), by name and count;
// emptied at the start of every read.
extern std::map<std::string, uint32_t> EntitiesNotRead;

}  // namespace planox
