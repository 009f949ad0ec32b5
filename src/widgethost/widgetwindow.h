// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "widgetkit/widgetextension.h"

#include <QPoint>
#include <QWidget>

#include <optional>

namespace Vantrell {

// One widget on the desktop: a frameless window on the desktop layer (below
// other windows, on every workspace, out of the task bar and pager), drawn
// translucent where a compositor runs. A click asks for the popover; a drag
// beyond the drag distance moves the window; a right click asks for the menu.
class WidgetWindow final : public QWidget
{
    Q_OBJECT

public:
    WidgetWindow(WidgetExtension &extension, QString kind, WidgetFamily family, QWidget *parent = nullptr);

    void setEntry(const VantrellWidgetEntry &entry);
    const VantrellWidgetEntry &entry() const { return m_entry; }
    // Shows the window with the desktop-layer properties at `topLeft`.
    void showAt(QPoint topLeft);

Q_SIGNALS:
    void clicked();
    void moved(QPoint topLeft);
    void menuRequested(QPoint globalPosition);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    WidgetExtension &m_extension;
    QString m_kind;
    WidgetFamily m_family;
    VantrellWidgetEntry m_entry;
    bool m_hasEntry = false;
    bool m_translucent = false;
    std::optional<QPoint> m_pressGlobal;
    QPoint m_pressTopLeft;
    bool m_dragging = false;
};

} // namespace Vantrell
