// The global state of module zideD: options, progress, field, walkers,
// obstacles, stored layouts, tables, texts and sound.
#pragma once

#include "runtime/values.h"

namespace game {

using rt::Single;

struct State {};

}  // namespace game
