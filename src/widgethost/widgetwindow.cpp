// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgetwindow.h"

#include "compositing.h"
#include "widgetframe.h"
#include "widgetkit/widgetviews.h"
#include "x11desktoplayer.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>

namespace Vantrell {

WidgetWindow::WidgetWindow(WidgetExtension &extension, QString kind, WidgetFamily family, QWidget *parent)
    : QWidget(parent, Qt::FramelessWindowHint | Qt::Tool | Qt::WindowDoesNotAcceptFocus)
    , m_extension(extension)
    , m_kind(std::move(kind))
    , m_family(family)
    , m_translucent(isCompositingActive())
{
    setAttribute(Qt::WA_TranslucentBackground, m_translucent);
    setAttribute(Qt::WA_ShowWithoutActivating);
    setFixedSize(widgetFamilySize(family));
    if (!m_translucent) {
        // Without a compositor nothing blends the corners away: cut them off
        // with a window shape instead.
        QPainterPath shape;
        shape.addRoundedRect(QRectF(rect()), WidgetFrame::cornerRadius, WidgetFrame::cornerRadius);
        setMask(QRegion(shape.toFillPolygon().toPolygon()));
    }
    setWindowTitle(QStringLiteral("Vantrell Widget"));
}

void WidgetWindow::setEntry(const VantrellWidgetEntry &entry)
{
    const bool same = m_hasEntry && widgetDrawsTheSame(m_entry.content, m_entry.date, entry.content, entry.date);
    m_entry = entry;
    m_hasEntry = true;
    if (!same)
        update();
}

void WidgetWindow::showAt(QPoint topLeft)
{
    move(topLeft);
    winId();
    // Read by the window manager when the window is mapped.
    setDesktopLayerProperties(windowHandle(), DesktopLayer::belowWindows);
    show();
}

void WidgetWindow::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    WidgetFrame::paint(painter, QRectF(rect()), m_extension, m_kind, m_family, m_entry, palette(), m_translucent);
}

void WidgetWindow::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        return;
    m_pressGlobal = event->globalPosition().toPoint();
    m_pressTopLeft = pos();
    m_dragging = false;
}

void WidgetWindow::mouseMoveEvent(QMouseEvent *event)
{
    if (!m_pressGlobal)
        return;
    const QPoint delta = event->globalPosition().toPoint() - *m_pressGlobal;
    if (!m_dragging && delta.manhattanLength() < QApplication::startDragDistance())
        return;
    m_dragging = true;
    move(m_pressTopLeft + delta);
}

void WidgetWindow::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton || !m_pressGlobal)
        return;
    m_pressGlobal.reset();
    if (std::exchange(m_dragging, false))
        Q_EMIT moved(pos());
    else
        Q_EMIT clicked();
}

void WidgetWindow::contextMenuEvent(QContextMenuEvent *event)
{
    Q_EMIT menuRequested(event->globalPos());
}

void WidgetWindow::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::PaletteChange)
        update();
    QWidget::changeEvent(event);
}

} // namespace Vantrell
