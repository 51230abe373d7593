// Starts a program on the X display and prints the milliseconds from its start until its first
// window showed its final picture: the window (a client of the window manager whose _NET_WM_PID
// is the program's) is polled every millisecond, and the answer is the first poll that saw the
// picture that then stayed unchanged for 200 ms. The program is ended afterwards.
//   first_paint PROGRAM [ARGUMENTS...]
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

long property(Display* display, Window window, Atom name) {
    Atom type = None;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    long value = -1;
    if (XGetWindowProperty(display, window, name, 0, 1, False, XA_CARDINAL, &type, &format, &count,
                           &after, &data) == Success &&
        data && count == 1 && format == 32)
        value = *reinterpret_cast<long*>(data);
    if (data) XFree(data);
    return value;
}

// The viewable window of the process that the window manager lists as its client.
Window windowOf(Display* display, pid_t pid) {
    static const Atom clients = XInternAtom(display, "_NET_CLIENT_LIST", False);
    static const Atom wmPid = XInternAtom(display, "_NET_WM_PID", False);
    Atom type = None;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    Window found = 0;
    if (XGetWindowProperty(display, DefaultRootWindow(display), clients, 0, 1024, False, XA_WINDOW,
                           &type, &format, &count, &after, &data) == Success &&
        data) {
        const auto* windows = reinterpret_cast<Window*>(data);
        for (unsigned long i = 0; i < count && !found; ++i) {
            XWindowAttributes attributes{};
            if (property(display, windows[i], wmPid) == pid &&
                XGetWindowAttributes(display, windows[i], &attributes) &&
                attributes.map_state == IsViewable)
                found = windows[i];
        }
    }
    if (data) XFree(data);
    return found;
}

std::vector<char> picture(Display* display, Window window) {
    XWindowAttributes a{};
    if (!XGetWindowAttributes(display, window, &a) || a.map_state != IsViewable) return {};
    XImage* image = XGetImage(display, window, 0, 0, static_cast<unsigned>(a.width),
                              static_cast<unsigned>(a.height), AllPlanes, ZPixmap);
    if (!image) return {};
    std::vector<char> pixels(image->data,
                             image->data + static_cast<std::size_t>(image->bytes_per_line) *
                                               static_cast<std::size_t>(image->height));
    XDestroyImage(image);
    return pixels;
}

int ignoreErrors(Display*, XErrorEvent*) {
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: first_paint PROGRAM [ARGUMENTS...]\n");
        return 2;
    }
    Display* display = XOpenDisplay(nullptr);
    if (!display) {
        std::fprintf(stderr, "first_paint: no X display\n");
        return 2;
    }
    // A window can go while it is being read.
    XSetErrorHandler(ignoreErrors);
    const auto begin = Clock::now();
    const pid_t pid = fork();
    if (pid == 0) {
        execvp(argv[1], argv + 1);
        _exit(127);
    }
    const auto deadline = begin + std::chrono::seconds(20);
    Window window = 0;
    std::vector<char> last;
    Clock::time_point seen{};
    bool done = false;
    while (Clock::now() < deadline) {
        if (!window) window = windowOf(display, pid);
        if (window) {
            std::vector<char> now = picture(display, window);
            const auto at = Clock::now();
            if (now != last) {
                last = std::move(now);
                seen = at;
            } else if (!last.empty() && at - seen >= std::chrono::milliseconds(200)) {
                done = true;
                break;
            }
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    kill(pid, SIGTERM);
    waitpid(pid, nullptr, 0);
    XCloseDisplay(display);
    if (!done) {
        std::fprintf(stderr, "first_paint: %s showed no window\n", argv[1]);
        return 1;
    }
    std::printf("%.1f\n", std::chrono::duration<double, std::milli>(seen - begin).count());
    return 0;
}
