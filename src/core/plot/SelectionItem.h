#pragma once

#include <cstdint>

namespace kelvane {

enum : std::uint8_t { SelectionKindCell = 0, SelectionKindPoint = 1 };

// One entry of the plot's selection list: a map cell or a log sample.
struct TSelectionItem {
    std::int32_t Row = 0;     // RPM cell 0 .. 15
    std::int32_t Column = 0;  // load cell 0 .. 15
    std::uint8_t Kind = SelectionKindCell;
    std::int32_t SampleIndex = -1;  // index into the log data, for points

    bool operator==(const TSelectionItem& other) const {
        if (Kind != other.Kind) return false;
        if (Kind == SelectionKindCell) return Row == other.Row && Column == other.Column;
        return SampleIndex == other.SampleIndex;
    }

    static TSelectionItem Cell(int row, int column) { return {row, column, SelectionKindCell, -1}; }
    static TSelectionItem Point(int sampleIndex) { return {0, 0, SelectionKindPoint, sampleIndex}; }
};

}  // namespace kelvane
