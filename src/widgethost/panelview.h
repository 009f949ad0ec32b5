// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/clock.h"
#include "platform/timer.h"
#include "widgetkit/widgetsnapshot.h"

#include <QByteArray>
#include <QDateTime>
#include <QFileSystemWatcher>
#include <QList>
#include <QObject>
#include <QString>

#include <memory>
#include <optional>

namespace Vantrell {

// What a panel front end puts on screen for one coin, decided here whole: the
// text (fresh, stale or none), its colours, the tooltip, and the coins it may
// be set to. Nothing in it moves with a poll that changes no text, so its
// file is replaced only when the panel has something new to show.
struct PanelView
{
    struct Choice
    {
        QString id;
        QString name;

        bool operator==(const Choice &) const = default;
    };

    QString text = QStringLiteral("\u2014"); // "BTC 43,714", the stale text, or a dash without a price
    QString change; // "▲ +2.31%"; empty when stale or unknown
    // Empty: the panel's own text colour.
    QString colorOnLightHex;
    QString colorOnDarkHex;
    QString toolTipTitle = QStringLiteral("Vantrell");
    QString toolTip; // lines: name, price, change, time (or the stale line)
    bool stale = true;
    QList<Choice> coins; // the watchlist, by name

    bool operator==(const PanelView &) const = default;
};

struct PanelViewDecision
{
    PanelView view;
    // When the view turns stale without any file changing; none when only a
    // new file can change it.
    std::optional<QDateTime> changesAt;

    bool operator==(const PanelViewDecision &) const = default;
};

// The view of `coinId` (empty: the coin the program shows) from the program's
// snapshot or the widget host's own, whichever goes stale later, at `now`.
PanelViewDecision decidePanelView(const std::optional<WidgetSnapshot> &program,
    const std::optional<WidgetSnapshot> &fallback, const QString &coinId, const QDateTime &now);

// How a front end reads the view: "json" as JSON text, "ini" as an INI file
// whose key "view" holds that text (a QML Settings object reads it without a
// network request). Both are plain ASCII, whatever the language.
enum class PanelViewFormat { json, ini };

QByteArray encodePanelView(const PanelView &view, PanelViewFormat format);

// "<directory>/panel/<coin id or "shown">.<json|ini>", the directory being the
// program snapshot's.
QString panelViewPath(const QString &snapshotDirectory, const QString &coinId, PanelViewFormat format);

// Whether `id` can name a view's file: lower-case letters, digits and dashes,
// as coin ids are.
bool isPanelCoinId(const QString &id);

// Keeps one view's file: decides again whenever either snapshot file is
// replaced and when the shown text goes stale, and replaces the file only
// when what it holds changes.
class PanelViewKeeper final : public QObject
{
public:
    PanelViewKeeper(WidgetSnapshotStore program, WidgetSnapshotStore fallback, QString coinId, PanelViewFormat format,
        Clock now, TimerFactory &timers);

    void start();

private:
    // `always`: also when neither file changed (the start, the stale moment).
    void update(bool always);

    WidgetSnapshotStore m_program;
    WidgetSnapshotStore m_fallback;
    QString m_coinId;
    PanelViewFormat m_format;
    Clock m_now;
    QString m_path;
    std::unique_ptr<Timer> m_next;
    QFileSystemWatcher m_watcher;
    QDateTime m_programModified;
    QDateTime m_fallbackModified;
    QByteArray m_written;
    bool m_failed = false;
};

} // namespace Vantrell
