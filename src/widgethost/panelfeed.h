// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "widgetkit/widgetcontent.h"
#include "widgetkit/widgetextension.h"
#include "widgetkit/widgetsnapshot.h"

#include <QDateTime>
#include <QFileSystemWatcher>
#include <QObject>
#include <QString>
#include <QTimer>

#include <functional>
#include <optional>

namespace Vantrell {

// What a panel front end shows while the program does not run: the prices the
// widget plug-in fetches itself then (as a single-coin widget has them), kept
// as "panel-snapshot.json" beside the program's snapshot and in its form. The
// front ends show whichever of the two files goes stale later.
inline constexpr char kPanelSnapshotFileName[] = "panel-snapshot.json";

// The snapshot the program would write for `content`'s rows, dated when their
// prices were obtained (prices that old go stale in the panel as the
// program's would); the panel's coin is `panelCoinId` when a row has it, else
// the first row with a price. None without prices.
std::optional<WidgetSnapshot> makePanelSnapshot(const WidgetEntryContent &content, const QString &panelCoinId);

// Until when the program's own snapshot serves the panel: the moment its texts
// go stale; none when it is missing or already stale at `now`, and the feed
// fetches.
std::optional<QDateTime> programServesPanelUntil(const std::optional<WidgetSnapshot> &program, const QDateTime &now);

// Keeps the fallback file while the program's snapshot does not serve: asks
// the plug-in for the watchlist (its fetch, at its reload interval), and looks
// again whenever the program's file is replaced or goes stale.
class PanelFeed final : public QObject
{
public:
    using Clock = std::function<QDateTime()>;

    // `values`: the watchlist widget's options (its coins follow the program's list).
    PanelFeed(WidgetExtension &extension, WidgetOptionValues values, WidgetSnapshotStore program,
        WidgetSnapshotStore fallback, Clock now);

    void start();

private:
    void check();

    WidgetExtension &m_extension;
    WidgetOptionValues m_values;
    WidgetSnapshotStore m_program;
    WidgetSnapshotStore m_fallback;
    Clock m_now;
    QTimer m_next;
    QFileSystemWatcher m_watcher;
    QDateTime m_programModified;
    bool m_asking = false;
    bool m_programServes = false;
};

} // namespace Vantrell
