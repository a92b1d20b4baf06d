#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>

#include "app/platform/WindowLookup.h"

// The Win32 window list: a window of our own stands in for the device
// program's, with a title and controls holding texts beyond ASCII.

namespace kelvane {
namespace {

std::uint64_t HandleValue(HWND window) {
    return static_cast<std::uint64_t>(reinterpret_cast<std::uintptr_t>(window));
}

class TOwnWindows {
  public:
    TOwnWindows() {
        Main = ::CreateWindowExW(0, L"STATIC", L"Device status \u00f8 \u00e9", WS_OVERLAPPEDWINDOW, 0, 0, 200,
                                 100, nullptr, nullptr, nullptr, nullptr);
        First = Child(Main, L"Connected");
        Second = Child(Main, L"AFR 14.7 \u00b0C");
        Empty = Child(Main, L"");
        Grandchild = Child(First, L"inside the first");
    }
    ~TOwnWindows() {
        if (Main) ::DestroyWindow(Main);
    }
    TOwnWindows(const TOwnWindows&) = delete;
    TOwnWindows& operator=(const TOwnWindows&) = delete;

    HWND Main = nullptr;
    HWND First = nullptr;
    HWND Second = nullptr;
    HWND Empty = nullptr;
    HWND Grandchild = nullptr;

  private:
    static HWND Child(HWND parent, const wchar_t* text) {
        return ::CreateWindowExW(0, L"STATIC", text, WS_CHILD | WS_VISIBLE, 0, 0, 50, 20, parent, nullptr,
                                 nullptr, nullptr);
    }
};

TEST(Win32WindowLookupTest, ListsTopLevelWindowsWithTheirTitlesInUtf8) {
    TOwnWindows own;
    ASSERT_NE(own.Main, nullptr) << "no window could be created (GetLastError " << ::GetLastError() << ")";
    const std::vector<TWindowEntry> windows = MakeWin32WindowLookup()->TopLevelWindows();
    const TWindowEntry expected{HandleValue(own.Main), "Device status \xc3\xb8 \xc3\xa9"};
    EXPECT_NE(std::find(windows.begin(), windows.end(), expected), windows.end());
    // Controls are no top-level windows.
    for (const TWindowEntry& window : windows) EXPECT_NE(window.Handle, HandleValue(own.First));
}

TEST(Win32WindowLookupTest, ListsTheDirectChildrenWithTheirTexts) {
    TOwnWindows own;
    ASSERT_NE(own.Main, nullptr);
    std::vector<TWindowEntry> children = MakeWin32WindowLookup()->ChildWindows(HandleValue(own.Main));
    std::sort(children.begin(), children.end(),
              [](const TWindowEntry& a, const TWindowEntry& b) { return a.Handle < b.Handle; });
    std::vector<TWindowEntry> expected = {{HandleValue(own.First), "Connected"},
                                          {HandleValue(own.Second),
                                           "AFR 14.7 \xc2\xb0"
                                           "C"},
                                          {HandleValue(own.Empty), ""}};
    std::sort(expected.begin(), expected.end(),
              [](const TWindowEntry& a, const TWindowEntry& b) { return a.Handle < b.Handle; });
    EXPECT_EQ(children, expected);
}

TEST(Win32WindowLookupTest, AVanishedOrFalseHandleHasNoChildren) {
    std::uint64_t gone = 0;
    {
        TOwnWindows own;
        ASSERT_NE(own.Main, nullptr);
        gone = HandleValue(own.Main);
    }
    const std::unique_ptr<TWindowLookup> lookup = MakeWin32WindowLookup();
    EXPECT_TRUE(lookup->ChildWindows(gone).empty());
    EXPECT_TRUE(lookup->ChildWindows(0x1FFFFFFF).empty());
    EXPECT_TRUE(lookup->ChildWindows(0).empty());
}

}  // namespace
}  // namespace kelvane
