// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "widgetkit/widgetextension.h"

#include <QDialog>
#include <QHash>

class QFormLayout;
class QLabel;

namespace Vantrell {

// "Edit Widget": one field per option of the kind's intent, built from the
// option's type: a drop-down of display names for an enumeration, a check box
// for a boolean, a searchable coin picker for an entity and a reorderable
// pick list, limited by the family, for a list of entities. Options hidden by
// the intent's summary rule are hidden here too. Every change applies at once.
class WidgetOptionsEditor final : public QDialog
{
    Q_OBJECT

public:
    WidgetOptionsEditor(WidgetExtension &extension, const WidgetKind &kind, WidgetFamily family,
        WidgetOptionValues values, QWidget *parent = nullptr);

    const WidgetOptionValues &values() const { return m_values; }

Q_SIGNALS:
    void valuesChanged(const WidgetOptionValues &values);

private:
    QWidget *enumerationField(const WidgetOption &option);
    QWidget *booleanField(const WidgetOption &option);
    QWidget *entityField(const WidgetOption &option);
    QWidget *entityListField(const WidgetOption &option);
    void setValue(const QString &name, const QVariant &value);
    void updateVisibility();

    WidgetExtension &m_extension;
    WidgetKind m_kind;
    WidgetFamily m_family;
    WidgetOptionValues m_values;
    QFormLayout *m_form = nullptr;
    QHash<QString, QWidget *> m_fields;
};

} // namespace Vantrell
