// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgetgallery.h"

#include "i18n/localizationmanager.h"
#include "widgetframe.h"

#include <QGuiApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QScrollArea>
#include <QVBoxLayout>

namespace Vantrell {

namespace {

constexpr qreal kPreviewScale = 0.75;

// A preview of one kind in one family; a click chooses it.
class GalleryTile final : public QWidget
{
public:
    GalleryTile(WidgetExtension &extension, const WidgetKind &kind, WidgetFamily family, std::function<void()> choose,
        QWidget *parent)
        : QWidget(parent)
        , m_extension(extension)
        , m_kind(kind.kind)
        , m_family(family)
        , m_choose(std::move(choose))
    {
        const QSize size = (QSizeF(widgetFamilySize(family)) * kPreviewScale).toSize();
        setFixedSize(size + QSize(12, 12));
        setCursor(Qt::PointingHandCursor);
        setToolTip(localizedString(QStringLiteral("widgetHost.gallery.add")));
        m_entry = extension.placeholder(kind.kind, {family, true});
        QPointer<GalleryTile> self(this);
        extension.snapshot(kind.kind, {}, {family, true}, [self](const VantrellWidgetEntry &entry) {
            if (self) {
                self->m_entry = entry;
                self->update();
            }
        });
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        if (m_hovered) {
            QColor ring = palette().color(QPalette::Highlight);
            ring.setAlphaF(0.35f);
            painter.setPen(Qt::NoPen);
            painter.setBrush(ring);
            painter.drawRoundedRect(QRectF(rect()), WidgetFrame::cornerRadius * kPreviewScale + 6,
                WidgetFrame::cornerRadius * kPreviewScale + 6);
        }
        painter.translate(6, 6);
        painter.scale(kPreviewScale, kPreviewScale);
        WidgetFrame::paint(painter, QRectF(QPointF(0, 0), QSizeF(widgetFamilySize(m_family))), m_extension, m_kind,
            m_family, m_entry, QGuiApplication::palette(), false);
    }
    void enterEvent(QEnterEvent *) override
    {
        m_hovered = true;
        update();
    }
    void leaveEvent(QEvent *) override
    {
        m_hovered = false;
        update();
    }
    void mouseReleaseEvent(QMouseEvent *event) override
    {
        if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
            m_choose();
    }

private:
    WidgetExtension &m_extension;
    QString m_kind;
    WidgetFamily m_family;
    std::function<void()> m_choose;
    VantrellWidgetEntry m_entry;
    bool m_hovered = false;
};

} // namespace

WidgetGallery::WidgetGallery(WidgetExtension &extension, QWidget *parent)
    : QDialog(parent)
{
    setWindowTitle(localizedString(QStringLiteral("widgetHost.gallery.title")));
    auto *content = new QWidget;
    // A backdrop a shade off the window colour, so that the previews stand out as on a desktop.
    QPalette backdrop = content->palette();
    const QColor window = backdrop.color(QPalette::Window);
    backdrop.setColor(QPalette::Window, window.lightness() > 128 ? window.darker(108) : window.lighter(130));
    content->setPalette(backdrop);
    content->setAutoFillBackground(true);
    auto *layout = new QVBoxLayout(content);
    layout->setContentsMargins(20, 16, 20, 20);
    layout->setSpacing(6);
    for (const WidgetKind &kind : extension.kinds()) {
        auto *name = new QLabel(extension.localizedString(kind.nameKey, AppLanguage::system));
        QFont bold = name->font();
        bold.setPointSizeF(bold.pointSizeF() * 1.2);
        bold.setBold(true);
        name->setFont(bold);
        auto *description = new QLabel(extension.localizedString(kind.descriptionKey, AppLanguage::system));
        description->setWordWrap(true);
        description->setForegroundRole(QPalette::PlaceholderText);
        layout->addSpacing(layout->count() > 0 ? 14 : 0);
        layout->addWidget(name);
        layout->addWidget(description);
        auto *row = new QHBoxLayout;
        row->setSpacing(12);
        for (const WidgetFamily family : kind.families) {
            auto *column = new QVBoxLayout;
            column->setSpacing(2);
            column->addWidget(new GalleryTile(
                extension, kind, family,
                [this, kindName = kind.kind, family] {
                    Q_EMIT chosen(kindName, family);
                    accept();
                },
                content));
            auto *label = new QLabel(extension.localizedString(displayNameKey(family), AppLanguage::system));
            label->setAlignment(Qt::AlignHCenter);
            label->setForegroundRole(QPalette::PlaceholderText);
            column->addWidget(label);
            row->addLayout(column);
        }
        row->addStretch();
        layout->addLayout(row);
    }
    layout->addStretch();

    auto *scroll = new QScrollArea;
    scroll->setWidget(content);
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    auto *outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->addWidget(scroll);
    resize(content->sizeHint().width() + 24, std::min(760, content->sizeHint().height() + 8));
}

} // namespace Vantrell
