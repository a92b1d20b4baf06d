#include "app/platform/WindowLookup.h"

#ifdef KELVANE_HAVE_X11

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace kelvane {

namespace {

// A window may vanish between the listing and the reading of its name; the
// default handler would end the program for that.
int IgnoreXError(Display*, XErrorEvent*) {
    return 0;
}

class TX11WindowLookup : public TWindowLookup {
  public:
    explicit TX11WindowLookup(Display* display) : FDisplay(display) {}
    ~TX11WindowLookup() override { XCloseDisplay(FDisplay); }

    // With a window manager the program's window sits one level down, inside
    // the frame the manager made: those count as top-level too.
    std::vector<TWindowEntry> TopLevelWindows() override {
        const TErrorGuard guard(FDisplay);
        std::vector<TWindowEntry> windows;
        for (const Window frame : Children(DefaultRootWindow(FDisplay))) {
            if (std::string name = Name(frame); !name.empty()) windows.push_back({frame, std::move(name)});
            for (const Window client : Children(frame))
                if (std::string name = Name(client); !name.empty())
                    windows.push_back({client, std::move(name)});
        }
        return windows;
    }

    std::vector<TWindowEntry> ChildWindows(std::uint64_t handle) override {
        const TErrorGuard guard(FDisplay);
        std::vector<TWindowEntry> windows;
        for (const Window child : Children(static_cast<Window>(handle)))
            windows.push_back({child, Name(child)});
        return windows;
    }

  private:
    class TErrorGuard {
      public:
        explicit TErrorGuard(Display* display) : FDisplay(display), FOld(XSetErrorHandler(IgnoreXError)) {}
        ~TErrorGuard() {
            // Errors still on their way are taken before the old handler is back.
            XSync(FDisplay, False);
            XSetErrorHandler(FOld);
        }
        TErrorGuard(const TErrorGuard&) = delete;
        TErrorGuard& operator=(const TErrorGuard&) = delete;

      private:
        Display* FDisplay;
        XErrorHandler FOld;
    };

    std::vector<Window> Children(Window window) {
        Window root = 0, parent = 0;
        Window* children = nullptr;
        unsigned int count = 0;
        std::vector<Window> list;
        if (XQueryTree(FDisplay, window, &root, &parent, &children, &count) && children)
            list.assign(children, children + count);
        if (children) XFree(children);
        return list;
    }

    std::string Name(Window window) {
        // The UTF-8 title first, then the old Latin-1 one.
        const Atom netName = XInternAtom(FDisplay, "_NET_WM_NAME", False);
        const Atom utf8 = XInternAtom(FDisplay, "UTF8_STRING", False);
        Atom type = 0;
        int format = 0;
        unsigned long items = 0, after = 0;
        unsigned char* data = nullptr;
        std::string text;
        if (XGetWindowProperty(FDisplay, window, netName, 0, 1024, False, utf8, &type, &format, &items,
                               &after, &data) == Success &&
            data && type == utf8 && format == 8)
            text.assign(reinterpret_cast<const char*>(data), items);
        if (data) XFree(data);
        if (!text.empty()) return text;
        char* name = nullptr;
        if (XFetchName(FDisplay, window, &name) && name) {
            for (const unsigned char* c = reinterpret_cast<const unsigned char*>(name); *c; ++c) {
                if (*c < 0x80) {
                    text += static_cast<char>(*c);
                } else {
                    text += static_cast<char>(0xC0 | (*c >> 6));
                    text += static_cast<char>(0x80 | (*c & 0x3F));
                }
            }
        }
        if (name) XFree(name);
        return text;
    }

    Display* FDisplay;
};

}  // namespace

std::unique_ptr<TWindowLookup> MakeX11WindowLookup() {
    Display* display = XOpenDisplay(nullptr);
    if (!display) return nullptr;
    return std::make_unique<TX11WindowLookup>(display);
}

}  // namespace kelvane

#else

namespace kelvane {

std::unique_ptr<TWindowLookup> MakeX11WindowLookup() {
    return nullptr;
}

}  // namespace kelvane

#endif
