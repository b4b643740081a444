#pragma once

// Watches the X server from outside the programs it times: when a top-level
// window of a process is mapped, and when a colour first shows in it.

#include <QtGlobal>
#include <chrono>
#include <cstdlib>
#include <poll.h>
#include <xcb/xcb.h>

inline qint64 monotonicNs()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

class XWatch
{
public:
    XWatch()
    {
        m_connection = xcb_connect(nullptr, nullptr);
        if (xcb_connection_has_error(m_connection))
            return;
        m_root = xcb_setup_roots_iterator(xcb_get_setup(m_connection)).data->root;
        const uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
        xcb_change_window_attributes(m_connection, m_root, XCB_CW_EVENT_MASK, &mask);
        const char name[] = "_NET_WM_PID";
        xcb_intern_atom_reply_t *atom = xcb_intern_atom_reply(
            m_connection, xcb_intern_atom(m_connection, 0, sizeof name - 1, name), nullptr);
        m_pidAtom = atom ? atom->atom : XCB_NONE;
        free(atom);
        xcb_flush(m_connection);
        m_ok = m_pidAtom != XCB_NONE;
    }
    ~XWatch() { xcb_disconnect(m_connection); }
    XWatch(const XWatch &) = delete;
    XWatch &operator=(const XWatch &) = delete;
    bool ok() const { return m_ok; }

    // Drops what was seen so far.
    void clear()
    {
        while (xcb_generic_event_t *event = xcb_poll_for_event(m_connection))
            free(event);
    }

    // The monotonic time at which a window of this process was mapped, or
    // 0; the window in *window.
    qint64 waitForWindowOf(qint64 pid, int timeoutMs, xcb_window_t *window = nullptr)
    {
        const qint64 until = monotonicNs() + qint64(timeoutMs) * 1000000;
        pollfd fd{xcb_get_file_descriptor(m_connection), POLLIN, 0};
        while (monotonicNs() < until) {
            while (xcb_generic_event_t *event = xcb_poll_for_event(m_connection)) {
                const qint64 at = monotonicNs();
                const bool mapped = (event->response_type & 0x7f) == XCB_MAP_NOTIFY;
                const xcb_window_t w =
                    mapped ? reinterpret_cast<xcb_map_notify_event_t *>(event)->window : 0;
                free(event);
                if (mapped && pidOf(w) == pid) {
                    if (window)
                        *window = w;
                    return at;
                }
            }
            poll(&fd, 1, 2);
        }
        return 0;
    }

    // The monotonic time at which a pixel of strong red first shows on a
    // row a third of the way down this window, or 0. The row is read back
    // from the X server every few milliseconds.
    qint64 waitForRed(xcb_window_t window, int timeoutMs)
    {
        const qint64 until = monotonicNs() + qint64(timeoutMs) * 1000000;
        while (monotonicNs() < until) {
            xcb_get_geometry_reply_t *geometry = xcb_get_geometry_reply(
                m_connection, xcb_get_geometry(m_connection, window), nullptr);
            if (!geometry)
                return 0;
            const uint16_t width = geometry->width;
            const int16_t row = int16_t(geometry->height / 3);
            free(geometry);
            xcb_get_image_reply_t *image =
                xcb_get_image_reply(m_connection,
                                    xcb_get_image(m_connection, XCB_IMAGE_FORMAT_Z_PIXMAP, window,
                                                  0, row, width, 1, ~0u),
                                    nullptr);
            const qint64 at = monotonicNs();
            bool red = false;
            if (image && image->depth >= 24) {
                const uint8_t *bgrx = xcb_get_image_data(image);
                const int pixels = xcb_get_image_data_length(image) / 4;
                for (int i = 0; i < pixels && !red; ++i) {
                    const uint8_t *p = bgrx + 4 * i;
                    red = p[2] > 180 && p[1] < 70 && p[0] < 70;
                }
            }
            free(image);
            if (red)
                return at;
            poll(nullptr, 0, 3);
        }
        return 0;
    }

private:
    qint64 pidOf(xcb_window_t window)
    {
        xcb_get_property_reply_t *reply = xcb_get_property_reply(
            m_connection,
            xcb_get_property(m_connection, 0, window, m_pidAtom, XCB_ATOM_CARDINAL, 0, 1), nullptr);
        qint64 pid = -1;
        if (reply && xcb_get_property_value_length(reply) == 4)
            pid = *static_cast<uint32_t *>(xcb_get_property_value(reply));
        free(reply);
        return pid;
    }

    xcb_connection_t *m_connection = nullptr;
    xcb_window_t m_root = 0;
    xcb_atom_t m_pidAtom = XCB_NONE;
    bool m_ok = false;
};
