// SPDX-License-Identifier: GPL-3.0-or-later
#include "compositing.h"

#include <QByteArray>
#include <QGuiApplication>
#include <QtGui/qguiapplication_platform.h>

#include <cstdlib>
#include <memory>

#include <xcb/xcb.h>

namespace Vantrell {

namespace {

bool x11CompositorRunning(xcb_connection_t *connection)
{
    const int screens = xcb_setup_roots_length(xcb_get_setup(connection));
    for (int screen = 0; screen < screens; ++screen) {
        const QByteArray name = "_NET_WM_CM_S" + QByteArray::number(screen);
        const xcb_intern_atom_cookie_t atomCookie
            = xcb_intern_atom(connection, 1, static_cast<uint16_t>(name.size()), name.constData());
        const std::unique_ptr<xcb_intern_atom_reply_t, decltype(&std::free)> atom(
            xcb_intern_atom_reply(connection, atomCookie, nullptr), &std::free);
        // With only_if_exists set, no atom means no compositor ever claimed it.
        if (!atom || atom->atom == XCB_ATOM_NONE)
            continue;
        const std::unique_ptr<xcb_get_selection_owner_reply_t, decltype(&std::free)> owner(
            xcb_get_selection_owner_reply(connection, xcb_get_selection_owner(connection, atom->atom), nullptr),
            &std::free);
        if (owner && owner->owner != XCB_NONE)
            return true;
    }
    return false;
}

} // namespace

bool isCompositingActive()
{
    const QString platform = QGuiApplication::platformName();
    if (platform.startsWith(QLatin1String("wayland")))
        return true;
    if (platform != QLatin1String("xcb"))
        return false;
    const auto *x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    if (!x11 || !x11->connection())
        return false;
    return x11CompositorRunning(x11->connection());
}

} // namespace Vantrell
