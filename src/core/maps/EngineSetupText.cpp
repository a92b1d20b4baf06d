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

namespace {

std::string LHVersionName(TLHVersion version) {
    return version == TLHVersion::LH22 ? "LH 2.2" : "LH 2.3";
}

std::string LHConfigName(TLHConfig config) {
    switch (config) {
        case TLHConfig::HexaMaf:
            return "HexaMAF";
        case TLHConfig::Alpha:
            return "Vortrix Alpha";
        case TLHConfig::Map:
            return "Vortrix MAP";
        default:
            return "Standard MAF";
    }
}

std::string EZKVersionName(TEZKVersion version) {
    return version == TEZKVersion::GT ? "GT" : "S4/GTS";
}

// A code not set works as its default, so the user is shown that, marked.
std::string Shown(std::string name, bool set) {
    return set ? name : name + " (not set)";
}

void AddChange(std::string& text, std::string_view part, const std::string& from, const std::string& to) {
    if (from == to) return;
    if (!text.empty()) text += "; ";
    text.append(part).append(" changed from ").append(from).append(" to ").append(to);
}

}  // namespace

std::string EngineSetupDisplayText(const TEngineSetup& setup) {
    return Shown(LHVersionName(setup.LHVersion), setup.LHVersion != TLHVersion::Unset) + ", " +
           Shown(LHConfigName(setup.LHConfig), setup.LHConfig != TLHConfig::Unset) + ", EZK " +
           Shown(EZKVersionName(setup.EZKVersion), setup.EZKVersion != TEZKVersion::Unset);
}

std::string EngineSetupChangeText(const TEngineSetup& before, const TEngineSetup& after) {
    std::string text;
    AddChange(text, "LH version", LHVersionName(before.LHVersion), LHVersionName(after.LHVersion));
    AddChange(text, "LH configuration", LHConfigName(before.LHConfig), LHConfigName(after.LHConfig));
    AddChange(text, "EZK version", EZKVersionName(before.EZKVersion), EZKVersionName(after.EZKVersion));
    return text;
}

}  // namespace kelvane
