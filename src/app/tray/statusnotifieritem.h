// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "dbusmenuexporter.h"
#include "statustitlerenderer.h"
#include "traydbustypes.h"
#include "trayhost.h"
#include "trayiconfile.h"
#include "trayitem.h"
#include "traymenumirror.h"

#include <QDBusConnection>

#include <memory>
#include <optional>

class QDBusServiceWatcher;

namespace Vantrell {

class StatusNotifierItemAdaptor;

// The tray item as an org.kde.StatusNotifierItem on the session bus, with its
// menu as com.canonical.dbusmenu at /MenuBar. It registers with the panel's
// org.kde.StatusNotifierWatcher, and again whenever a watcher (re)appears, as
// panels restart, or drops or does not list the item although it accepted the
// registration (GNOME's AppIndicator extension sometimes does).
//
// How a title is shown depends on the panel (see TrayForm): the form is chosen
// from the process that owns the watcher, unless the user chose one. The
// tooltip always carries the title and the 24-hour change.
class StatusNotifierItem final : public TrayItem
{
    Q_OBJECT

public:
    static constexpr char kWatcherService[] = "org.kde.StatusNotifierWatcher";
    static constexpr char kWatcherPath[] = "/StatusNotifierWatcher";
    static constexpr char kItemPath[] = "/StatusNotifierItem";

    struct Options
    {
        // The Id property: the application id, e.g. "org.vantrell.Vantrell";
        // also the theme icon name used when there is no logo.
        QString applicationId;
        // The Title property and the tooltip title of the icon.
        QString title = QStringLiteral("Vantrell");
        // The monochrome logo (SVG or PNG), see StatusTitleRenderer.
        std::optional<QString> logoPath;
        // The user's choice of form; nothing: chosen for the panel.
        std::optional<TrayForm> formOverride;
        // Where the icon file for panels that load icons from a path goes;
        // empty: TrayIconFile::defaultDirectory().
        QString iconFileDirectory;
    };

    StatusNotifierItem(const QDBusConnection &connection, Options options, QObject *parent = nullptr);
    ~StatusNotifierItem() override;

    // Exports the item and its menu, takes the bus name
    // "org.kde.StatusNotifierItem-<pid>-<n>" and registers with the watcher
    // (now, when there is one, and whenever one appears). False when the bus
    // refused the name or an object path.
    bool start();

    QString serviceName() const { return m_serviceName; }
    bool isRegisteredWithWatcher() const { return m_registered; }
    // The process that owns the watcher; empty until known.
    TrayHostProcess hostProcess() const { return m_hostProcess; }
    QString panelProcessName() const { return m_hostProcess.name; }
    TrayHostProfile hostProfile() const { return m_profile; }
    // The form in use: the user's choice, else the panel's.
    TrayForm form() const { return m_options.formOverride.value_or(m_profile.form); }

    void present(const StatusPresentation &presentation) override;
    // The panel's darkness where the panel is known to have one look, else a
    // guess from the application palette (see paletteLooksDark()).
    bool isDarkAppearance() const override;
    void setMenu(const TrayMenu &menu) override;
    TrayMenu menu() const override { return m_menuExporter.menu(); }
    void popupMenu(QPoint anchor) override;
    // Gives up the bus name (the watcher drops an item whose name goes) and
    // ignores watchers until put back, when it takes the name and registers
    // again.
    void setWithdrawn(bool withdrawn) override;
    bool isWithdrawn() const { return m_withdrawn; }
    // The menu popupMenu() shows; null until it was first shown.
    QMenu *contextMenu() const;

    // Whether `entry` of the watcher's RegisteredStatusNotifierItems (or of its
    // StatusNotifierItemUnregistered signal) stands for the item with the bus
    // name `serviceName` on the connection `uniqueName`. Watchers write
    // entries as the name, or as the name followed by the object path.
    static bool watcherEntryNamesItem(const QString &entry, const QString &serviceName, const QString &uniqueName);

Q_SIGNALS:
    void registeredWithWatcherChanged(bool registered);
    // The owner of the watcher was looked up (panelProcessName(), hostProfile()).
    void hostProfileChanged();

protected:
    void applicationPaletteChanged() override;

private Q_SLOTS:
    void watcherUnregisteredItem(const QString &entry);

public:
    // What the item publishes on the bus.
    struct Exported
    {
        QString label;
        QString labelGuide;
        QString iconName;
        DBusImageList iconPixmaps;
        DBusToolTip toolTip;
    };

    // Which of the item's announcements a change from `before` to `after`
    // needs: a panel redraws (and Plasma's tray re-reads the pixmaps) on each,
    // so a price that moves within the same compact text sends no icon.
    struct Announcements
    {
        bool icon = false; // NewIcon
        bool label = false; // XAyatanaNewLabel
        bool toolTip = false; // NewToolTip
        bool operator==(const Announcements &) const = default;
    };
    static Announcements announcementsFor(const Exported &before, const Exported &after);

    // What the bus object serves: the options, what is published now, the
    // menu's path, and the panel's clicks.
    const Options &options() const { return m_options; }
    const Exported &exported() const { return m_exported; }
    QString menuObjectPath() const { return m_menuExporter.objectPath(); }
    void activate(int x, int y);
    void requestContextMenu(int x, int y);

private:
    void registerWithWatcher();
    void checkListedByWatcher();
    void registerAgain(const char *reason);
    void setRegistered(bool registered);
    void lookUpPanel();
    void setPanelProcess(const TrayHostProcess &process);
    void refresh();
    Exported exportedFor(const StatusPresentation &presentation) const;

    QDBusConnection m_connection;
    Options m_options;
    // Numbers this item among the process's items (bus name, icon file).
    int m_index;
    StatusTitleRenderer m_renderer;
    DBusMenuExporter m_menuExporter;
    TrayIconFile m_iconFile;
    // The menu as a QMenu, made when the panel first asks us to show it.
    std::unique_ptr<TrayMenuMirror> m_menuMirror;
    StatusNotifierItemAdaptor *m_adaptor = nullptr;
    QDBusServiceWatcher *m_watcherWatcher = nullptr;
    QString m_serviceName;
    bool m_registered = false;
    bool m_withdrawn = false;
    // Tells replies about an earlier watcher from the current one's.
    quint64 m_watcherGeneration = 0;
    // Registrations made again because the current watcher lost the item; a
    // watcher that keeps losing it is given up on until it restarts.
    int m_reRegistrations = 0;
    TrayHostProcess m_hostProcess;
    TrayHostProfile m_profile;
    StatusPresentation m_presentation;
    Exported m_exported;
    // isDarkAppearance() when the images were last drawn.
    bool m_renderedDark = false;
};

} // namespace Vantrell
