// SPDX-License-Identifier: GPL-3.0-or-later
#include "popoverwindow.h"

#include "coinpopoverview.h"
#include "compositing.h"
#include "i18n/localizationmanager.h"
#include "popoverlayout.h"

#include <QCursor>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QRegion>
#include <QScreen>
#include <QVBoxLayout>

#include <vector>

namespace Vantrell {

namespace {

// One pass of a box blur over the rows (or, transposed, the columns) of an
// 8-bit alpha image.
void boxBlurLines(uchar *data, int lines, int length, qsizetype lineStride, qsizetype pixelStride, int radius)
{
    std::vector<int> line(size_t(length), 0);
    const int window = 2 * radius + 1;
    for (int l = 0; l < lines; ++l) {
        uchar *start = data + l * lineStride;
        for (int i = 0; i < length; ++i)
            line[size_t(i)] = start[i * pixelStride];
        int sum = 0;
        for (int i = -radius; i <= radius; ++i)
            sum += (i >= 0 && i < length) ? line[size_t(i)] : 0;
        for (int i = 0; i < length; ++i) {
            start[i * pixelStride] = uchar(sum / window);
            const int out = i - radius;
            const int in = i + radius + 1;
            sum += (in < length ? line[size_t(in)] : 0) - (out >= 0 ? line[size_t(out)] : 0);
        }
    }
}

// Three box blurs come close to a Gaussian of the same reach.
void blurAlpha(QImage &image, int radius)
{
    const int boxRadius = std::max(1, radius / 2);
    for (int pass = 0; pass < 3; ++pass) {
        boxBlurLines(image.bits(), image.height(), image.width(), image.bytesPerLine(), 1, boxRadius);
        boxBlurLines(image.bits(), image.width(), image.height(), 1, image.bytesPerLine(), boxRadius);
    }
}

QPainterPath roundedShape(const QRectF &rect)
{
    QPainterPath path;
    path.addRoundedRect(rect, PopoverMetrics::cornerRadius, PopoverMetrics::cornerRadius);
    return path;
}

} // namespace

PopoverWindow::MonotonicClock PopoverWindow::steadyClock()
{
    return [] {
        return std::chrono::duration_cast<std::chrono::milliseconds>(
            std::chrono::steady_clock::now().time_since_epoch());
    };
}

PopoverWindow::PopoverWindow(CoinPopoverView *content, Mode mode, MonotonicClock clock, QWidget *parent)
    : QWidget(parent)
    , m_content(content)
    , m_mode(mode)
    , m_clock(std::move(clock))
    , m_compositingProbe(&isCompositingActive)
{
    auto *layout = new QVBoxLayout(this);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    content->setParent(this);
    layout->addWidget(content);

    if (mode == Mode::popup) {
        setWindowFlags(Qt::Popup | Qt::FramelessWindowHint | Qt::NoDropShadowWindowHint);
        content->setFrame(CoinPopoverView::Frame::rounded);
    } else {
        setWindowFlags(Qt::Window);
        content->setFrame(CoinPopoverView::Frame::plain);
        retranslate();
        connect(&LocalizationManager::shared(), &LocalizationManager::bundleChanged, this, &PopoverWindow::retranslate);
    }
    applyLook(false);

    connect(content, &CoinPopoverView::preferredSizeChanged, this, [this] {
        if (m_mode == Mode::popup && isVisible())
            place();
    });
}

PopoverWindow::~PopoverWindow() = default;

void PopoverWindow::setCompositingProbe(std::function<bool()> probe)
{
    m_compositingProbe = std::move(probe);
}

void PopoverWindow::retranslate()
{
    setWindowTitle(localizedString(QStringLiteral("tray.fallbackWindow.title")));
}

void PopoverWindow::applyLook(bool translucent)
{
    if (m_mode == Mode::window)
        translucent = false;
    const bool changed = translucent != m_translucent;
    m_translucent = translucent;
    // The native window takes its visual (with or without alpha) when it is
    // created, so a change of look needs a new one.
    if (changed && windowHandle())
        destroy();
    setAttribute(Qt::WA_TranslucentBackground, translucent);
    setAttribute(Qt::WA_NoSystemBackground, translucent);
    layout()->setContentsMargins(translucent ? popoverShadowMargins() : QMargins());
    m_content->setTranslucentBackground(translucent);
    m_shadow = QImage();
    updateMask();
}

void PopoverWindow::updateMask()
{
    if (m_mode == Mode::popup && !m_translucent) {
        // Without a compositor the corners can only be cut away.
        const QPolygon outline
            = roundedShape(QRectF(QPointF(0, 0), QSizeF(m_content->size()))).toFillPolygon().toPolygon();
        setMask(QRegion(outline));
    } else {
        clearMask();
    }
}

QPoint PopoverWindow::contentPosition(QPoint anchor, QSize contentSize)
{
    const QList<QScreen *> screens = QGuiApplication::screens();
    QList<QRect> geometries;
    geometries.reserve(screens.size());
    for (const QScreen *screen : screens)
        geometries.append(screen->geometry());
    const int index = screenIndexForPoint(anchor, geometries);
    const QScreen *screen = index >= 0 ? screens.at(index) : QGuiApplication::primaryScreen();
    if (!screen)
        return anchor;
    return popoverPlacement(anchor, contentSize, screen->geometry(), screen->availableGeometry());
}

void PopoverWindow::place()
{
    layout()->activate();
    adjustSize();
    if (m_mode == Mode::window) {
        if (m_placedOnce)
            return;
        m_placedOnce = true;
        // A normal window opens in the middle of the screen the user is on and
        // stays wherever the user moves it afterwards.
        const QScreen *screen = QGuiApplication::screenAt(m_anchor);
        if (!screen)
            screen = QGuiApplication::primaryScreen();
        if (screen)
            move(screen->availableGeometry().center() - rect().center());
        return;
    }
    const QMargins margins = layout()->contentsMargins();
    move(contentPosition(m_anchor, m_content->size()) - QPoint(margins.left(), margins.top()));
}

void PopoverWindow::open(QPoint anchor)
{
    if (isVisible()) {
        raise();
        activateWindow();
        return;
    }
    m_anchor = anchor.isNull() ? QCursor::pos() : anchor;
    if (m_mode == Mode::popup)
        applyLook(m_compositingProbe && m_compositingProbe());
    place();
    show();
    raise();
    activateWindow();
}

void PopoverWindow::toggle(QPoint anchor)
{
    if (isVisible()) {
        dismiss();
        return;
    }
    if (m_lastOutsideClose && m_clock() - *m_lastOutsideClose < reopenGuard)
        return;
    open(anchor);
}

void PopoverWindow::dismiss()
{
    if (!isVisible())
        return;
    m_closingOnRequest = true;
    close();
    m_closingOnRequest = false;
}

void PopoverWindow::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape) {
        dismiss();
        return;
    }
    QWidget::keyPressEvent(event);
}

