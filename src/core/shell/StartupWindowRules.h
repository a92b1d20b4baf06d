#pragma once

#include <chrono>
#include <string>
#include <string_view>

#include "core/ground/IniFile2.h"
#include "core/ground/IniKeys.h"
#include "core/ground/SettingsValues.h"

namespace kelvane {

inline constexpr std::string_view StartupQuitCaption =
    "Quit showing this stupid window, I know how to use Help/About";
inline constexpr std::chrono::seconds StartupWindowLifetime{3};

// "Version " and the version text.
std::string StartupVersionText(std::string_view versionText);

// "Startup Window" of section "Settings" (default true).
bool StartupWindowWanted(const TIniFile2& main);

// On closing: a ticked check box turns the window off for later starts.
// True when nothing had to be written or the write went through.
[[nodiscard]] bool StartupWindowClosing(TIniFile2& main, bool quitTicked);

// The window closes by itself once its lifetime has passed since it was shown.
bool StartupWindowExpired(std::chrono::steady_clock::time_point shownAt,
                          std::chrono::steady_clock::time_point now);

// A rectangle of the given size centred on the owner and then kept inside
// the screen (a window larger than the screen sits at its left or top edge).
TWindowSize CentreWithin(const TWindowSize& owner, int width, int height, const TWindowSize& screen);

// A stored main window placement shrunk to the screen and pulled fully onto it.
TWindowSize KeepOnScreen(const TWindowSize& stored, const TWindowSize& screen);

// Where the main window opens for its stored "Window Size" text: a placement
// kept on the screen; a text that is no placement gives the top-left corner
// at the window's own size; nothing stored centres the window on the screen.
TWindowSize MainWindowPlacement(std::string_view storedText, int ownWidth, int ownHeight,
                                const TWindowSize& screen);

}  // namespace kelvane
