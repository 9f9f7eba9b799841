#include "platform/bench/x_driver.h"

#include <xcb/damage.h>
#include <xcb/xcb.h>
#include <xcb/xtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <poll.h>

namespace platform::bench {

namespace {

using Clock = std::chrono::steady_clock;

double secondsSince(Clock::time_point start)
{
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// The events this client asks for on every window of the program it looks at: its title and
// state changing, and its size.
constexpr uint32_t kClientEvents = XCB_EVENT_MASK_PROPERTY_CHANGE | XCB_EVENT_MASK_STRUCTURE_NOTIFY;

constexpr uint32_t kNetWmStateAdd = 1;
// Requests that say they come from a pager or a person's own tool, which the window manager
// follows without the checks it makes for a program's own.
constexpr uint32_t kSourcePager = 2;

} // namespace

XDriver::XDriver(const std::string& display)
{
    xcb_connection_t* c = xcb_connect(display.c_str(), nullptr);
    if (xcb_connection_has_error(c)) {
        xcb_disconnect(c);
        return;
    }
    const xcb_query_extension_reply_t* damage = xcb_get_extension_data(c, &xcb_damage_id);
    const xcb_query_extension_reply_t* test = xcb_get_extension_data(c, &xcb_test_id);
    if (!damage || !damage->present || !test || !test->present) {
        xcb_disconnect(c);
        return;
    }
    std::free(xcb_damage_query_version_reply(
        c, xcb_damage_query_version(c, XCB_DAMAGE_MAJOR_VERSION, XCB_DAMAGE_MINOR_VERSION),
        nullptr));
    std::free(xcb_test_get_version_reply(
        c, xcb_test_get_version(c, XCB_TEST_MAJOR_VERSION, XCB_TEST_MINOR_VERSION), nullptr));
    mConnection = c;
    const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(c)).data;
    mRoot = screen->root;
    mScreenWidth = screen->width_in_pixels;
    mScreenHeight = screen->height_in_pixels;
    mDamageEvent = damage->first_event + XCB_DAMAGE_NOTIFY;
    // The window manager's lists and the active window are properties of the root; drawing
    // anywhere on the screen damages the root.
    const uint32_t rootEvents = XCB_EVENT_MASK_PROPERTY_CHANGE;
    xcb_change_window_attributes(c, mRoot, XCB_CW_EVENT_MASK, &rootEvents);
    mScreenDamage = xcb_generate_id(c);
    xcb_damage_create(c, mScreenDamage, mRoot, XCB_DAMAGE_REPORT_LEVEL_NON_EMPTY);
    roundTrip();
}

XDriver::~XDriver()
{
    if (mConnection)
        xcb_disconnect(mConnection);
}

uint32_t XDriver::atom(const char* name)
{
    xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(
        mConnection,
        xcb_intern_atom(mConnection, 0, static_cast<uint16_t>(std::strlen(name)), name), nullptr);
    const uint32_t a = reply ? reply->atom : XCB_NONE;
    std::free(reply);
    return a;
}

void XDriver::roundTrip()
{
    std::free(xcb_get_input_focus_reply(mConnection, xcb_get_input_focus(mConnection), nullptr));
}

bool XDriver::takeEvents(double seconds)
{
    bool any = false;
    const auto handle = [&](xcb_generic_event_t* e) {
        any = true;
        if ((e->response_type & 0x7f) == mDamageEvent) {
            const auto* d = reinterpret_cast<xcb_damage_notify_event_t*>(e);
            // Each report is taken off, so that the next drawing is reported again.
            if (d->damage == mScreenDamage) {
                ++mDrawings;
                xcb_damage_subtract(mConnection, mScreenDamage, XCB_NONE, XCB_NONE);
            } else if (d->damage == mWatchedDamage) {
                // Taken off too: a drag waits for the last drawing of a repaint.
                mWatchedDrawn = true;
                mWatchedLast = Clock::now();
                xcb_damage_subtract(mConnection, mWatchedDamage, XCB_NONE, XCB_NONE);
            }
        }
        std::free(e);
    };
    while (xcb_generic_event_t* e = xcb_poll_for_event(mConnection))
        handle(e);
    if (!any && seconds > 0) {
        xcb_flush(mConnection);
        pollfd fd{xcb_get_file_descriptor(mConnection), POLLIN, 0};
        poll(&fd, 1, std::max(1, static_cast<int>(seconds * 1000)));
        while (xcb_generic_event_t* e = xcb_poll_for_event(mConnection))
            handle(e);
    }
    xcb_flush(mConnection);
    return any;
}

std::vector<uint32_t> XDriver::clientWindows()
{
    return atomsProperty(mRoot, atom("_NET_CLIENT_LIST"));
}

std::vector<uint32_t> XDriver::atomsProperty(uint32_t window, uint32_t property)
{
    std::vector<uint32_t> values;
    xcb_get_property_reply_t* reply = xcb_get_property_reply(
        mConnection,
        xcb_get_property(mConnection, 0, window, property, XCB_GET_PROPERTY_TYPE_ANY, 0, 4096),
        nullptr);
    if (reply && reply->format == 32) {
        const auto* data = static_cast<const uint32_t*>(xcb_get_property_value(reply));
        values.assign(data, data + xcb_get_property_value_length(reply) / 4);
    }
    std::free(reply);
    return values;
}

uint32_t XDriver::cardinalProperty(uint32_t window, uint32_t property, uint32_t type)
{
    xcb_get_property_reply_t* reply = xcb_get_property_reply(
        mConnection, xcb_get_property(mConnection, 0, window, property, type, 0, 1), nullptr);
    uint32_t value = 0;
    if (reply && reply->format == 32 && xcb_get_property_value_length(reply) >= 4)
        std::memcpy(&value, xcb_get_property_value(reply), 4);
    std::free(reply);
    return value;
}

std::string XDriver::titleOf(uint32_t window)
{
    for (const uint32_t property : {atom("_NET_WM_NAME"), uint32_t{XCB_ATOM_WM_NAME}}) {
        xcb_get_property_reply_t* reply = xcb_get_property_reply(
            mConnection,
            xcb_get_property(mConnection, 0, window, property, XCB_GET_PROPERTY_TYPE_ANY, 0, 1024),
            nullptr);
        std::string title;
        if (reply && reply->format == 8)
            title.assign(static_cast<const char*>(xcb_get_property_value(reply)),
                         static_cast<size_t>(xcb_get_property_value_length(reply)));
        std::free(reply);
        if (!title.empty())
            return title;
    }
    return {};
}

uint32_t XDriver::awaitWindow(pid_t pid, std::string_view title, double limitSeconds)
{
    const uint32_t pidAtom = atom("_NET_WM_PID");
    const auto start = Clock::now();
    while (true) {
        for (const uint32_t w : clientWindows()) {
            // Told of every change of the window's title from now on.
            xcb_change_window_attributes(mConnection, w, XCB_CW_EVENT_MASK, &kClientEvents);
            if (cardinalProperty(w, pidAtom, XCB_ATOM_CARDINAL) == static_cast<uint32_t>(pid) &&
                titleOf(w) == title)
                return w;
        }
        if (secondsSince(start) >= limitSeconds)
            return 0;
        takeEvents(limitSeconds - secondsSince(start));
    }
}

bool XDriver::awaitNoWindows(double limitSeconds)
{
    const auto start = Clock::now();
    while (!clientWindows().empty()) {
        if (secondsSince(start) >= limitSeconds)
            return false;
        takeEvents(limitSeconds - secondsSince(start));
    }
    return true;
}

void XDriver::sendToRoot(uint32_t window, uint32_t type, const uint32_t (&data)[5])
{
    xcb_client_message_event_t message{};
    message.response_type = XCB_CLIENT_MESSAGE;
    message.format = 32;
    message.window = window;
    message.type = type;
    std::copy(std::begin(data), std::end(data), message.data.data32);
    xcb_send_event(mConnection, 0, mRoot,
                   XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                   reinterpret_cast<const char*>(&message));
    xcb_flush(mConnection);
}

bool XDriver::activate(uint32_t window, double limitSeconds)
{
    const uint32_t active = atom("_NET_ACTIVE_WINDOW");
    sendToRoot(window, active, {kSourcePager, XCB_CURRENT_TIME, 0, 0, 0});
    const auto start = Clock::now();
    while (cardinalProperty(mRoot, active, XCB_ATOM_WINDOW) != window) {
        if (secondsSince(start) >= limitSeconds)
            return false;
        takeEvents(limitSeconds - secondsSince(start));
    }
    // The window manager hands the focus over before it says so; the round trip sees the
    // server past that too.
    roundTrip();
    return true;
}

std::optional<ScreenRect> XDriver::geometry(uint32_t window)
{
    xcb_get_geometry_reply_t* size =
        xcb_get_geometry_reply(mConnection, xcb_get_geometry(mConnection, window), nullptr);
    xcb_translate_coordinates_reply_t* place = xcb_translate_coordinates_reply(
        mConnection, xcb_translate_coordinates(mConnection, window, mRoot, 0, 0), nullptr);
    std::optional<ScreenRect> rect;
    if (size && place)
        rect = ScreenRect{place->dst_x, place->dst_y, size->width, size->height};
    std::free(size);
    std::free(place);
    return rect;
}

bool XDriver::maximise(uint32_t window, double limitSeconds)
{
    const uint32_t state = atom("_NET_WM_STATE");
    const uint32_t vertical = atom("_NET_WM_STATE_MAXIMIZED_VERT");
    const uint32_t horizontal = atom("_NET_WM_STATE_MAXIMIZED_HORZ");
    const std::optional<ScreenRect> before = geometry(window);
    xcb_change_window_attributes(mConnection, window, XCB_CW_EVENT_MASK, &kClientEvents);
    sendToRoot(window, state, {kNetWmStateAdd, vertical, horizontal, kSourcePager, 0});
    const auto start = Clock::now();
    // Maximised both ways, and at its new size.
    const auto done = [&] {
        const std::vector<uint32_t> states = atomsProperty(window, state);
        const auto has = [&](uint32_t a) {
            return std::find(states.begin(), states.end(), a) != states.end();
        };
        const std::optional<ScreenRect> now = geometry(window);
        return has(vertical) && has(horizontal) && before && now &&
               (now->width != before->width || now->height != before->height);
    };
    while (!done()) {
        if (secondsSince(start) >= limitSeconds)
            return false;
        takeEvents(limitSeconds - secondsSince(start));
    }
    return true;
}

bool XDriver::resize(uint32_t window, int32_t width, int32_t height, double limitSeconds)
{
    xcb_change_window_attributes(mConnection, window, XCB_CW_EVENT_MASK, &kClientEvents);
    const uint32_t size[] = {static_cast<uint32_t>(width), static_cast<uint32_t>(height)};
    xcb_configure_window(mConnection, window, XCB_CONFIG_WINDOW_WIDTH | XCB_CONFIG_WINDOW_HEIGHT,
                         size);
    xcb_flush(mConnection);
    const auto start = Clock::now();
    while (true) {
        const std::optional<ScreenRect> now = geometry(window);
        if (now && now->width == width && now->height == height)
            return true;
        if (secondsSince(start) >= limitSeconds)
            return false;
        takeEvents(limitSeconds - secondsSince(start));
    }
}

std::optional<ScreenRect> XDriver::frame(uint32_t window)
{
    const std::vector<uint32_t> extents = atomsProperty(window, atom("_NET_FRAME_EXTENTS"));
    const std::optional<ScreenRect> inside = geometry(window);
    if (!inside || extents.size() != 4)
        return std::nullopt;
    const auto e = [&](size_t i) { return static_cast<int32_t>(extents[i]); };
    return ScreenRect{inside->x - e(0), inside->y - e(2), inside->width + e(0) + e(1),
                      inside->height + e(2) + e(3)};
}

std::optional<ScreenRect> XDriver::workArea()
{
    const std::vector<uint32_t> area = atomsProperty(mRoot, atom("_NET_WORKAREA"));
    if (area.size() < 4)
        return std::nullopt;
    return ScreenRect{static_cast<int32_t>(area[0]), static_cast<int32_t>(area[1]),
                      static_cast<int32_t>(area[2]), static_cast<int32_t>(area[3])};
}

std::vector<uint32_t> XDriver::windowsOf(pid_t pid)
{
    const uint32_t pidAtom = atom("_NET_WM_PID");
    std::vector<uint32_t> out;
    for (const uint32_t w : clientWindows()) {
        xcb_get_window_attributes_reply_t* a = xcb_get_window_attributes_reply(
            mConnection, xcb_get_window_attributes(mConnection, w), nullptr);
        const bool viewable = a && a->map_state == XCB_MAP_STATE_VIEWABLE;
        std::free(a);
        if (viewable &&
            cardinalProperty(w, pidAtom, XCB_ATOM_CARDINAL) == static_cast<uint32_t>(pid))
            out.push_back(w);
    }
    return out;
}

bool XDriver::reserveBottomPanel(int32_t height, double limitSeconds)
{
    const std::optional<ScreenRect> before = workArea();
    const uint32_t panel = xcb_generate_id(mConnection);
    const int32_t top = mScreenHeight - height;
    const uint32_t values[] = {0x202020};
    xcb_create_window(mConnection, XCB_COPY_FROM_PARENT, panel, mRoot, 0, static_cast<int16_t>(top),
                      static_cast<uint16_t>(mScreenWidth), static_cast<uint16_t>(height), 0,
                      XCB_WINDOW_CLASS_INPUT_OUTPUT, XCB_COPY_FROM_PARENT, XCB_CW_BACK_PIXEL,
                      values);
    const uint32_t dock = atom("_NET_WM_WINDOW_TYPE_DOCK");
    xcb_change_property(mConnection, XCB_PROP_MODE_REPLACE, panel, atom("_NET_WM_WINDOW_TYPE"),
                        XCB_ATOM_ATOM, 32, 1, &dock);
    // Left, right, top, bottom, then the start and end of each of them along its edge.
    const uint32_t strut[12] = {0, 0, 0, static_cast<uint32_t>(height),          0, 0, 0, 0,
                                0, 0, 0, static_cast<uint32_t>(mScreenWidth - 1)};
    xcb_change_property(mConnection, XCB_PROP_MODE_REPLACE, panel, atom("_NET_WM_STRUT_PARTIAL"),
                        XCB_ATOM_CARDINAL, 32, 12, strut);
    xcb_change_property(mConnection, XCB_PROP_MODE_REPLACE, panel, atom("_NET_WM_STRUT"),
                        XCB_ATOM_CARDINAL, 32, 4, strut);
    const auto start = Clock::now();
    while (true) {
        // A window manager that has only just started may not manage windows yet: a panel it
        // did not take is shown again until it does.
        xcb_unmap_window(mConnection, panel);
        xcb_map_window(mConnection, panel);
        xcb_flush(mConnection);
        const auto shown = Clock::now();
        while (secondsSince(shown) < 0.5) {
            const std::optional<ScreenRect> now = workArea();
            if (now && now->y + now->height <= top && (!before || now->height < before->height))
                return true;
            if (secondsSince(start) >= limitSeconds)
                return false;
            takeEvents(0.1);
        }
    }
}

bool XDriver::dragTitleBar(uint32_t window, ScreenPoint to, double quietSeconds,
                           double limitSeconds)
{
    const auto start = Clock::now();
    // A window manager that is slow to take the press, or a window that the program is still
    // placing beneath the grip, can let a drag go by: it is tried again, as a person would.
    constexpr double kAttemptSeconds = 3;
    while (secondsSince(start) < limitSeconds) {
        const std::optional<ScreenRect> inside = geometry(window);
        const std::optional<ScreenRect> framed = frame(window);
        if (!inside || !framed || inside->y <= framed->y)
            return false;
        if (to.x == framed->x && to.y == framed->y)
            return awaitQuiet(quietSeconds, limitSeconds);
        // The middle of the title bar, kept clear of the buttons at its ends.
        const ScreenPoint grip{framed->x + framed->width / 2,
                               framed->y + (inside->y - framed->y) / 2};
        const ScreenPoint target{grip.x + to.x - framed->x, grip.y + to.y - framed->y};
        fake(XCB_MOTION_NOTIFY, 0, static_cast<int16_t>(grip.x), static_cast<int16_t>(grip.y));
        fake(XCB_BUTTON_PRESS, 1);
        xcb_flush(mConnection);
        roundTrip();
        constexpr int kMoves = 8;
        for (int i = 1; i <= kMoves; ++i) {
            fake(XCB_MOTION_NOTIFY, 0,
                 static_cast<int16_t>(grip.x + (target.x - grip.x) * i / kMoves),
                 static_cast<int16_t>(grip.y + (target.y - grip.y) * i / kMoves));
            xcb_flush(mConnection);
            roundTrip();
            takeEvents(0.02);
        }
        fake(XCB_BUTTON_RELEASE, 1);
        xcb_flush(mConnection);
        const auto attempt = Clock::now();
        while (secondsSince(attempt) < kAttemptSeconds && secondsSince(start) < limitSeconds) {
            const std::optional<ScreenRect> now = frame(window);
            if (now && (now->x != framed->x || now->y != framed->y))
                return awaitQuiet(quietSeconds, limitSeconds);
            takeEvents(0.05);
        }
    }
    return false;
}

void XDriver::fake(uint8_t type, uint8_t detail, int16_t x, int16_t y)
{
    xcb_test_fake_input(mConnection, type, detail, XCB_CURRENT_TIME,
                        type == XCB_MOTION_NOTIFY ? mRoot : XCB_NONE, x, y, 0);
}

bool XDriver::typeKey(uint32_t keysym)
{
    const xcb_setup_t* setup = xcb_get_setup(mConnection);
    const uint8_t first = setup->min_keycode;
    const auto count = static_cast<uint8_t>(setup->max_keycode - first + 1);
    xcb_get_keyboard_mapping_reply_t* map = xcb_get_keyboard_mapping_reply(
        mConnection, xcb_get_keyboard_mapping(mConnection, first, count), nullptr);
    if (!map)
        return false;
    const xcb_keysym_t* syms = xcb_get_keyboard_mapping_keysyms(map);
    const int perCode = map->keysyms_per_keycode;
    const int total = xcb_get_keyboard_mapping_keysyms_length(map);
    uint8_t code = 0;
    for (int i = 0; i < total && code == 0; ++i)
        if (syms[i] == keysym)
            code = static_cast<uint8_t>(first + i / perCode);
    std::free(map);
    if (code == 0)
        return false;
    fake(XCB_KEY_PRESS, code);
    fake(XCB_KEY_RELEASE, code);
    xcb_flush(mConnection);
    return true;
}

uint32_t XDriver::pressUntil(pid_t pid, uint32_t window, std::string_view title,
                             std::string_view next, uint32_t keysym, double limitSeconds)
{
    // How long a pressed key is given to bring the next window before it is pressed again.
    constexpr double kAnsweredSeconds = 2;
    const auto start = Clock::now();
    while (secondsSince(start) < limitSeconds) {
        if (!activate(window, limitSeconds) || !typeKey(keysym))
            return 0;
        if (const uint32_t shown = awaitWindow(pid, next, kAnsweredSeconds))
            return shown;
        // Answered, and what comes next is on its way.
        if (!awaitWindow(pid, title, 0))
            return awaitWindow(pid, next, limitSeconds);
    }
    return 0;
}

void XDriver::click(ScreenPoint at)
{
    fake(XCB_MOTION_NOTIFY, 0, static_cast<int16_t>(at.x), static_cast<int16_t>(at.y));
    fake(XCB_BUTTON_PRESS, 1);
    fake(XCB_BUTTON_RELEASE, 1);
    xcb_flush(mConnection);
}

bool XDriver::awaitQuiet(double quietSeconds, double limitSeconds)
{
    // Past everything asked of the server so far, the input above all.
    roundTrip();
    const auto start = Clock::now();
    while (secondsSince(start) < limitSeconds) {
        const uint64_t drawings = mDrawings;
        const auto quietFrom = Clock::now();
        // Every event is taken, and the quiet starts again at each drawing.
        while (mDrawings == drawings && secondsSince(quietFrom) < quietSeconds)
            takeEvents(quietSeconds - secondsSince(quietFrom));
        if (mDrawings == drawings)
            return true;
    }
    return false;
}

double XDriver::timeDrag(uint32_t window, ScreenPoint from, ScreenPoint to, double quietSeconds,
                         double limitSeconds)
{
    if (window != mWatched) {
        if (mWatchedDamage != 0)
            xcb_damage_destroy(mConnection, mWatchedDamage);
        mWatched = window;
        mWatchedDamage = xcb_generate_id(mConnection);
        xcb_damage_create(mConnection, mWatchedDamage, window, XCB_DAMAGE_REPORT_LEVEL_NON_EMPTY);
    }
    fake(XCB_MOTION_NOTIFY, 0, static_cast<int16_t>(from.x), static_cast<int16_t>(from.y));
    fake(XCB_BUTTON_PRESS, 1);
    constexpr int kMoves = 4;
    for (int i = 1; i <= kMoves; ++i)
        fake(XCB_MOTION_NOTIFY, 0, static_cast<int16_t>(from.x + (to.x - from.x) * i / kMoves),
             static_cast<int16_t>(from.y + (to.y - from.y) * i / kMoves));
    if (!awaitQuiet(quietSeconds, limitSeconds)) {
        // The button is not left held for whoever uses the server next.
        fake(XCB_BUTTON_RELEASE, 1);
        xcb_flush(mConnection);
        return -1;
    }
    // What the window drew before is forgotten: the round trip brings every report of it in.
    xcb_damage_subtract(mConnection, mWatchedDamage, XCB_NONE, XCB_NONE);
    roundTrip();
    takeEvents(0);
    mWatchedDrawn = false;

    const auto start = Clock::now();
    fake(XCB_BUTTON_RELEASE, 1);
    xcb_flush(mConnection);
    while (!mWatchedDrawn && secondsSince(start) < limitSeconds)
        takeEvents(limitSeconds - secondsSince(start));
    if (!mWatchedDrawn)
        return -1;
    // The rest of the repaint: until the window is quiet again; its last drawing ends it.
    roundTrip();
    for (auto last = mWatchedLast;; last = mWatchedLast) {
        const auto quietFrom = Clock::now();
        while (mWatchedLast == last && secondsSince(quietFrom) < quietSeconds)
            takeEvents(quietSeconds - secondsSince(quietFrom));
        if (mWatchedLast == last || secondsSince(start) >= limitSeconds)
            break;
    }
    return std::chrono::duration<double>(mWatchedLast - start).count();
}

} // namespace platform::bench
