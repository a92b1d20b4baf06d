#include "FuzzSupport.h"
#include "core/ground/AtomicFile.h"
#include "core/maps/MapText.h"
#include "core/shell/MapClipboard.h"
#include "core/shell/MapLoading.h"

namespace kelvane::fuzz {

namespace {

// Read, write, read: a map read from text and written again reads back to
// the very text it was written as.
void CheckRoundTrip(std::string_view text, bool (*read)(std::string_view, TMapGrid&), int decimals) {
    TMapGrid first{};
    if (!read(text, first)) return;
    const std::string written = MapFileText(first, decimals);
    // Values too wide for a map file are written as asterisks, which no reader takes.
    if (written.find('*') != std::string::npos) return;
    TMapGrid second{};
    Check(read(written, second), "a written map reads back");
    Check(MapFileText(second, decimals) == written, "a written map reads back to the same text");
}

// Paste, copy, paste: the copied block pastes back to the same cells.
void CheckBlockRoundTrip(std::string_view text, std::size_t size) {
    TMapSelection selection;
    selection.Left = 1 + static_cast<int>(size % 16);
    selection.Top = 1 + static_cast<int>(size / 16 % 16);
    selection.Right = selection.Left + static_cast<int>(size / 256 % 4);
    selection.Bottom = selection.Top + static_cast<int>(size / 1024 % 4);
    TMapGrid grid = FilledGrid(7.0);
    const TMapGrid before = grid;
    TMapSelection pasted{};
    if (!PasteBlock(text, grid, selection, &pasted)) {
        Check(SameBytes(grid, before), "a block that does not fit changes nothing");
        return;
    }
    const std::string copied = CopyBlock(grid, pasted, 3);
    if (copied.find('*') != std::string::npos) return;
    TMapGrid again = FilledGrid(7.0);
    TMapSelection pastedAgain{};
    Check(PasteBlock(copied, again, pasted, &pastedAgain), "a copied block pastes back");
    Check(SameBytes(pasted, pastedAgain), "a copied block pastes back onto the same cells");
    Check(CopyBlock(again, pasted, 3) == copied, "a copied block pastes back to the same values");
}

}  // namespace

int FuzzMapText(const std::uint8_t* data, std::size_t size) {
    const std::string_view text = AsText(data, size);
    const std::filesystem::path path = WriteScratchFile("map.txt", text);

    TMapGrid grid{};
    (void)ReadLHMapText(path, grid);
    (void)ReadEZKMapText(path, grid);
    // A file saved by an editor may start with a byte-order mark, which the
    // file readers drop; clipboard text never carries one.
    std::string_view body = text;
    if (body.starts_with(Utf8Bom)) body.remove_prefix(Utf8Bom.size());
    Check(IsLHMapText(path) == IsLHMapBlock(body), "the LH file test and block test agree");
    Check(IsEZKMapText(path) == IsEZKMapBlock(body), "the EZK file test and block test agree");

    CheckRoundTrip(text, ReadMapBlock, 0);
    CheckRoundTrip(text, ReadEZKMapBlock, 1);
    CheckBlockRoundTrip(text, size);

    // The loaders of the windows and of kelvane-cli: a refused file changes nothing.
    for (auto load : {LoadMapFile, CompareMapFile}) {
        TKelvaneState state;
        const TKelvaneState before = state;
        TFixedChooser chooser(TBinMapChoice::Cat);
        const TMapLoadResult result = load(state, path, chooser);
        if (!result.Ok)
            Check(SameMapState(state, before), "a refused map file changes nothing");
        else
            Check(result.ErrorText.empty(), "a loaded map has no error");
    }

    TKelvaneState state;
    const TKelvaneState before = state;
    const TChangeSet pasted = PasteMap(state, text);
    if (pasted.Empty()) Check(SameMapState(state, before), "clipboard text without a map changes nothing");
    (void)PasteMapItem(text);
    if (pasted.Empty()) return 0;
    if (const auto copy = CopyUpdatedMap(state)) {
        TKelvaneState other;
        Check(!PasteMap(other, *copy).Empty(), "a copied map pastes back");
    }
    return 0;
}

}  // namespace kelvane::fuzz
