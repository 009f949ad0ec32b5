// SPDX-License-Identifier: GPL-3.0-or-later
#include "x11desktoplayer.h"

#include <QGuiApplication>
#include <QList>
#include <QtGui/qguiapplication_platform.h>
#include <QWindow>

#include <xcb/xcb.h>

#include <cstdlib>
#include <cstring>
#include <memory>

namespace Vantrell {

namespace {

xcb_atom_t atom(xcb_connection_t *connection, const char *name)
{
    const xcb_intern_atom_cookie_t cookie = xcb_intern_atom(connection, 0, uint16_t(std::strlen(name)), name);
    const std::unique_ptr<xcb_intern_atom_reply_t, decltype(&std::free)> reply(
        xcb_intern_atom_reply(connection, cookie, nullptr), &std::free);
    return reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
}

} // namespace

void setDesktopLayerProperties(QWindow *window, DesktopLayer layer)
{
    if (!window || QGuiApplication::platformName() != QLatin1String("xcb"))
        return;
    const auto *x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    xcb_connection_t *connection = x11 ? x11->connection() : nullptr;
    if (!connection)
        return;
    const auto id = xcb_window_t(window->winId());

    const uint32_t allDesktops = 0xFFFFFFFF;
    xcb_change_property(connection, XCB_PROP_MODE_REPLACE, id, atom(connection, "_NET_WM_DESKTOP"), XCB_ATOM_CARDINAL,
        32, 1, &allDesktops);

    QList<xcb_atom_t> states;
    for (const char *name : {"_NET_WM_STATE_STICKY", "_NET_WM_STATE_SKIP_TASKBAR", "_NET_WM_STATE_SKIP_PAGER"})
        states.append(atom(connection, name));
    states.append(
        atom(connection, layer == DesktopLayer::belowWindows ? "_NET_WM_STATE_BELOW" : "_NET_WM_STATE_ABOVE"));
    xcb_change_property(connection, XCB_PROP_MODE_REPLACE, id, atom(connection, "_NET_WM_STATE"), XCB_ATOM_ATOM, 32,
        uint32_t(states.size()), states.constData());
    xcb_flush(connection);
}

} // namespace Vantrell
