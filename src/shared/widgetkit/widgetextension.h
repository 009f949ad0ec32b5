// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "settings/settingsenums.h"
#include "widgetcontent.h"

#include <QDateTime>
#include <QHash>
#include <QList>
#include <QRectF>
#include <QSize>
#include <QString>
#include <QStringList>
#include <QtPlugin>
#include <QVariantMap>

#include <functional>
#include <optional>

class QPainter;
class QPalette;

// The contract between the widget host and the widget plug-in. The host knows
// nothing of coins or prices: it asks the plug-in which widget kinds exist,
// what can be configured, what to draw and when to ask again, and keeps the
// user's choices by raw value. Everything here is plain data except the
// WidgetExtension interface itself.
namespace Vantrell {

// The sizes a widget comes in.
enum class WidgetFamily { small, medium, large };

template<>
struct EnumTraits<WidgetFamily>
{
    static constexpr std::array<EnumCase<WidgetFamily>, 3> cases {{
        {WidgetFamily::small, "small", "widget.family.small"},
        {WidgetFamily::medium, "medium", "widget.family.medium"},
        {WidgetFamily::large, "large", "widget.family.large"},
    }};
};

// The size of a widget of `family` in logical pixels: 170 × 170, 364 × 170, 364 × 382.
QSize widgetFamilySize(WidgetFamily family);

// A choosable thing behind an option (a coin): its identifier, as stored, and
// how the editor shows it.
struct WidgetEntity
{
    QString id;
    QString title;
    QString subtitle;

    bool operator==(const WidgetEntity &) const = default;
};

// One configurable option of a widget kind.
struct WidgetOption
{
    enum class Type {
        enumeration, // value: the raw value of one of `choices`
        boolean, // value: bool
        entity, // value: an entity id, or none
        entityList, // value: entity ids in the user's order
    };
    struct Choice
    {
        QString raw;
        QString displayKey; // empty: the raw value is shown as it is
        bool operator==(const Choice &) const = default;
    };

    QString name;
    Type type = Type::enumeration;
    QString titleKey;
    QList<Choice> choices;
    // The value a new widget starts with: a QString for an enumeration, a bool,
    // nothing (invalid) for an entity, an empty QStringList for a list.
    QVariant defaultValue;
    // Most entries of a list per family; a family not named has no limit.
    QHash<WidgetFamily, int> maximumCount;
    // Listed in the editor only while the option `shownWhenOption` holds the
    // raw value `shownWhenValue`; always listed when `shownWhenOption` is empty.
    QString shownWhenOption;
    QString shownWhenValue;

    bool operator==(const WidgetOption &) const = default;
};

struct WidgetIntent
{
    QString titleKey;
    QList<WidgetOption> options; // in the editor's order

    const WidgetOption *option(const QString &name) const;
    bool operator==(const WidgetIntent &) const = default;
};

struct WidgetKind
{
    QString kind; // "WatchlistWidget"
    QString nameKey;
    QString descriptionKey;
    QList<WidgetFamily> families;
    WidgetIntent intent;

    bool supports(WidgetFamily family) const { return families.contains(family); }
    bool operator==(const WidgetKind &) const = default;
};

// Option name → value, typed as WidgetOption::defaultValue says.
using WidgetOptionValues = QVariantMap;

// The options the editor lists for `values`: each option whose condition holds.
QStringList visibleOptionNames(const WidgetIntent &intent, const WidgetOptionValues &values);

// `values` made whole for `intent` and `family`: every option present, unknown
// names dropped, a value of the wrong type or an enumeration value that is no
// choice replaced by the default, lists without empty or repeated ids and cut
// to the family's limit. Entity ids are kept as they are: whether the catalog
// still knows them is the extension's to say.
WidgetOptionValues resolvedOptionValues(
    const WidgetIntent &intent, WidgetFamily family, const WidgetOptionValues &values);

// The kind called `kind` in `kinds`, or null.
const WidgetKind *findWidgetKind(const QList<WidgetKind> &kinds, const QString &kind);

// One timeline entry: what to draw, dated.
struct VantrellWidgetEntry
{
    QDateTime date;
    WidgetEntryContent content;

    bool operator==(const VantrellWidgetEntry &) const = default;
};

// The entry to show now and when to ask for the next one.
struct WidgetTimeline
{
    VantrellWidgetEntry entry;
    QDateTime reloadAfter;

    bool operator==(const WidgetTimeline &) const = default;
};

struct WidgetContext
{
    WidgetFamily family = WidgetFamily::small;
    // A gallery preview: sample content, never the snapshot file or the network.
    bool isPreview = false;
};

// The widget plug-in. Every call happens on the main thread; callbacks are
// called once, later, on the main thread. Kind and option names are those of
// kinds(); an unknown one gives an empty answer.
class WidgetExtension
{
public:
    virtual ~WidgetExtension() = default;

    // The widget kinds in gallery order.
    virtual QList<WidgetKind> kinds() const = 0;

    // The files whose replacement changes what timeline() gives (the
    // application's snapshot), for hosts that follow them.
    virtual QStringList watchedFiles() const = 0;

    // The extension's text for `key` in `language` (system: the user's
    // language); the key itself when it has none.
    virtual QString localizedString(const QString &key, AppLanguage language) = 0;

    // The entities of an entity option: those of `ids` still known, in the
    // given order; those matching a search text; and the suggestions.
    virtual QList<WidgetEntity> entitiesForIdentifiers(
        const QString &kind, const QString &option, const QStringList &ids)
        = 0;
    virtual QList<WidgetEntity> entitiesMatching(const QString &kind, const QString &option, const QString &text) = 0;
    virtual QList<WidgetEntity> suggestedEntities(const QString &kind, const QString &option) = 0;

    // What to draw while nothing is known yet.
    virtual VantrellWidgetEntry placeholder(const QString &kind, const WidgetContext &context) = 0;
    // The gallery's preview or, outside a preview, the entry timeline() would give.
    virtual void snapshot(const QString &kind, const WidgetOptionValues &values, const WidgetContext &context,
        std::function<void(VantrellWidgetEntry)> done)
        = 0;
    virtual void timeline(const QString &kind, const WidgetOptionValues &values, const WidgetContext &context,
        std::function<void(WidgetTimeline)> done)
        = 0;

    // Draws `entry` as the kind's view into `rect`, on a widget background
    // the host has drawn in `palette`'s window colour.
    virtual void paint(QPainter &painter, const QRectF &rect, const QString &kind, WidgetFamily family,
        const VantrellWidgetEntry &entry, const QPalette &palette)
        = 0;
};

} // namespace Vantrell

#define VantrellWidgetExtension_iid "org.vantrell.WidgetExtension/1"
Q_DECLARE_INTERFACE(Vantrell::WidgetExtension, VantrellWidgetExtension_iid)
