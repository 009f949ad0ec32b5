// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "desktopoverlaymodel.h"

#include <QPoint>
#include <QTimer>
#include <QWidget>

#include <memory>

class QLabel;
class QPushButton;

namespace Vantrell {

class Bundle;
class WidgetResources;

// The overlay's window: frameless and translucent on the desktop layer, on
// every workspace, out of the task bar, letting clicks through to the desktop
// and never taking focus. In adjust mode it floats above other windows, takes
// input and focus, moves when its background is dragged (or with the arrow
// keys, 10 pixels with Shift) and ends on Done or Return.
class DesktopOverlayWindow final : public QWidget, public DesktopOverlaySurface
{
    Q_OBJECT

public:
    DesktopOverlayWindow(DesktopOverlayModel &model, const Bundle &resources, QWidget *parent = nullptr);
    ~DesktopOverlayWindow() override;

    QRect frame() const override { return geometry(); }
    void setFrame(const QRect &frame) override;
    bool isShown() const override { return isVisible(); }
    void showPassive() override;
    void showAdjusting() override;
    void hide() override { QWidget::hide(); }

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    void showWithFlags(Qt::WindowFlags flags);
    void modelChanged();
    void updateTexts();
    void layoutPanel();
    void scheduleStaleRepaint();

    DesktopOverlayModel &m_model;
    std::unique_ptr<WidgetResources> m_resources;
    bool m_compositing = false;
    QWidget *m_panel = nullptr;
    QLabel *m_hint = nullptr;
    QPushButton *m_done = nullptr;
    // A drag by hand, where the window manager cannot move the window itself.
    std::optional<QPoint> m_dragOffset;
    // The update time turns into a warning after 30 minutes even when no price arrives.
    QTimer m_staleRepaint;
};

// The available geometry of every screen in Qt's global logical coordinates,
// the primary screen first.
QList<QRectF> availableScreenFrames();

} // namespace Vantrell
