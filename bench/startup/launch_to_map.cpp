// SPDX-License-Identifier: GPL-3.0-or-later
// Starts a program and reports how long it took until its first top-level window was mapped on
// the X server, watched from the root window, so no polling blurs the figure.
// Usage: launch_to_map program [args...]   prints "<pid> <milliseconds>" and leaves it running.
#include <X11/Xlib.h>

#include <chrono>
#include <cstdio>
#include <unistd.h>

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s program [args...]\n", argv[0]);
        return 2;
    }
    Display* display = XOpenDisplay(nullptr);
    if (!display) {
        std::fprintf(stderr, "no X display\n");
        return 2;
    }
    XSelectInput(display, DefaultRootWindow(display), SubstructureNotifyMask);
    XSync(display, False);

    const auto start = std::chrono::steady_clock::now();
    const pid_t child = fork();
    if (child == 0) {
        close(ConnectionNumber(display));
        execvp(argv[1], argv + 1);
        _exit(127);
    }
    for (;;) {
        XEvent event;
        XNextEvent(display, &event);
        if (event.type == MapNotify && !event.xmap.override_redirect)
            break;
    }
    const std::chrono::duration<double, std::milli> elapsed = std::chrono::steady_clock::now() - start;
    std::printf("%d %.1f\n", static_cast<int>(child), elapsed.count());
    XCloseDisplay(display);
    return 0;
}
