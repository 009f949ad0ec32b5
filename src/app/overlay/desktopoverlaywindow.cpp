// SPDX-License-Identifier: GPL-3.0-or-later
#include "desktopoverlaywindow.h"

#include "compositing.h"
#include "desktopoverlayview.h"
#include "i18n/localizationmanager.h"
#include "platform/bundle.h"
#include "platform/screens.h"
#include "widgetkit/widgetviews.h"
#include "x11desktoplayer.h"

#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPen>
#include <QPushButton>
#include <QVBoxLayout>
#include <QWindow>

namespace Vantrell {

namespace {

// Below or above other windows is the desktop layer's business (x11desktoplayer.h).
constexpr Qt::WindowFlags kPassiveFlags
    = Qt::FramelessWindowHint | Qt::WindowTransparentForInput | Qt::WindowDoesNotAcceptFocus | Qt::Tool;
constexpr Qt::WindowFlags kAdjustingFlags = Qt::FramelessWindowHint | Qt::Tool;
constexpr int kPanelPadding = 12;
constexpr qreal kPanelRadius = 10;

// The hint and the Done button on a rounded, nearly opaque card.
class AdjustPanel final : public QWidget
{
public:
    using QWidget::QWidget;

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        QColor fill = palette().color(QPalette::Window);
        fill.setAlphaF(0.92f);
        QColor edge = palette().color(QPalette::WindowText);
        edge.setAlphaF(0.15f);
        painter.setPen(QPen(edge, 1));
        painter.setBrush(fill);
        painter.drawRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), kPanelRadius, kPanelRadius);
    }
};

} // namespace

QList<QRectF> availableScreenFrames()
{
    QList<QRectF> frames;
    for (const QRect &geometry : availableScreenGeometries())
        frames.append(QRectF(geometry));
    return frames;
}

DesktopOverlayWindow::DesktopOverlayWindow(DesktopOverlayModel &model, const Bundle &resources, QWidget *parent)
    : QWidget(parent, kPassiveFlags)
    , m_model(model)
    , m_resources(std::make_unique<WidgetResources>(resources, CoinLogoCache::inSharedContainer(resources)))
    , m_compositing(isCompositingActive())
{
    setWindowTitle(QStringLiteral("Vantrell"));
    setAttribute(Qt::WA_TranslucentBackground, m_compositing);
    setAttribute(Qt::WA_ShowWithoutActivating);
    setFocusPolicy(Qt::StrongFocus);

    m_panel = new AdjustPanel(this);
    m_hint = new QLabel(m_panel);
    QFont hintFont = m_hint->font();
    hintFont.setPixelSize(12);
    hintFont.setWeight(QFont::Medium);
    m_hint->setFont(hintFont);
    m_hint->setAlignment(Qt::AlignCenter);
    m_done = new QPushButton(m_panel);
    m_done->setDefault(true);
    connect(m_done, &QPushButton::clicked, this, [this] { m_model.onDoneAdjusting(); });
    auto *layout = new QVBoxLayout(m_panel);
    layout->setContentsMargins(kPanelPadding, kPanelPadding, kPanelPadding, kPanelPadding);
    layout->setSpacing(8);
    layout->addWidget(m_hint, 0, Qt::AlignHCenter);
    layout->addWidget(m_done, 0, Qt::AlignHCenter);
    m_panel->hide();

    m_staleRepaint.setSingleShot(true);
    connect(&m_staleRepaint, &QTimer::timeout, this, qOverload<>(&QWidget::update));
    connect(&m_model, &DesktopOverlayModel::changed, this, &DesktopOverlayWindow::modelChanged);
    connect(
        &LocalizationManager::shared(), &LocalizationManager::bundleChanged, this, &DesktopOverlayWindow::updateTexts);
    updateTexts();
    modelChanged();
}

DesktopOverlayWindow::~DesktopOverlayWindow() = default;

void DesktopOverlayWindow::setFrame(const QRect &frame)
{
    setGeometry(frame);
}

void DesktopOverlayWindow::showPassive()
{
    setAttribute(Qt::WA_ShowWithoutActivating, true);
    showWithFlags(kPassiveFlags);
}

void DesktopOverlayWindow::showAdjusting()
{
    setAttribute(Qt::WA_ShowWithoutActivating, false);
    showWithFlags(kAdjustingFlags);
    raise();
    activateWindow();
    setFocus(Qt::OtherFocusReason);
}

