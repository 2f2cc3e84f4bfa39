// Drives a wlroots compositor that has no input devices of its own (a
// headless sway) for the tests. It stays connected for the whole session, so
// the seat keeps its pointer and clients bind to it once, and reads one
// command a line from standard input; after each it waits until the
// compositor has handled it and answers with one line.
//
//   move X Y        puts the pointer at screen pixel X, Y       -> ok
//   press B         presses button B (1 left, 2 middle, 3 right) -> ok
//   release B       releases it                                  -> ok
//   token           asks for an activation token, as a launcher
//                   does for the program it starts               -> the token
//
// The screen is given as WIDTH HEIGHT on the command line.

#include "wlr-virtual-pointer-unstable-v1-client-protocol.h"
#include "xdg-activation-v1-client-protocol.h"

#include <wayland-client.h>

#include <linux/input-event-codes.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <sstream>
#include <string>

namespace {

struct Globals
{
    wl_seat *seat = nullptr;
    zwlr_virtual_pointer_manager_v1 *pointers = nullptr;
    xdg_activation_v1 *activation = nullptr;
};

void announce(void *data, wl_registry *registry, std::uint32_t name, const char *interface,
              std::uint32_t /*version*/)
{
    auto *globals = static_cast<Globals *>(data);
    const auto bind = [registry, name](const wl_interface &kind) {
        return wl_registry_bind(registry, name, &kind, 1);
    };
    if (std::strcmp(interface, wl_seat_interface.name) == 0 && !globals->seat)
        globals->seat = static_cast<wl_seat *>(bind(wl_seat_interface));
    if (std::strcmp(interface, zwlr_virtual_pointer_manager_v1_interface.name) == 0)
        globals->pointers = static_cast<zwlr_virtual_pointer_manager_v1 *>(
            bind(zwlr_virtual_pointer_manager_v1_interface));
    if (std::strcmp(interface, xdg_activation_v1_interface.name) == 0)
        globals->activation = static_cast<xdg_activation_v1 *>(bind(xdg_activation_v1_interface));
}

void withdraw(void *, wl_registry *, std::uint32_t) {}

const wl_registry_listener registryListener{announce, withdraw};

void tokenDone(void *data, xdg_activation_token_v1 *, const char *token)
{
    *static_cast<std::string *>(data) = token;
}

const xdg_activation_token_v1_listener tokenListener{tokenDone};

std::uint32_t now()
{
    using namespace std::chrono;
    return static_cast<std::uint32_t>(
        duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

std::uint32_t evdevButton(int button)
{
    switch (button) {
    case 2:
        return BTN_MIDDLE;
    case 3:
        return BTN_RIGHT;
    default:
        return BTN_LEFT;
    }
}

class Driver
{
public:
    Driver(wl_display *display, const Globals &globals, int width, int height)
        : display_(display), globals_(globals), width_(width), height_(height),
          pointer_(zwlr_virtual_pointer_manager_v1_create_virtual_pointer(globals.pointers,
                                                                          globals.seat))
    {
        wl_display_roundtrip(display_);
    }

    ~Driver() { zwlr_virtual_pointer_v1_destroy(pointer_); }

    Driver(const Driver &) = delete;
    Driver &operator=(const Driver &) = delete;

    // The answer to one command line; empty when the connection broke.
    std::string run(const std::string &line)
    {
        std::istringstream words(line);
        std::string command;
        int a = 0;
        int b = 0;
        words >> command;
        if (command == "token")
            return token();
        words >> a;
        std::string answer = "ok";
        if (command == "move" && words >> b)
            zwlr_virtual_pointer_v1_motion_absolute(
                pointer_, now(), static_cast<std::uint32_t>(a), static_cast<std::uint32_t>(b),
                static_cast<std::uint32_t>(width_), static_cast<std::uint32_t>(height_));
        else if (command == "press" || command == "release")
            zwlr_virtual_pointer_v1_button(pointer_, now(), evdevButton(a),
                                           command == "press" ? WL_POINTER_BUTTON_STATE_PRESSED
                                                              : WL_POINTER_BUTTON_STATE_RELEASED);
        else
            answer = "?";
        zwlr_virtual_pointer_v1_frame(pointer_);
        return wl_display_roundtrip(display_) < 0 ? std::string() : answer;
    }

private:
    std::string token()
    {
        if (!globals_.activation)
            return "?";
        std::string token;
        xdg_activation_token_v1 *request =
            xdg_activation_v1_get_activation_token(globals_.activation);
        xdg_activation_token_v1_add_listener(request, &tokenListener, &token);
        xdg_activation_token_v1_commit(request);
        while (token.empty() && wl_display_dispatch(display_) >= 0) {
        }
        xdg_activation_token_v1_destroy(request);
        return token;
    }

    wl_display *display_;
    const Globals &globals_;
    int width_;
    int height_;
    zwlr_virtual_pointer_v1 *pointer_;
};

} // namespace

int main(int argc, char *argv[])
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s WIDTH HEIGHT\n", argv[0]);
        return 2;
    }
    wl_display *display = wl_display_connect(nullptr);
    if (!display) {
        std::fprintf(stderr, "no Wayland display\n");
        return 1;
    }
    Globals globals;
    wl_registry *registry = wl_display_get_registry(display);
    wl_registry_add_listener(registry, &registryListener, &globals);
    wl_display_roundtrip(display);
    if (!globals.pointers) {
        std::fprintf(stderr, "the compositor offers no virtual pointer\n");
        return 1;
    }
    {
        Driver driver(display, globals, std::atoi(argv[1]), std::atoi(argv[2]));
        std::cout << "ready" << std::endl;
        for (std::string line; std::getline(std::cin, line);) {
            const std::string answer = driver.run(line);
            if (answer.empty())
                return 1;
            std::cout << answer << std::endl;
        }
    }
    wl_display_roundtrip(display);
    wl_display_disconnect(display);
    return 0;
}
