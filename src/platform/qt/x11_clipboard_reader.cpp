#include "platform/qt/x11_clipboard_reader.h"

#include <poll.h>
#include <xcb/xcb.h>

#include <array>
#include <cstdlib>
#include <memory>

namespace corvalo::platform {

namespace {

using Clock = std::chrono::steady_clock;

struct FreeDeleter {
    void operator()(void* p) const { std::free(p); }
};
template <class T>
using XcbPtr = std::unique_ptr<T, FreeDeleter>;

class Connection {
  public:
    Connection() : c_(xcb_connect(nullptr, &screen_)) {}
    ~Connection() { xcb_disconnect(c_); }
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;
    xcb_connection_t* get() const { return c_; }
    bool ok() const { return xcb_connection_has_error(c_) == 0; }
    xcb_window_t root() const {
        xcb_screen_iterator_t it = xcb_setup_roots_iterator(xcb_get_setup(c_));
        for (int i = 0; i < screen_ && it.rem > 0; ++i) xcb_screen_next(&it);
        return it.rem > 0 ? it.data->root : XCB_NONE;
    }

  private:
    int screen_ = 0;
    xcb_connection_t* c_;
};

enum Atom { kClipboard, kUtf8String, kIncr, kProperty, kAtomCount };

std::array<xcb_atom_t, kAtomCount> internAtoms(xcb_connection_t* c) {
    static constexpr std::array<std::string_view, kAtomCount> kNames = {
        "CLIPBOARD", "UTF8_STRING", "INCR", "CORVALO_CLIPBOARD"};
    std::array<xcb_intern_atom_cookie_t, kAtomCount> cookies{};
    for (std::size_t i = 0; i < kAtomCount; ++i) {
        cookies[i] =
            xcb_intern_atom(c, 0, static_cast<std::uint16_t>(kNames[i].size()), kNames[i].data());
    }
    std::array<xcb_atom_t, kAtomCount> atoms{};
    for (std::size_t i = 0; i < kAtomCount; ++i) {
        const XcbPtr<xcb_intern_atom_reply_t> reply(xcb_intern_atom_reply(c, cookies[i], nullptr));
        atoms[i] = reply ? reply->atom : XCB_NONE;
    }
    return atoms;
}

// The next event that `wanted` accepts, or nothing once `deadline` has passed.
template <class Wanted>
XcbPtr<xcb_generic_event_t> waitFor(xcb_connection_t* c, Clock::time_point deadline,
                                    Wanted wanted) {
    for (;;) {
        while (XcbPtr<xcb_generic_event_t> event{xcb_poll_for_event(c)}) {
            if (wanted(*event)) return event;
        }
        if (xcb_connection_has_error(c) != 0) return nullptr;
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
        if (left <= 0) return nullptr;
        pollfd fd{xcb_get_file_descriptor(c), POLLIN, 0};
        ::poll(&fd, 1, static_cast<int>(left));
    }
}

int eventType(const xcb_generic_event_t& event) {
    return event.response_type & 0x7F;
}

// Reads and deletes the property; deleting it also asks an incremental owner for more.
XcbPtr<xcb_get_property_reply_t> takeProperty(xcb_connection_t* c, xcb_window_t window,
                                              xcb_atom_t property) {
    constexpr std::uint32_t kAllOfIt = 0x1FFFFFFF;  // in 32-bit units
    return XcbPtr<xcb_get_property_reply_t>(xcb_get_property_reply(
        c, xcb_get_property(c, 1, window, property, XCB_GET_PROPERTY_TYPE_ANY, 0, kAllOfIt),
        nullptr));
}

std::string_view bytesOf(xcb_get_property_reply_t* reply) {
    return {static_cast<const char*>(xcb_get_property_value(reply)),
            static_cast<std::size_t>(xcb_get_property_value_length(reply))};
}

}  // namespace

X11ClipboardRead readX11ClipboardUtf8(const Utf8Sink& sink, std::chrono::milliseconds patience) {
    const Connection connection;
    if (!connection.ok()) return X11ClipboardRead::AskQt;
    xcb_connection_t* c = connection.get();
    const auto atoms = internAtoms(c);

    const xcb_window_t window = xcb_generate_id(c);
    const std::uint32_t propertyChanges = XCB_EVENT_MASK_PROPERTY_CHANGE;
    xcb_create_window(c, XCB_COPY_FROM_PARENT, window, connection.root(), 0, 0, 1, 1, 0,
                      XCB_WINDOW_CLASS_INPUT_ONLY, XCB_COPY_FROM_PARENT, XCB_CW_EVENT_MASK,
                      &propertyChanges);
    const XcbPtr<xcb_get_selection_owner_reply_t> owner(
        xcb_get_selection_owner_reply(c, xcb_get_selection_owner(c, atoms[kClipboard]), nullptr));
    if (!owner) return X11ClipboardRead::AskQt;
    if (owner->owner == XCB_NONE) return X11ClipboardRead::NoText;
    // An owner that ends in the middle of a transfer is noticed at once, not after a wait.
    const std::uint32_t structureChanges = XCB_EVENT_MASK_STRUCTURE_NOTIFY;
    xcb_change_window_attributes(c, owner->owner, XCB_CW_EVENT_MASK, &structureChanges);
    xcb_convert_selection(c, window, atoms[kClipboard], atoms[kUtf8String], atoms[kProperty],
                          XCB_CURRENT_TIME);
    xcb_flush(c);

    const auto answer = waitFor(c, Clock::now() + patience, [window](const auto& e) {
        return eventType(e) == XCB_SELECTION_NOTIFY &&
               reinterpret_cast<const xcb_selection_notify_event_t&>(e).requestor == window;
    });
    if (!answer) return X11ClipboardRead::NoText;
    if (reinterpret_cast<const xcb_selection_notify_event_t&>(*answer).property == XCB_NONE) {
        return X11ClipboardRead::AskQt;
    }
    const auto first = takeProperty(c, window, atoms[kProperty]);
    if (!first) return X11ClipboardRead::NoText;
    if (first->type != atoms[kIncr]) {
        sink(bytesOf(first.get()));
        return X11ClipboardRead::Text;
    }
    // Incremental: each new value of the property is the next piece; an empty one ends it.
    const xcb_window_t ownerWindow = owner->owner;
    const auto nextPiece = [&](const auto& e) {
        if (eventType(e) == XCB_DESTROY_NOTIFY) {
            return reinterpret_cast<const xcb_destroy_notify_event_t&>(e).window == ownerWindow;
        }
        const auto& change = reinterpret_cast<const xcb_property_notify_event_t&>(e);
        return eventType(e) == XCB_PROPERTY_NOTIFY && change.window == window &&
               change.atom == atoms[kProperty] && change.state == XCB_PROPERTY_NEW_VALUE;
    };
    xcb_flush(c);
    for (;;) {
        const auto event = waitFor(c, Clock::now() + patience, nextPiece);
        if (!event || eventType(*event) == XCB_DESTROY_NOTIFY) break;  // keeps what came
        const auto piece = takeProperty(c, window, atoms[kProperty]);
        if (!piece || xcb_get_property_value_length(piece.get()) == 0) break;
        sink(bytesOf(piece.get()));
    }
    return X11ClipboardRead::Text;
}

}  // namespace corvalo::platform
