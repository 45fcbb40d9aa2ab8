// Closes the program's windows on the display as a window manager does when
// the user clicks the close button (WM_DELETE_WINDOW), then prints how many
// seconds passed until none of them was shown any more.
#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include <chrono>
#include <cstdio>
#include <thread>
#include <vector>

namespace {

// Shown top-level windows that take the close request.
std::vector<Window> closableWindows(Display* display)
{
    std::vector<Window> found;
    Window root = 0, parent = 0;
    Window* children = nullptr;
    unsigned count = 0;
    if (!XQueryTree(display, DefaultRootWindow(display), &root, &parent, &children, &count))
        return found;
    const Atom deleteWindow = XInternAtom(display, "WM_DELETE_WINDOW", False);
    for (unsigned i = 0; i < count; ++i) {
        XWindowAttributes attributes {};
        if (!XGetWindowAttributes(display, children[i], &attributes) || attributes.map_state != IsViewable)
            continue;
        Atom* protocols = nullptr;
        int protocolCount = 0;
        if (!XGetWMProtocols(display, children[i], &protocols, &protocolCount))
            continue;
        for (int p = 0; p < protocolCount; ++p) {
            if (protocols[p] == deleteWindow)
                found.push_back(children[i]);
        }
        XFree(protocols);
    }
    if (children)
        XFree(children);
    return found;
}

} // namespace

int main()
{
    Display* display = XOpenDisplay(nullptr);
    if (!display) {
        std::fprintf(stderr, "no display\n");
        return 1;
    }
    const auto start = std::chrono::steady_clock::now();
    const Atom protocolsAtom = XInternAtom(display, "WM_PROTOCOLS", False);
    const Atom deleteWindow = XInternAtom(display, "WM_DELETE_WINDOW", False);
    const std::vector<Window> windows = closableWindows(display);
    if (windows.empty()) {
        std::fprintf(stderr, "no window to close\n");
        return 1;
    }
    for (Window window : windows) {
        XEvent event {};
        event.xclient.type = ClientMessage;
        event.xclient.window = window;
        event.xclient.message_type = protocolsAtom;
        event.xclient.format = 32;
        event.xclient.data.l[0] = long(deleteWindow);
        event.xclient.data.l[1] = CurrentTime;
        XSendEvent(display, window, False, NoEventMask, &event);
    }
    XFlush(display);
    // A destroyed window makes the attribute query fail: ignore those errors.
    XSetErrorHandler([](Display*, XErrorEvent*) { return 0; });
    while (!closableWindows(display).empty() && std::chrono::steady_clock::now() - start < std::chrono::seconds(30))
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    std::printf("%.2f\n", std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    XCloseDisplay(display);
    return 0;
}
