#include "core/shell/StartupWindowRules.h"

#include <algorithm>

#include "core/ground/IniKeys.h"
#include "core/shell/Settings.h"

namespace kelvane {

namespace {

int KeepInside(int start, int length, int areaStart, int areaLength) {
    start = std::min(start, areaStart + areaLength - length);
    return std::max(start, areaStart);
}

}  // namespace

std::string StartupVersionText(std::string_view versionText) {
    return "Version " + std::string(versionText);
}

bool StartupWindowWanted(const TIniFile2& main) {
    return main.ReadBool(SettingsSection, StartupWindowKey, true);
}

bool StartupWindowClosing(TIniFile2& main, bool quitTicked) {
    return !quitTicked || main.WriteBool(SettingsSection, StartupWindowKey, false);
}

bool StartupWindowExpired(std::chrono::steady_clock::time_point shownAt,
                          std::chrono::steady_clock::time_point now) {
    return now - shownAt >= StartupWindowLifetime;
}

TWindowSize CentreWithin(const TWindowSize& ownerGiven, int width, int height,
                         const TWindowSize& screenGiven) {
    const TWindowSize owner = SaneWindowSize(ownerGiven);
    const TWindowSize screen = SaneWindowSize(screenGiven);
    width = SaneWindowExtent(width);
    height = SaneWindowExtent(height);
    TWindowSize result{owner.Left + (owner.Width - width) / 2, owner.Top + (owner.Height - height) / 2, width,
                       height};
    result.Left = KeepInside(result.Left, width, screen.Left, screen.Width);
    result.Top = KeepInside(result.Top, height, screen.Top, screen.Height);
    return result;
}

TWindowSize KeepOnScreen(const TWindowSize& storedGiven, const TWindowSize& screenGiven) {
    const TWindowSize stored = SaneWindowSize(storedGiven);
    const TWindowSize screen = SaneWindowSize(screenGiven);
    TWindowSize result = stored;
    result.Width = std::min(stored.Width, screen.Width);
    result.Height = std::min(stored.Height, screen.Height);
    result.Left = KeepInside(stored.Left, result.Width, screen.Left, screen.Width);
    result.Top = KeepInside(stored.Top, result.Height, screen.Top, screen.Height);
    return result;
}

TWindowSize MainWindowPlacement(std::string_view storedText, int ownWidth, int ownHeight,
                                const TWindowSize& screen) {
    if (storedText.empty()) return CentreWithin(screen, ownWidth, ownHeight, screen);
    if (const std::optional<TWindowSize> stored = ParseWindowSize(storedText))
        return KeepOnScreen(*stored, screen);
    return {0, 0, SaneWindowExtent(ownWidth), SaneWindowExtent(ownHeight)};
}

}  // namespace kelvane
