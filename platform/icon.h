// The program's icon ("walk"): the try figure, white with dark spots, on a
// rounded field-green square. Pixels outside the square are transparent.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/surface.h"

namespace platform {

struct Icon {
  Surface pixels;
  std::vector<std::uint8_t> alpha;  // one byte a pixel, 0 transparent
};

Icon walk_icon(int size);

}  // namespace platform
