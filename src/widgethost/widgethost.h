// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/autostartentry.h"
#include "platform/timer.h"
#include "reloadcoalescer.h"
#include "widgethostconfig.h"

#include <QDBusAbstractAdaptor>
#include <QDBusConnection>
#include <QHash>
#include <QObject>
#include <QPointer>

#include <memory>

namespace Vantrell {

class WidgetWindow;
class WallClockWatcher;

// The host on the desktop: the user's widgets as windows, their timelines and
// reloads, the menu, the gallery and the options editor, the D-Bus service
// the application calls and the host's own autostart entry.
class WidgetHost final : public QObject
{
    Q_OBJECT

public:
    WidgetHost(WidgetExtension &extension, WidgetConfigFile configFile, AutostartEntry autostart,
        QByteArray autostartContent, TimerFactory &timers, QDBusConnection bus, QObject *parent = nullptr);
    ~WidgetHost() override;

    // Claims the host's bus name. False when another host owns it.
    bool registerService();
    // Asks the host that owns the bus name to take over (it opens its gallery).
    static bool handOver(QDBusConnection bus);

    // Shows the stored widgets; with none, opens the gallery.
    void start();

    // Every widget asks for a new timeline; a burst of calls costs one round.
    void reloadAllTimelines();
    // Opens the gallery (or brings it forward).
    void showGallery();

    int widgetCount() const { return int(m_config.widgets.size()); }
    // Timeline rounds run so far, for tests that count reloads.
    int roundCount() const { return m_rounds; }

Q_SIGNALS:
    void roundFinished();

private:
    struct Shown
    {
        WidgetWindow *window = nullptr;
        std::shared_ptr<Timer> reload;
        quint64 generation = 0;
    };

    void show(const WidgetInstance &instance);
    void requestTimeline(const QString &id, std::function<void()> done = {});
    void startRound();
    void openMenu(const QString &id, QPoint globalPosition);
    void edit(const QString &id);
    void remove(const QString &id);
    void add(const QString &kind, WidgetFamily family, QPoint pointer);
    void moved(const QString &id, QPoint topLeft);
    void save();
    void updateAutostart();
    WidgetInstance *instance(const QString &id);

    WidgetExtension &m_extension;
    WidgetConfigFile m_configFile;
    AutostartEntry m_autostart;
    QByteArray m_autostartContent;
    TimerFactory &m_timers;
    QDBusConnection m_bus;
    WidgetHostConfig m_config;
    QHash<QString, Shown> m_shown;
    ReloadCoalescer m_coalescer;
    WallClockWatcher *m_clock = nullptr;
    QPointer<QWidget> m_gallery;
    QHash<QString, QPointer<QWidget>> m_editors;
    int m_rounds = 0;
};

// org.vantrell.WidgetHost on the session bus.
class WidgetHostAdaptor final : public QDBusAbstractAdaptor
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.vantrell.WidgetHost")

public:
    explicit WidgetHostAdaptor(WidgetHost *host);

public Q_SLOTS:
    void ReloadAllTimelines();
    // Another start of the host: show the gallery.
    void Activate();

private:
    WidgetHost *m_host;
};

// Opens the deep link "vantrell://popover": through org.freedesktop.Application
// on the application's bus name when it runs, else through the desktop, which
// starts the application from its desktop entry.
void openPopoverDeepLink(QDBusConnection bus);

} // namespace Vantrell
