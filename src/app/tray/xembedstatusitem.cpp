// SPDX-License-Identifier: GPL-3.0-or-later
#include "xembedstatusitem.h"

#include <QGuiApplication>
#include <QIcon>
#include <QIconEngine>
#include <QPainter>

namespace Vantrell {

namespace {

// Draws the square price icon at whatever size the tray paints it: the XEmbed
// tray gives Qt a 22 pixel window and Qt draws the icon a little smaller
// inside it, which scaled from a fixed size would blur the digits.
class PriceIconEngine final : public QIconEngine
{
public:
    PriceIconEngine(
        std::shared_ptr<const StatusTitleRenderer> renderer, StatusPresentation presentation, QColor panelTextColor)
        : m_renderer(std::move(renderer))
        , m_presentation(std::move(presentation))
        , m_panelTextColor(panelTextColor)
    { }

    QPixmap pixmap(const QSize &size, QIcon::Mode, QIcon::State) override { return render(size, 1.0); }
    QPixmap scaledPixmap(const QSize &size, QIcon::Mode, QIcon::State, qreal scale) override
    {
        return render(size, scale);
    }
    void paint(QPainter *painter, const QRect &rect, QIcon::Mode, QIcon::State) override
    {
        const qreal scale = painter->device() ? painter->device()->devicePixelRatioF() : 1.0;
        const QPixmap image = render(rect.size(), scale);
        const QSizeF shown = image.deviceIndependentSize();
        painter->drawPixmap(
            QPointF(rect.x() + (rect.width() - shown.width()) / 2, rect.y() + (rect.height() - shown.height()) / 2),
            image);
    }
    QSize actualSize(const QSize &size, QIcon::Mode, QIcon::State) override
    {
        const int side = std::min(size.width(), size.height());
        return QSize(side, side);
    }
    QIconEngine *clone() const override { return new PriceIconEngine(m_renderer, m_presentation, m_panelTextColor); }
    QString key() const override { return QStringLiteral("VantrellPriceIcon"); }

private:
    QPixmap render(const QSize &size, qreal scale) const
    {
        const int side = qRound(std::min(size.width(), size.height()) * scale);
        QPixmap pixmap = QPixmap::fromImage(m_renderer->priceIconImage(m_presentation, side, m_panelTextColor));
        pixmap.setDevicePixelRatio(scale);
        return pixmap;
    }

    std::shared_ptr<const StatusTitleRenderer> m_renderer;
    StatusPresentation m_presentation;
    QColor m_panelTextColor;
};

} // namespace

XEmbedStatusItem::XEmbedStatusItem(Options options, QObject *parent)
    : TrayItem(parent)
    , m_options(std::move(options))
    , m_renderer(std::make_shared<const StatusTitleRenderer>(m_options.logoPath))
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
    // Without a logo an icon presentation has nothing to draw.
    if (m_renderer->hasLogo() || (m_presentation.kind == StatusPresentation::Kind::title && m_presentation.price))
        icon = QIcon(new PriceIconEngine(m_renderer, m_presentation, panelText));
    if (icon.isNull())
        icon = QIcon::fromTheme(m_options.applicationId);
    m_trayIcon.setIcon(icon);

    const TrayToolTip toolTip = statusToolTip(m_presentation, m_options.title);
    m_trayIcon.setToolTip(toolTip.text.isEmpty() ? toolTip.title : toolTip.title + QLatin1Char('\n') + toolTip.text);
}

} // namespace Vantrell
