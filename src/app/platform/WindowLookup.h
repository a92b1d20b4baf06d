#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace kelvane {

// Another program's windows as the windowing system lists them.
struct TWindowEntry {
    std::uint64_t Handle = 0;
    std::string Text;  // its title or text, UTF-8

    bool operator==(const TWindowEntry&) const = default;
};

// Reads other programs' windows. One implementation per windowing system; a
// port to another system adds a file with its own MakeWindowLookup case.
class TWindowLookup {
  public:
    virtual ~TWindowLookup() = default;
    virtual std::vector<TWindowEntry> TopLevelWindows() = 0;
    virtual std::vector<TWindowEntry> ChildWindows(std::uint64_t handle) = 0;
};

// Finds nothing: for a windowing system it cannot read.
class TNoWindowLookup : public TWindowLookup {
  public:
    std::vector<TWindowEntry> TopLevelWindows() override { return {}; }
    std::vector<TWindowEntry> ChildWindows(std::uint64_t) override { return {}; }
};

// The Win32 window list on Windows; X11 when the program runs on it (Qt's
// "xcb" platform); nothing otherwise.
std::unique_ptr<TWindowLookup> MakeWindowLookup();

// Only where the program was built with X11; null otherwise or without a display.
std::unique_ptr<TWindowLookup> MakeX11WindowLookup();

#ifdef _WIN32
// EnumWindows and EnumChildWindows (WindowLookupWin32.cpp, built on Windows only).
std::unique_ptr<TWindowLookup> MakeWin32WindowLookup();
#endif

}  // namespace kelvane
