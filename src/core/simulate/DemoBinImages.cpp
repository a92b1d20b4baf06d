#include "core/simulate/DemoBinImages.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>

#include "core/maps/BinLHImage.h"

namespace kelvane {

namespace {

constexpr std::size_t ImageSize = 0x4000;

void PutText(TBinBytes& image, std::size_t offset, const char* text) {
    for (std::size_t i = 0; text[i] != 0; ++i) image[offset + i] = static_cast<std::uint8_t>(text[i]);
}

std::uint8_t Byte(double value) {
    return static_cast<std::uint8_t>(std::clamp(std::lround(value), 0L, 255L));
}

// The RPM one step value s stands for in an LH image, read back by the image
// reader itself so the two cannot disagree.
double LHRpmOfStep(int s) {
    TBinBytes image(ImageSize, 0);
    PutText(image, 0x3FF0, "QRM-D");
    image[0x32FF] = static_cast<std::uint8_t>(256 - s);
    const auto axis = TLHbinFile(image).RpmAxis();
    return axis ? (*axis)[0] : 0;
}

}  // namespace

TBinBytes MakeLHDeviceImage(const TMapGrid& fuel, const TMapAxis& rpmAxis, const TMapAxis& loadAxis) {
    TBinBytes image(ImageSize, 0);
    PutText(image, 0x3FF0, "QRM-D");
    image[0x3FF6] = 0xFE;  // the "Cat" map in use, no Primary Load Map
    image[0x331E] = 0x01;  // a MAF sensor
    for (int l = 0; l < MapSize; ++l)
        for (int r = 0; r < MapSize; ++r)
            image[0x3500 + static_cast<std::size_t>(16 * l + 15 - r)] = Byte(fuel.At(r, l) + 128);

    // Load axis: the base word and the steps between neighbours.
    const auto top = static_cast<std::uint16_t>(65536 - std::lround(loadAxis[MapSize - 1]));
    image[0x32EC] = static_cast<std::uint8_t>(top >> 8);
    image[0x32ED] = static_cast<std::uint8_t>(top & 0xFF);
    for (int i = 0; i < MapSize - 1; ++i)
        image[0x32DD + static_cast<std::size_t>(i)] = Byte(loadAxis[i + 1] - loadAxis[i]);

    // RPM axis: the step value nearest each breakpoint, falling as the RPM rises.
    int previous = 256;
    for (int i = 0; i < MapSize; ++i) {
        int best = 1;
        double bestError = std::numeric_limits<double>::max();
        for (int s = 1; s < previous; ++s) {
            const double error = std::abs(LHRpmOfStep(s) - rpmAxis[i]);
            if (error < bestError) best = s, bestError = error;
        }
        image[0x32F0 + static_cast<std::size_t>(15 - i)] = static_cast<std::uint8_t>(previous - best);
        previous = best;
    }
    return image;
}

TBinBytes MakeEZKDeviceImage(const TMapGrid& ignition, const TMapAxis& rpmAxis) {
    constexpr double Offsets[MapSize] = {59.698, 59.631, 59.528, 59.741, 59.589, 60.072, 60.558, 60.647,
                                         60.891, 61.132, 61.372, 61.255, 61.74,  62.228, 62.348, 62.724};
    TBinBytes image(ImageSize, 0);
    PutText(image, 0x3FE0, "QRM-D");
    for (const std::size_t base : {std::size_t{0x1000}, std::size_t{0x1400}, std::size_t{0x1800}})
        for (int l = 0; l < MapSize; ++l)
            for (int r = 0; r < MapSize; ++r)
                image[base + static_cast<std::size_t>(16 * l + 15 - r)] =
                    Byte((Offsets[r] - ignition.At(r, l)) / 0.375);

    // RPM axis: P = 60 / (0.0000225 rpm); the top from the base byte, each lower
    // breakpoint four times a step above the next.
    const auto period = [](double rpm) { return 60 / (0.0000225 * rpm); };
    const int base = std::clamp(static_cast<int>(std::lround(period(rpmAxis[MapSize - 1]))) - 255, 0, 255);
    image[0x11BF] = static_cast<std::uint8_t>(base);
    double sum = 256 + base;
    for (int k = MapSize - 2; k >= 0; --k) {
        const std::uint8_t step = Byte((period(rpmAxis[k]) - sum) / 4);
        image[0x11B0 + static_cast<std::size_t>(14 - k)] = step;
        sum += 4 * step;
    }
    return image;
}

}  // namespace kelvane
