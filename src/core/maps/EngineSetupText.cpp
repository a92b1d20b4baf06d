#include "core/maps/EngineSetupText.h"

#include <algorithm>
#include <array>
#include <cctype>

namespace kelvane {

namespace {

template <std::size_t N>
using TCodeTexts = std::array<std::string_view, N>;

// Index i holds the text of code i + 1.
constexpr TCodeTexts<2> LHVersionTexts{"LH2.3", "LH2.2"};
constexpr TCodeTexts<4> LHConfigTexts{"MAF", "HMAF", "TPS", "MAP"};
constexpr TCodeTexts<2> EZKVersionTexts{"S4", "GT"};

bool EqualIgnoringCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::toupper(static_cast<unsigned char>(x)) ==
                      std::toupper(static_cast<unsigned char>(y));
           });
}

template <std::size_t N>
int CodeOfText(const TCodeTexts<N>& texts, std::string_view text) {
    for (std::size_t i = 0; i < N; ++i)
        if (EqualIgnoringCase(texts[i], text)) return static_cast<int>(i) + 1;
    return 0;
}

template <std::size_t N>
std::string TextOf(const TCodeTexts<N>& texts, int code) {
    if (code < 1 || code > static_cast<int>(N)) return {};
    return std::string(texts[static_cast<std::size_t>(code - 1)]);
}

}  // namespace

TLHVersion LHVersionFromText(std::string_view text) {
    return LHVersionFromCode(CodeOfText(LHVersionTexts, text));
}
TLHConfig LHConfigFromText(std::string_view text) {
    return LHConfigFromCode(CodeOfText(LHConfigTexts, text));
}
TEZKVersion EZKVersionFromText(std::string_view text) {
    return EZKVersionFromCode(CodeOfText(EZKVersionTexts, text));
}

std::string LHVersionText(TLHVersion version) {
    return TextOf(LHVersionTexts, CodeOf(version));
}
std::string LHConfigText(TLHConfig config) {
    return TextOf(LHConfigTexts, CodeOf(config));
}
std::string EZKVersionText(TEZKVersion version) {
    return TextOf(EZKVersionTexts, CodeOf(version));
}

}  // namespace kelvane
