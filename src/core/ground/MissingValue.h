#pragma once

namespace kelvane {

// Marks a floating field that no file supplied; always tested by exact equality.
constexpr double MissingValue = 1e-37;

}  // namespace kelvane
