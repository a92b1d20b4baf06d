#include "FuzzSupport.h"
#include "core/adjust/TargetAfrMap.h"
#include "core/ground/AtomicFile.h"

namespace kelvane::fuzz {

int FuzzTargetMap(const std::uint8_t* data, std::size_t size) {
    const std::filesystem::path path = WriteScratchFile("TargetAFRmap.txt", AsText(data, size));
    TMapGrid map = FilledGrid(14.7);
    const TMapGrid before = map;
    if (!ReadTargetAfrMapFile(path, map)) {
        Check(SameBytes(map, before), "a refused target map leaves the map");
        return 0;
    }
    // Written with one decimal, read, written again: the same file.
    const std::filesystem::path first = ScratchFolder() / "first.txt";
    const std::filesystem::path second = ScratchFolder() / "second.txt";
    Check(WriteTargetAfrMapFile(first, map).Ok, "a target map can be written");
    std::string firstBytes;
    Check(ReadWholeFile(first, firstBytes), "the written target map can be read");
    if (firstBytes.find('*') != std::string::npos) return 0;  // too wide for the file
    TMapGrid again = FilledGrid(0.0);
    Check(ReadTargetAfrMapFile(first, again), "a written target map reads back");
    Check(WriteTargetAfrMapFile(second, again).Ok, "a target map can be written");
    std::string secondBytes;
    Check(ReadWholeFile(second, secondBytes) && secondBytes == firstBytes,
          "a target map reads back as written");

    TFuelMapSet fuel;
    LoadStartupTargetAfrMap(ScratchFolder(), fuel);
    Check(!fuel.TargetEdited, "the start-up load clears the edited flag");
    return 0;
}

}  // namespace kelvane::fuzz
