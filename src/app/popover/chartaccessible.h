// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class QMetaObject;

namespace Vantrell {

// Makes screen readers hear the widgets of this class (the exact class, by
// its meta-object) as a chart rather than as an empty pane; their accessible
// name and description stay the widget's own. Call before the first of them
// is shown; calling it again costs nothing.
void announceAsChart(const QMetaObject &widgetClass);

} // namespace Vantrell
