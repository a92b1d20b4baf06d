#include <gtest/gtest.h>

#include <string>

#include "core/maps/MapSets.h"
#include "core/maps/MapText.h"

namespace kelvane {
namespace {

TMapGrid NumberedGrid() {
    TMapGrid grid;
    for (int r = 0; r < MapSize; ++r)
        for (int l = 0; l < MapSize; ++l) grid.At(r, l) = l * 100 + r;
    return grid;
}

// The cells of a selection, for checking what a paste touched.
bool Inside(const TMapSelection& s, int r, int l) {
    return r + 1 >= s.Left && r + 1 <= s.Right && l + 1 >= s.Top && l + 1 <= s.Bottom;
}

TEST(CopyBlockTest, SelectionRowsBecomeLinesOfFixedValues) {
    TMapGrid grid = FilledGrid(1.0);
    grid.At(1, 2) = 1.05;
    grid.At(2, 2) = 0.9876;
    grid.At(3, 3) = -0.0001;
    EXPECT_EQ(CopyBlock(grid, {2, 3, 4, 4}, 3), "1.050\t0.988\t1.000\r\n1.000\t1.000\t0.000\r\n");
    EXPECT_EQ(CopyBlock(NumberedGrid(), {16, 16, 16, 16}, 0), "1515\r\n");
    // A selection reaching outside the map is cut to it.
    EXPECT_EQ(CopyBlock(NumberedGrid(), {15, 0, 20, 1}, 0), "14\t15\r\n");
    EXPECT_EQ(CopyBlock(NumberedGrid(), {5, 5, 4, 4}, 0), "");
}

TEST(CopyBlockTest, WholeMapCopyPastesBackEveryValueThatFitsItsDecimals) {
    struct TCase {
        TMapGrid Grid;
        int Decimals;
    };
    TMapGrid factors;
    for (std::size_t i = 0; i < factors.Values.size(); ++i)
        factors.Values[i] = 0.8 + static_cast<double>(i) * 0.001;
    const TCase cases[] = {{NumberedGrid(), 0}, {factors, 3}, {DefaultTargetAfrMap(), 1}};
    for (const TCase& c : cases) {
        TMapGrid back;
        EXPECT_TRUE(PasteBlock(CopyBlock(c.Grid, WholeMap, c.Decimals), back, WholeMap));
        for (std::size_t i = 0; i < back.Values.size(); ++i)
            EXPECT_DOUBLE_EQ(back.Values[i], c.Grid.Values[i]) << c.Decimals << " " << i;
    }
}

struct TPasteCase {
    const char* Name;
    std::string Text;
    TMapSelection Selection;
    bool Accepted;
    TMapSelection Area;  // cells written when accepted
};

TEST(PasteBlockTest, ShapesAcceptedAndRejected) {
    std::string sixteen;
    for (int i = 1; i <= 16; ++i) sixteen += std::to_string(i) + (i < 16 ? "\t" : "\r\n");
    const TPasteCase cases[] = {
        {"one value into 3 by 4", "7\r\n", {2, 5, 4, 8}, true, {2, 5, 4, 8}},
        {"one line into 4 by 3", "1\t2\t3\t4\r\n", {3, 2, 6, 4}, true, {3, 2, 6, 4}},
        {"one column into 5 by 3", "1\r\n2\r\n3\r\n", {1, 1, 5, 3}, true, {1, 1, 5, 3}},
        {"exact 2 by 2", "1\t2\r\n3\t4", {7, 7, 8, 8}, true, {7, 7, 8, 8}},
        {"single cell widened and heightened", "1\t2\t3\n4\t5\t6\n", {5, 9, 5, 9}, true, {5, 9, 7, 10}},
        {"single value into single cell", "9", {16, 16, 16, 16}, true, {16, 16, 16, 16}},
        {"16 values widened from column 3 is 14 wide", sixteen, {3, 1, 3, 1}, false, {}},
        {"block larger than the map edge", "1\t2\r\n3\t4\r\n", {16, 1, 16, 1}, false, {}},
        {"2 by 2 into 3 by 3", "1\t2\r\n3\t4\r\n", {1, 1, 3, 3}, false, {}},
        {"ragged lines", "1\t2\t3\r\n4\t5\r\n", {1, 1, 1, 1}, false, {}},
        {"blank line inside", "1\t2\r\n\r\n3\t4\r\n", {1, 1, 1, 1}, false, {}},
        {"header coordinate", "1\r\n", {0, 1, 1, 1}, false, {}},
        {"reversed selection", "1\r\n", {4, 4, 3, 3}, false, {}},
        {"no text", "", {1, 1, 1, 1}, false, {}},
        {"only line ends", "\r\n\r\n", {1, 1, 1, 1}, false, {}},
    };
    const TMapGrid before = NumberedGrid();
    for (const TPasteCase& c : cases) {
        SCOPED_TRACE(c.Name);
        TMapGrid grid = before;
        TMapSelection area{-1, -1, -1, -1};
        ASSERT_EQ(PasteBlock(c.Text, grid, c.Selection, &area), c.Accepted);
        if (!c.Accepted) {
            EXPECT_EQ(grid, before);
            continue;
        }
        EXPECT_EQ(area.Left, c.Area.Left);
        EXPECT_EQ(area.Top, c.Area.Top);
        EXPECT_EQ(area.Right, c.Area.Right);
        EXPECT_EQ(area.Bottom, c.Area.Bottom);
        for (int r = 0; r < MapSize; ++r)
            for (int l = 0; l < MapSize; ++l)
                if (!Inside(c.Area, r, l)) {
                    EXPECT_EQ(grid.At(r, l), before.At(r, l)) << r << "," << l;
                }
    }
}

TEST(PasteBlockTest, ValuesRepeatOverTheSelection) {
    TMapGrid grid;
    ASSERT_TRUE(PasteBlock("1\t2\t3\t4\r\n", grid, {3, 2, 6, 4}));
    for (int t = 2; t <= 4; ++t)
        for (int c = 3; c <= 6; ++c) EXPECT_EQ(grid.At(c - 1, t - 1), c - 2);

    ASSERT_TRUE(PasteBlock("7\r\n", grid, {2, 5, 4, 8}));
    for (int t = 5; t <= 8; ++t)
        for (int c = 2; c <= 4; ++c) EXPECT_EQ(grid.At(c - 1, t - 1), 7);

    ASSERT_TRUE(PasteBlock("10\r\n20\r\n", grid, {10, 10, 12, 11}));
    EXPECT_EQ(grid.At(11, 9), 10);
    EXPECT_EQ(grid.At(11, 10), 20);
}

TEST(PasteBlockTest, FieldsReadWithDecimalCommaAndNoNumberAsZero) {
    TMapGrid grid = FilledGrid(5);
    // A decimal comma is a value, not a column break: only one cell changes.
    ASSERT_TRUE(PasteBlock("12,5\r\n", grid, {1, 1, 1, 1}));
    EXPECT_EQ(grid.At(0, 0), 12.5);
    EXPECT_EQ(grid.At(1, 0), 5);

    ASSERT_TRUE(PasteBlock(" 1.5 \tabc\t-2\r\n", grid, {1, 2, 1, 2}));
    EXPECT_EQ(grid.At(0, 1), 1.5);
    EXPECT_EQ(grid.At(1, 1), 0);
    EXPECT_EQ(grid.At(2, 1), -2);
}

TEST(ReadMapBlockTest, WholeMapFromClipboardText) {
    const TMapGrid source = NumberedGrid();
    std::string text = "copied map\r";
    for (int l = 0; l < MapSize; ++l) {
        text += "\t";  // a leading tab is trimmed off the line
        for (int r = 0; r < MapSize; ++r) text += std::to_string(l * 100 + r) + (r < 15 ? "\t" : "\r");
    }
    TMapGrid grid;
    EXPECT_TRUE(ReadMapBlock(text, grid));
    EXPECT_EQ(grid, source);

    // Fifteen rows: they are filled, row 15 keeps its values, and it fails.
    const std::string copied = CopyBlock(source, {1, 1, 16, 15}, 0);
    TMapGrid partial = FilledGrid(-3);
    EXPECT_FALSE(ReadMapBlock(copied, partial));
    EXPECT_EQ(partial.At(7, 14), source.At(7, 14));
    EXPECT_EQ(partial.At(7, 15), -3);

    EXPECT_FALSE(ReadMapBlock("", partial));
}

}  // namespace
}  // namespace kelvane
