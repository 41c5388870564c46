// Times the viewer's start from outside, as a person would see it: from just
// before the process starts to the first frame of its main window that already
// shows what the window settles on (below the animated banner strip).
//
//   startup_probe [--title TEXT] [--settle MS] [--skip-top PX] [--frames DIR]
//                 PROGRAM [ARGS...]
//
// It watches the X server for the program's top-level window of that title to
// be mapped, then timestamps every repaint the DAMAGE extension reports and
// keeps a copy of the window's lower part at each. After the settle time it
// takes the final picture, ends the program and prints one line:
//
//   map_ms=… first_paint_ms=… shown_ms=… shown_cpu_ms=… paints=…
//
// shown_ms is the earliest repaint whose picture equals the final one, and
// shown_cpu_ms the time the program's main thread had run on a processor by
// then: on a busy machine the wall times stretch, the processor time far less,
// and on a quiet one the two come close. --frames
// writes every kept picture there as a PPM file, to see what each repaint
// showed. Exit
// status 0 on a measurement, 1 when the window never appeared or never settled.
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>
#include <xcb/damage.h>
#include <xcb/xcb.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

double msSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

template <class T>
using Reply = std::unique_ptr<T, decltype(&std::free)>;

template <class T>
Reply<T> own(T* reply) {
    return Reply<T>(reply, &std::free);
}

std::string windowTitle(xcb_connection_t* c, xcb_window_t w) {
    auto reply = own(xcb_get_property_reply(
        c, xcb_get_property(c, 0, w, XCB_ATOM_WM_NAME, XCB_ATOM_ANY, 0, 256), nullptr));
    if (!reply) return {};
    const auto* text = static_cast<const char*>(xcb_get_property_value(reply.get()));
    return std::string(text, static_cast<size_t>(xcb_get_property_value_length(reply.get())));
}

struct Area {
    int16_t y = 0;
    uint16_t width = 0, height = 0;
};

std::vector<uint8_t> grab(xcb_connection_t* c, xcb_window_t w, const Area& area) {
    auto reply = own(xcb_get_image_reply(
        c, xcb_get_image(c, XCB_IMAGE_FORMAT_Z_PIXMAP, w, 0, area.y, area.width, area.height, ~0u),
        nullptr));
    if (!reply) return {};
    const uint8_t* data = xcb_get_image_data(reply.get());
    return std::vector<uint8_t>(data, data + xcb_get_image_data_length(reply.get()));
}

// How long the process's main thread has run on a processor, from the
// scheduler's own account (first field of /proc/PID/schedstat, nanoseconds).
double cpuMs(pid_t pid) {
    const std::string path = "/proc/" + std::to_string(pid) + "/schedstat";
    FILE* f = std::fopen(path.c_str(), "r");
    if (!f) return -1;
    unsigned long long ns = 0;
    const int got = std::fscanf(f, "%llu", &ns);
    std::fclose(f);
    return got == 1 ? static_cast<double>(ns) / 1e6 : -1;
}

struct Frame {
    double ms;
    double cpuMs;
    std::vector<uint8_t> picture;
};

// The server's 32-bit pixels (blue, green, red, unused) as a binary PPM.
void writePicture(const std::string& path, const std::vector<uint8_t>& picture, const Area& area) {
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return;
    std::fprintf(f, "P6\n%u %u\n255\n", area.width, area.height);
    for (size_t i = 0; i + 3 < picture.size(); i += 4) {
        const uint8_t rgb[3] = {picture[i + 2], picture[i + 1], picture[i]};
        std::fwrite(rgb, 1, 3, f);
    }
    std::fclose(f);
}

