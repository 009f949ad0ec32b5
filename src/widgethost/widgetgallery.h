// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "widgetkit/widgetextension.h"

#include <QDialog>

namespace Vantrell {

// "Add Widget": every kind in each of its families, shown by its preview with
// the kind's name and description. Choosing one closes the gallery.
class WidgetGallery final : public QDialog
{
    Q_OBJECT

public:
    // Texts in `language` (the system's by default).
    explicit WidgetGallery(WidgetExtension &extension, QWidget *parent = nullptr);

Q_SIGNALS:
    void chosen(const QString &kind, WidgetFamily family);
};

} // namespace Vantrell