void PopoverWindow::mousePressEvent(QMouseEvent *event)
{
    // The shadow belongs to the window but not to the popover: a press on it
    // is a press outside.
    if (m_mode == Mode::popup && !m_content->geometry().contains(event->position().toPoint())) {
        close();
        return;
    }
    QWidget::mousePressEvent(event);
}

void PopoverWindow::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    Q_EMIT shownChanged(true);
}

void PopoverWindow::hideEvent(QHideEvent *event)
{
    QWidget::hideEvent(event);
    // A popup hides by itself only when the user clicked outside it.
    if (m_mode == Mode::popup && !m_closingOnRequest)
        m_lastOutsideClose = m_clock();
    Q_EMIT shownChanged(false);
}

void PopoverWindow::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    m_shadow = QImage();
    updateMask();
}

const QImage &PopoverWindow::shadow()
{
    if (!m_shadow.isNull() && m_shadow.size() == size())
        return m_shadow;
    QImage alpha(size(), QImage::Format_Alpha8);
    alpha.fill(0);
    const QRectF content = QRectF(m_content->geometry());
    {
        QPainter painter(&alpha);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.fillPath(roundedShape(content.translated(0, PopoverMetrics::shadowOffsetY)), Qt::black);
    }
    blurAlpha(alpha, PopoverMetrics::shadowRadius);

    m_shadow = QImage(size(), QImage::Format_ARGB32_Premultiplied);
    for (int y = 0; y < alpha.height(); ++y) {
        const uchar *in = alpha.constScanLine(y);
        auto *out = reinterpret_cast<QRgb *>(m_shadow.scanLine(y));
        for (int x = 0; x < alpha.width(); ++x)
            out[x] = qRgba(0, 0, 0, qRound(in[x] * PopoverMetrics::shadowOpacity));
    }
    // Nothing of the shadow under the content, which is not fully opaque.
    QPainter painter(&m_shadow);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setCompositionMode(QPainter::CompositionMode_Clear);
    painter.fillPath(roundedShape(content), Qt::black);
    return m_shadow;
}

void PopoverWindow::paintEvent(QPaintEvent *)
{
    if (!m_translucent)
        return;
    QPainter painter(this);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.drawImage(0, 0, shadow());
}

} // namespace Vantrell
