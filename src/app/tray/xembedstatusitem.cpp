// SPDX-License-Identifier: GPL-3.0-or-later
#include "xembedstatusitem.h"

#include <QGuiApplication>
#include <QIcon>

namespace Vantrell {

namespace {
constexpr int kIconSizes[] = {16, 22, 24, 32, 48};
} // namespace

XEmbedStatusItem::XEmbedStatusItem(Options options, QObject *parent)
    : TrayItem(parent)
    , m_options(std::move(options))
    , m_renderer(m_options.logoPath)
{
    m_trayIcon.setContextMenu(m_mirror.qmenu());
    connect(&m_mirror, &TrayMenuMirror::triggered, this, &TrayItem::menuItemTriggered);
    connect(&m_trayIcon, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason reason) {
        if (reason != QSystemTrayIcon::Trigger)
            return;
        const QRect geometry = m_trayIcon.geometry();
        Q_EMIT activated(geometry.isValid() ? geometry.center() : QPoint());
    });
    refresh();
}

XEmbedStatusItem::~XEmbedStatusItem() = default;

void XEmbedStatusItem::show()
{
    m_trayIcon.show();
}

void XEmbedStatusItem::present(const StatusPresentation &presentation)
{
    if (presentation == m_presentation)
        return;
    m_presentation = presentation;
    refresh();
}

bool XEmbedStatusItem::isDarkAppearance() const
{
    return paletteLooksDark(QGuiApplication::palette());
}

void XEmbedStatusItem::setMenu(const TrayMenu &menu)
{
    m_mirror.setMenu(menu);
}

void XEmbedStatusItem::applicationPaletteChanged()
{
    const bool wasDark = m_renderedDark;
    refresh();
    if (m_renderedDark != wasDark)
        Q_EMIT appearanceChanged();
}

void XEmbedStatusItem::refresh()
{
    m_renderedDark = isDarkAppearance();
    const QColor panelText = panelTextColor(m_renderedDark);
    QIcon icon;
    for (const int size : kIconSizes) {
        const QImage image = m_renderer.priceIconImage(m_presentation, size, panelText);
        if (!image.isNull())
            icon.addPixmap(QPixmap::fromImage(image));
    }
    if (icon.isNull())
        icon = QIcon::fromTheme(m_options.applicationId);
    m_trayIcon.setIcon(icon);

    const TrayToolTip toolTip = statusToolTip(m_presentation, m_options.title);
    m_trayIcon.setToolTip(toolTip.text.isEmpty() ? toolTip.title : toolTip.title + QLatin1Char('\n') + toolTip.text);
}

} // namespace Vantrell
