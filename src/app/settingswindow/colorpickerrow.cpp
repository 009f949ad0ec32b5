// SPDX-License-Identifier: GPL-3.0-or-later
#include "colorpickerrow.h"

#include "settings/pricecolors.h"

#include <QColorDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>

namespace Vantrell {

ColorPickerRow::ColorPickerRow(std::function<void(const QString &)> onPicked, QWidget *parent)
    : QWidget(parent)
    , m_onPicked(std::move(onPicked))
{
    m_label = new QLabel(this);
    m_swatch = new QPushButton(this);
    m_swatch->setFixedSize(44, 24);
    m_swatch->setIconSize(QSize(32, 14));
    m_label->setBuddy(m_swatch);
    connect(m_swatch, &QPushButton::clicked, this, &ColorPickerRow::openDialog);
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(8);
    layout->addWidget(m_label);
    layout->addWidget(m_swatch);
}

void ColorPickerRow::setLabel(const QString &label)
{
    m_label->setText(label);
    m_swatch->setAccessibleName(label);
}

void ColorPickerRow::setHexColor(const QString &hexColor)
{
    m_color = parseHexColor(hexColor).value_or(kRiseGreen);
    QPixmap swatch(m_swatch->iconSize() * m_swatch->devicePixelRatioF());
    swatch.setDevicePixelRatio(m_swatch->devicePixelRatioF());
    swatch.fill(Qt::transparent);
    {
        QPainter painter(&swatch);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(QColor(0, 0, 0, 60));
        painter.setBrush(m_color);
        painter.drawRoundedRect(QRectF(QPointF(0.5, 0.5), QSizeF(m_swatch->iconSize()) - QSizeF(1, 1)), 3, 3);
    }
    m_swatch->setIcon(QIcon(swatch));
    m_swatch->setToolTip(hexString(m_color));
}

void ColorPickerRow::pick(const QColor &color)
{
    if (!color.isValid())
        return;
    m_onPicked(hexString(color));
}

void ColorPickerRow::openDialog()
{
    pick(QColorDialog::getColor(m_color, this, m_label->text()));
}

} // namespace Vantrell
