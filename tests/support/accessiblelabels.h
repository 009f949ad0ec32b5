// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>

class QWidget;

namespace Vantrell::Test {

// What a screen reader says a control is, read through the same accessibility
// interfaces the AT-SPI bridge serves: the names of the widgets that label it
// (LABELLED_BY), its own name and its description, joined by " | ". On Linux a
// combo box's name is its current choice, which labels nothing, so a combo
// box contributes only its relations and description.
QString announcedLabel(QWidget *control);

// The controls under `root` that the keyboard reaches and that a screen reader
// would announce without any label, each as "<class> '<value>'".
QStringList unlabelledControls(QWidget *root);

} // namespace Vantrell::Test