int usage() {
    std::fprintf(stderr,
                 "usage: startup_probe [--title TEXT] [--settle MS] [--skip-top PX] "
                 "[--frames DIR] PROGRAM [ARGS...]\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    std::string title = "Hintkeeper v1.30";
    double settleMs = 1500;
    int skipTop = 110;  // the header with its banner animations
    std::string framesDir;
    int first = 1;
    for (; first + 1 < argc && std::strncmp(argv[first], "--", 2) == 0; first += 2) {
        if (!std::strcmp(argv[first], "--title"))
            title = argv[first + 1];
        else if (!std::strcmp(argv[first], "--settle"))
            settleMs = std::atof(argv[first + 1]);
        else if (!std::strcmp(argv[first], "--skip-top"))
            skipTop = std::atoi(argv[first + 1]);
        else if (!std::strcmp(argv[first], "--frames"))
            framesDir = argv[first + 1];
        else
            return usage();
    }
    if (first >= argc) return usage();

    xcb_connection_t* c = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(c)) {
        std::fprintf(stderr, "startup_probe: no X display\n");
        return 1;
    }
    const xcb_query_extension_reply_t* damageExt = xcb_get_extension_data(c, &xcb_damage_id);
    if (!damageExt || !damageExt->present) {
        std::fprintf(stderr, "startup_probe: the X server has no DAMAGE extension\n");
        return 1;
    }
    own(xcb_damage_query_version_reply(c, xcb_damage_query_version(c, 1, 1), nullptr));
    xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(c)).data;
    const uint32_t rootEvents = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    xcb_change_window_attributes(c, screen->root, XCB_CW_EVENT_MASK, &rootEvents);
    xcb_flush(c);

    const Clock::time_point start = Clock::now();
    const pid_t child = fork();
    if (child == 0) {
        execv(argv[first], argv + first);
        std::perror("startup_probe: exec");
        _exit(127);
    }

    xcb_window_t window = XCB_NONE;
    xcb_damage_damage_t damage = 0;
    Area area;
    double mapMs = -1;
    std::vector<Frame> frames;
    const double giveUpMs = 20000;
    for (;;) {
        const double now = msSince(start);
        if (window == XCB_NONE ? now > giveUpMs : now > mapMs + settleMs) break;
        xcb_generic_event_t* raw = xcb_poll_for_event(c);
        if (!raw) {
            if (xcb_connection_has_error(c)) break;
            pollfd fd{xcb_get_file_descriptor(c), POLLIN, 0};
            poll(&fd, 1, 10);
            continue;
        }
        std::unique_ptr<xcb_generic_event_t, decltype(&std::free)> event(raw, &std::free);
        const uint8_t type = event->response_type & 0x7F;
        if (type == XCB_MAP_NOTIFY && window == XCB_NONE) {
            const auto* map = reinterpret_cast<xcb_map_notify_event_t*>(raw);
            if (windowTitle(c, map->window) != title) continue;
            mapMs = msSince(start);
            window = map->window;
            auto geometry = own(xcb_get_geometry_reply(c, xcb_get_geometry(c, window), nullptr));
            if (!geometry || geometry->height <= skipTop) break;
            area = {static_cast<int16_t>(skipTop), geometry->width,
                    static_cast<uint16_t>(geometry->height - skipTop)};
            damage = xcb_generate_id(c);
            xcb_damage_create(c, damage, window, XCB_DAMAGE_REPORT_LEVEL_NON_EMPTY);
            xcb_flush(c);
        } else if (type == damageExt->first_event + XCB_DAMAGE_NOTIFY && window != XCB_NONE) {
            const double at = msSince(start);
            const auto* notify = reinterpret_cast<xcb_damage_notify_event_t*>(raw);
            xcb_damage_subtract(c, damage, XCB_NONE, XCB_NONE);
            // Repaints of the banner strip alone change nothing below it.
            if (notify->area.y + notify->area.height > area.y)
                frames.push_back({at, cpuMs(child), grab(c, window, area)});
        }
    }

    int status = 1;
    if (window != XCB_NONE && !frames.empty()) {
        const std::vector<uint8_t> final = grab(c, window, area);
        if (!framesDir.empty()) {
            for (size_t i = 0; i < frames.size(); ++i)
                writePicture(framesDir + "/" + std::to_string(i) + "-" +
                                 std::to_string(static_cast<int>(frames[i].ms)) + "ms.ppm",
                             frames[i].picture, area);
            writePicture(framesDir + "/final.ppm", final, area);
        }
        const Frame* shown = nullptr;
        for (const Frame& f : frames) {
            if (f.picture == final) {
                shown = &f;
                break;
            }
        }
        if (shown) {
            std::printf(
                "map_ms=%.1f first_paint_ms=%.1f shown_ms=%.1f shown_cpu_ms=%.1f paints=%zu\n",
                mapMs, frames.front().ms, shown->ms, shown->cpuMs, frames.size());
            status = 0;
        } else {
            std::fprintf(stderr, "startup_probe: the window did not settle within %.0f ms\n",
                         settleMs);
        }
    } else {
        std::fprintf(stderr, "startup_probe: no window titled \"%s\" was painted\n", title.c_str());
    }
    kill(child, SIGTERM);
    waitpid(child, nullptr, 0);
    xcb_disconnect(c);
    return status;
}
