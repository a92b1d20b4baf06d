#pragma once

namespace kelvane {

// Whether a number text may have "," for its decimal point, as hand-edited
// project values and map texts from other programs may.
enum class TDecimalComma { Refused, Accepted };

}  // namespace kelvane
