// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QButtonGroup>
#include <QStringList>
#include <QWidget>

namespace Vantrell {

// A row of exclusive buttons, one per choice, for a handful of choices.
class SegmentedControl final : public QWidget
{
    Q_OBJECT

public:
    explicit SegmentedControl(int count, QWidget *parent = nullptr);

    // The texts of the choices and the label of the whole control. A screen
    // reader hears each button as "<label>: <choice>", since the row's label
    // can name only one widget.
    void setLabels(const QString &label, const QStringList &choices);
    int currentIndex() const { return m_group.checkedId(); }
    // Without emitting activated().
    void setCurrentIndex(int index);

Q_SIGNALS:
    // The user chose `index`.
    void activated(int index);

private:
    QButtonGroup m_group;
};

} // namespace Vantrell