void DesktopOverlayWindow::showWithFlags(Qt::WindowFlags flags)
{
    if (isVisible() && windowFlags() == flags)
        return;
    const QRect keep = geometry();
    winId();
    if (isVisible())
        QWidget::hide();
    // Change the flags of the native window in place: QWidget::setWindowFlags
    // would make a new one, which loses the desktop properties set below.
    overrideWindowFlags(flags);
    windowHandle()->setFlags(flags);
    setDesktopLayerProperties(
        windowHandle(), flags == kPassiveFlags ? DesktopLayer::belowWindows : DesktopLayer::aboveWindows);
    setGeometry(keep);
    show();
}

void DesktopOverlayWindow::modelChanged()
{
    m_panel->setVisible(m_model.isAdjusting());
    layoutPanel();
    scheduleStaleRepaint();
    update();
}

void DesktopOverlayWindow::updateTexts()
{
    m_hint->setText(localizedString(QStringLiteral("desktop.adjust.hint")));
    m_done->setText(localizedString(QStringLiteral("desktop.adjust.done")));
    m_done->setAccessibleName(m_done->text());
    layoutPanel();
}

void DesktopOverlayWindow::layoutPanel()
{
    m_panel->adjustSize();
    const QSize size = m_panel->sizeHint().boundedTo(this->size());
    m_panel->setGeometry(QRect(QPoint((width() - size.width()) / 2, (height() - size.height()) / 2), size));
}

void DesktopOverlayWindow::scheduleStaleRepaint()
{
    m_staleRepaint.stop();
    const std::optional<QDateTime> updatedAt = m_model.content().updatedAt;
    if (!updatedAt)
        return;
    const qint64 due
        = QDateTime::currentDateTimeUtc().msecsTo(updatedAt->addSecs(WidgetUpdatedText::staleAfterSeconds + 1));
    if (due > 0)
        m_staleRepaint.start(std::chrono::milliseconds(due));
}

void DesktopOverlayWindow::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    if (m_compositing) {
        // Start from a clear window: what shows through must be the desktop, not the last frame.
        painter.setCompositionMode(QPainter::CompositionMode_Source);
        painter.fillRect(rect(), Qt::transparent);
        painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
    }
    paintDesktopOverlay(
        painter, QRectF(rect()), m_model, QDateTime::currentDateTimeUtc(), m_compositing, palette(), *m_resources);
}

void DesktopOverlayWindow::mousePressEvent(QMouseEvent *event)
{
    if (!m_model.isAdjusting() || event->button() != Qt::LeftButton)
        return QWidget::mousePressEvent(event);
    // The window manager moves the window best; without one, follow the pointer ourselves.
    if (!windowHandle() || !windowHandle()->startSystemMove())
        m_dragOffset = event->globalPosition().toPoint() - pos();
    event->accept();
}

void DesktopOverlayWindow::mouseMoveEvent(QMouseEvent *event)
{
    if (m_dragOffset && m_model.isAdjusting())
        move(event->globalPosition().toPoint() - *m_dragOffset);
    QWidget::mouseMoveEvent(event);
}

void DesktopOverlayWindow::mouseReleaseEvent(QMouseEvent *event)
{
    m_dragOffset.reset();
    QWidget::mouseReleaseEvent(event);
}

void DesktopOverlayWindow::keyPressEvent(QKeyEvent *event)
{
    if (!m_model.isAdjusting())
        return QWidget::keyPressEvent(event);
    const int step = event->modifiers() & Qt::ShiftModifier ? 10 : 1;
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        m_model.onDoneAdjusting();
        return;
    case Qt::Key_Left:
        move(pos() + QPoint(-step, 0));
        return;
    case Qt::Key_Right:
        move(pos() + QPoint(step, 0));
        return;
    case Qt::Key_Up:
        move(pos() + QPoint(0, -step));
        return;
    case Qt::Key_Down:
        move(pos() + QPoint(0, step));
        return;
    default:
        QWidget::keyPressEvent(event);
    }
}

void DesktopOverlayWindow::resizeEvent(QResizeEvent *event)
{
    // Without a compositor the corners cannot be see-through; cut them off instead.
    if (!m_compositing) {
        QPainterPath shape;
        shape.addRoundedRect(QRectF(rect()), DesktopOverlayLook::cornerRadius, DesktopOverlayLook::cornerRadius);
        setMask(QRegion(shape.toFillPolygon().toPolygon()));
    }
    layoutPanel();
    QWidget::resizeEvent(event);
}

void DesktopOverlayWindow::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::PaletteChange)
        update();
    QWidget::changeEvent(event);
}

} // namespace Vantrell
