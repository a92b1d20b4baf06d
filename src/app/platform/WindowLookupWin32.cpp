#include <windows.h>

#include "app/platform/WindowLookup.h"

// Other programs' windows on Windows: the top-level windows and their child
// windows with their texts, as the system lists them. Free of Qt, so it builds
// and is tested with the core.

namespace kelvane {

namespace {

std::string Utf8Of(const std::wstring& text) {
    if (text.empty()) return {};
    const int length = static_cast<int>(text.size());
    const int size = ::WideCharToMultiByte(CP_UTF8, 0, text.data(), length, nullptr, 0, nullptr, nullptr);
    if (size <= 0) return {};
    std::string result(static_cast<std::size_t>(size), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text.data(), length, result.data(), size, nullptr, nullptr);
    return result;
}

// A window's title, or a control's text. A window that hangs never stops us:
// GetWindowText asks another process's window only for its title, which the
// system keeps; a control's text is asked with a time limit.
std::string TextOf(HWND window, bool ownedByOtherProcess) {
    std::wstring text;
    if (ownedByOtherProcess) {
        DWORD_PTR length = 0;
        if (!::SendMessageTimeoutW(window, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG | SMTO_BLOCK, 500,
                                   &length))
            return {};
        text.resize(static_cast<std::size_t>(length) + 1);
        DWORD_PTR copied = 0;
        if (!::SendMessageTimeoutW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()),
                                   SMTO_ABORTIFHUNG | SMTO_BLOCK, 500, &copied))
            return {};
        text.resize(std::min<std::size_t>(copied, length));
    } else {
        text.resize(static_cast<std::size_t>(::GetWindowTextLengthW(window)) + 1);
        text.resize(
            static_cast<std::size_t>(::GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    }
    return Utf8Of(text);
}

bool IsOtherProcess(HWND window) {
    DWORD process = 0;
    ::GetWindowThreadProcessId(window, &process);
    return process != ::GetCurrentProcessId();
}

std::uint64_t HandleValue(HWND window) {
    return static_cast<std::uint64_t>(reinterpret_cast<std::uintptr_t>(window));
}

BOOL CALLBACK AddTopLevel(HWND window, LPARAM list) {
    std::string text = TextOf(window, false);
    // Windows without a title are the system's own helpers: the device
    // program's window always has one.
    if (!text.empty())
        reinterpret_cast<std::vector<TWindowEntry>*>(list)->push_back({HandleValue(window), std::move(text)});
    return TRUE;
}

struct TChildSearch {
    HWND Parent;
    std::vector<TWindowEntry> Windows;
};

BOOL CALLBACK AddChild(HWND window, LPARAM search) {
    auto& found = *reinterpret_cast<TChildSearch*>(search);
    // EnumChildWindows walks the whole tree below; the direct children are
    // the ones asked for, as X11's tree query gives them.
    if (::GetAncestor(window, GA_PARENT) == found.Parent)
        found.Windows.push_back({HandleValue(window), TextOf(window, IsOtherProcess(window))});
    return TRUE;
}

class TWin32WindowLookup : public TWindowLookup {
  public:
    std::vector<TWindowEntry> TopLevelWindows() override {
        std::vector<TWindowEntry> windows;
        ::EnumWindows(AddTopLevel, reinterpret_cast<LPARAM>(&windows));
        return windows;
    }

    std::vector<TWindowEntry> ChildWindows(std::uint64_t handle) override {
        const HWND parent = reinterpret_cast<HWND>(static_cast<std::uintptr_t>(handle));
        // A handle that is no window (any more) has no children.
        if (!::IsWindow(parent)) return {};
        TChildSearch search{parent, {}};
        ::EnumChildWindows(parent, AddChild, reinterpret_cast<LPARAM>(&search));
        return search.Windows;
    }
};

}  // namespace

std::unique_ptr<TWindowLookup> MakeWin32WindowLookup() {
    return std::make_unique<TWin32WindowLookup>();
}

}  // namespace kelvane
