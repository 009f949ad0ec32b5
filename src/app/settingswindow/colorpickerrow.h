// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QColor>
#include <QString>
#include <QWidget>

#include <functional>

class QLabel;
class QPushButton;

namespace Vantrell {

// A label and a colour swatch that opens the colour dialog. Shows the colour
// of a "#RRGGBB" text, or green when the text does not parse; the text is
// only ever replaced by a colour the user picked.
class ColorPickerRow final : public QWidget
{
    Q_OBJECT

public:
    ColorPickerRow(std::function<void(const QString &)> onPicked, QWidget *parent = nullptr);

    void setLabel(const QString &label);
    void setHexColor(const QString &hexColor);
    QColor displayedColor() const { return m_color; }

    // Called with the dialog's choice; public for the keyboard-free tests.
    void pick(const QColor &color);

private:
    void openDialog();

    std::function<void(const QString &)> m_onPicked;
    QLabel *m_label = nullptr;
    QPushButton *m_swatch = nullptr;
    QColor m_color;
};

} // namespace Vantrell
