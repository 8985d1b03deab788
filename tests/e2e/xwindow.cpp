// What a window manager does to a window that xdotool cannot do on Debian 12:
//   xwindow close WINDOW-ID          the close box: a WM_DELETE_WINDOW message
//   xwindow ping WINDOW-ID SECONDS   _NET_WM_PING; succeeds when the program answers in time
#include <X11/Xlib.h>

#include <poll.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

void sendProtocol(Display *display, Window window, const char *protocol, long extra)
{
    XEvent event;
    std::memset(&event, 0, sizeof event);
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = long(XInternAtom(display, protocol, False));
    event.xclient.data.l[1] = CurrentTime;
    event.xclient.data.l[2] = extra;
    XSendEvent(display, window, False, NoEventMask, &event);
    XFlush(display);
}

// The program answers a ping by sending it back to the root window.
bool pingAnswered(Display *display, Window window, int seconds)
{
    const Window root = DefaultRootWindow(display);
    XSelectInput(display, root, StructureNotifyMask); // where Qt sends the answer
    sendProtocol(display, window, "_NET_WM_PING", long(window));
    const Atom ping = XInternAtom(display, "_NET_WM_PING", False);
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    while (std::chrono::steady_clock::now() < end) {
        while (XPending(display)) {
            XEvent event;
            XNextEvent(display, &event);
            if (event.type == ClientMessage && Atom(event.xclient.data.l[0]) == ping &&
                Window(event.xclient.data.l[2]) == window)
                return true;
        }
        pollfd fd{ConnectionNumber(display), POLLIN, 0};
        poll(&fd, 1, 50);
    }
    return false;
}

} // namespace

int main(int argc, char **argv)
{
    const std::string command = argc > 2 ? argv[1] : "";
    if (!(command == "close" && argc == 3) && !(command == "ping" && argc == 4)) {
        std::fprintf(stderr, "usage: xwindow close WINDOW-ID | xwindow ping WINDOW-ID SECONDS\n");
        return 2;
    }
    Display *display = XOpenDisplay(nullptr);
    if (!display) {
        std::fprintf(stderr, "xwindow: no display\n");
        return 2;
    }
    const Window window = Window(std::strtoul(argv[2], nullptr, 0));
    int status = 0;
    if (command == "close")
        sendProtocol(display, window, "WM_DELETE_WINDOW", 0);
    else
        status = pingAnswered(display, window, std::atoi(argv[3])) ? 0 : 1;
    XCloseDisplay(display);
    return status;
}
