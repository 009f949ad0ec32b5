// SPDX-License-Identifier: GPL-3.0-or-later
#include "segmentedcontrol.h"

#include <QHBoxLayout>
#include <QToolButton>

namespace Vantrell {

SegmentedControl::SegmentedControl(int count, QWidget *parent)
    : QWidget(parent)
{
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    for (int i = 0; i < count; ++i) {
        auto *button = new QToolButton(this);
        button->setCheckable(true);
        button->setAutoRaise(false);
        button->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
        button->setFocusPolicy(Qt::StrongFocus);
        m_group.addButton(button, i);
        layout->addWidget(button);
    }
    m_group.setExclusive(true);
    connect(&m_group, &QButtonGroup::idClicked, this, &SegmentedControl::activated);
}

void SegmentedControl::setLabels(const QString &label, const QStringList &choices)
{
    setAccessibleName(label);
    for (int i = 0; i < choices.size(); ++i) {
        if (QAbstractButton *button = m_group.button(i)) {
            button->setText(choices.at(i));
            button->setAccessibleName(label + QStringLiteral(": ") + choices.at(i));
        }
    }
}

void SegmentedControl::setCurrentIndex(int index)
{
    if (QAbstractButton *button = m_group.button(index))
        button->setChecked(true);
}

} // namespace Vantrell
