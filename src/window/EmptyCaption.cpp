#include "window/EmptyCaption.h"

#include <QEvent>
#include <QGuiApplication>
#include <QWidget>
#include <QWindow>

#include <xcb/xcb.h>

#include <cstring>

namespace kiv::window {

namespace {

xcb_atom_t atomNamed(xcb_connection_t* connection, const char* name) {
    const auto cookie = xcb_intern_atom(connection, 0, std::uint16_t(std::strlen(name)), name);
    xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(connection, cookie, nullptr);
    const xcb_atom_t atom = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
    std::free(reply);
    return atom;
}

void emptyNetWmName(xcb_connection_t* connection, WId window) {
    const xcb_atom_t netWmName = atomNamed(connection, "_NET_WM_NAME");
    const xcb_atom_t utf8 = atomNamed(connection, "UTF8_STRING");
    if (netWmName == XCB_ATOM_NONE || utf8 == XCB_ATOM_NONE) {
        return;
    }
    xcb_change_property(connection, XCB_PROP_MODE_REPLACE, xcb_window_t(window), netWmName, utf8, 8,
                        0, "");
    xcb_flush(connection);
}

// Empties the caption each time the window is shown: its native window exists by then (creating
// it earlier, before the box is laid out, leaves a stray native window behind).
class OnShow : public QObject {
public:
    OnShow(QWidget& topLevel, xcb_connection_t* connection)
        : QObject(&topLevel), m_connection(connection) {}

    bool eventFilter(QObject* watched, QEvent* event) override {
        auto* widget = static_cast<QWidget*>(watched);
        if (event->type() == QEvent::Show && widget->windowHandle() != nullptr) {
            emptyNetWmName(m_connection, widget->windowHandle()->winId());
        }
        return false;
    }

private:
    xcb_connection_t* m_connection;
};

}  // namespace

void keepCaptionEmpty(QWidget& topLevel) {
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    // Other platforms (offscreen among them) may answer the interface without a connection.
    xcb_connection_t* connection = x11 ? x11->connection() : nullptr;
    if (QGuiApplication::platformName() != QLatin1String("xcb") || connection == nullptr) {
        return;
    }
    topLevel.installEventFilter(new OnShow(topLevel, connection));
}

}  // namespace kiv::window
