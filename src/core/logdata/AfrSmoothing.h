#pragma once

#include <cstddef>

#include "core/logdata/KelvaneDefs.h"

namespace kelvane {

// Recomputes SmoothedAfr of every sample over its neighbours -3 .. +3 across the whole
// list (file borders included); samples without an AFR value (missing, 0 or below) are
// left out, and a window without any gives MissingValue. A setting outside 1 .. 6 leaves
// the list unchanged.
void SmoothAfr(TLogData& data, int setting);
// The same for the samples [first, last) only (their neighbours outside are read, not written).
void SmoothAfr(TLogData& data, int setting, std::size_t first, std::size_t last);

}  // namespace kelvane
