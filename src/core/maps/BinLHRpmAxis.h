#pragma once

namespace kelvane {

// One breakpoint of the LH 2.3 RPM axis from its period code s (0..255, a
// 3-bit exponent and 5-bit mantissa; values outside are clamped). The ECU
// stores two slightly different period encodings per breakpoint; the axis
// value is the mean of the two speeds, so it may end in .5. Computed in
// extended precision so the truncations match the ECU tools' arithmetic.
double LHRpmAxisValue(int s);

}  // namespace kelvane
