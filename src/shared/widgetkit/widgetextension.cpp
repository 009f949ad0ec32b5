// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgetextension.h"

#include <QSet>

namespace Vantrell {

QSize widgetFamilySize(WidgetFamily family)
{
    switch (family) {
    case WidgetFamily::small:
        return {170, 170};
    case WidgetFamily::medium:
        return {364, 170};
    case WidgetFamily::large:
        return {364, 382};
    }
    return {170, 170};
}

const WidgetOption *WidgetIntent::option(const QString &name) const
{
    for (const WidgetOption &candidate : options) {
        if (candidate.name == name)
            return &candidate;
    }
    return nullptr;
}

QStringList visibleOptionNames(const WidgetIntent &intent, const WidgetOptionValues &values)
{
    QStringList names;
    for (const WidgetOption &option : intent.options) {
        if (option.shownWhenOption.isEmpty()
            || values.value(option.shownWhenOption).toString() == option.shownWhenValue)
            names.append(option.name);
    }
    return names;
}

namespace {

QVariant resolvedValue(const WidgetOption &option, WidgetFamily family, const QVariant &value)
{
    switch (option.type) {
    case WidgetOption::Type::enumeration: {
        if (value.typeId() != QMetaType::QString)
            return option.defaultValue;
        const QString raw = value.toString();
        for (const WidgetOption::Choice &choice : option.choices) {
            if (choice.raw == raw)
                return raw;
        }
        return option.defaultValue;
    }
    case WidgetOption::Type::boolean:
        return value.typeId() == QMetaType::Bool ? value : option.defaultValue;
    case WidgetOption::Type::entity:
        return value.typeId() == QMetaType::QString && !value.toString().isEmpty() ? value : QVariant();
    case WidgetOption::Type::entityList: {
        if (value.typeId() != QMetaType::QStringList)
            return QStringList();
        const int limit = option.maximumCount.value(family, -1);
        QStringList ids;
        QSet<QString> seen;
        for (const QString &id : value.toStringList()) {
            if (id.isEmpty() || seen.contains(id))
                continue;
            if (limit >= 0 && ids.size() >= limit)
                break;
            seen.insert(id);
            ids.append(id);
        }
        return ids;
    }
    }
    return option.defaultValue;
}

} // namespace

WidgetOptionValues resolvedOptionValues(
    const WidgetIntent &intent, WidgetFamily family, const WidgetOptionValues &values)
{
    WidgetOptionValues resolved;
    for (const WidgetOption &option : intent.options) {
        const QVariant value = values.contains(option.name) ? resolvedValue(option, family, values.value(option.name))
                                                            : option.defaultValue;
        if (value.isValid())
            resolved.insert(option.name, value);
    }
    return resolved;
}

const WidgetKind *findWidgetKind(const QList<WidgetKind> &kinds, const QString &kind)
{
    for (const WidgetKind &candidate : kinds) {
        if (candidate.kind == kind)
            return &candidate;
    }
    return nullptr;
}

} // namespace Vantrell
