// SPDX-License-Identifier: GPL-3.0-or-later
#include "statusnotifieritem.h"

#include "platform/logging.h"

#include <QCoreApplication>
#include <QDBusAbstractAdaptor>
#include <QDBusObjectPath>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusServiceWatcher>
#include <QDBusVariant>
#include <QFile>
#include <QGuiApplication>
#include <QScreen>

#include <atomic>

namespace Vantrell {

namespace {
// Panels pick the image size nearest to their icon size (16 to 32 pixels on
// usual panels, 48 on scaled screens). Each size is drawn for itself: the
// wide title keeps its aspect, and the square price icon sizes its text in
// whole pixels, which scaling would blur.
constexpr int kIconSizes[] = {16, 22, 24, 32, 48};

std::atomic<int> itemCounter {0};

// How often one watcher may lose the item before we stop registering again.
constexpr int kMaxReRegistrations = 5;

QList<ScreenArea> currentScreens()
{
    QList<ScreenArea> screens;
    for (const QScreen *screen : QGuiApplication::screens())
        screens.append({screen->geometry(), screen->devicePixelRatio()});
    return screens;
}
} // namespace

// The org.kde.StatusNotifierItem interface, with the Ayatana label extension.
// Types in signatures are spelled in full: QtDBus looks them up by name.
class StatusNotifierItemAdaptor final : public QDBusAbstractAdaptor
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.kde.StatusNotifierItem")
    Q_PROPERTY(QString Category READ category)
    Q_PROPERTY(QString Id READ id)
    Q_PROPERTY(QString Title READ title)
    Q_PROPERTY(QString Status READ status)
    Q_PROPERTY(int WindowId READ windowId)
    Q_PROPERTY(QString IconThemePath READ emptyString)
    Q_PROPERTY(QString IconName READ iconName)
    Q_PROPERTY(QList<Vantrell::DBusImage> IconPixmap READ iconPixmap)
    Q_PROPERTY(QString OverlayIconName READ emptyString)
    Q_PROPERTY(QList<Vantrell::DBusImage> OverlayIconPixmap READ noImages)
    Q_PROPERTY(QString AttentionIconName READ emptyString)
    Q_PROPERTY(QList<Vantrell::DBusImage> AttentionIconPixmap READ noImages)
    Q_PROPERTY(QString AttentionMovieName READ emptyString)
    Q_PROPERTY(Vantrell::DBusToolTip ToolTip READ toolTip)
    Q_PROPERTY(bool ItemIsMenu READ itemIsMenu)
    Q_PROPERTY(QDBusObjectPath Menu READ menu)
    // Read by screen readers and panels that describe their icons.
    Q_PROPERTY(QString IconAccessibleDesc READ accessibleDescription)
    Q_PROPERTY(QString AttentionAccessibleDesc READ accessibleDescription)
    Q_PROPERTY(QString XAyatanaLabel READ label)
    Q_PROPERTY(QString XAyatanaLabelGuide READ labelGuide)

public:
    explicit StatusNotifierItemAdaptor(StatusNotifierItem *item)
        : QDBusAbstractAdaptor(item)
        , m_item(item)
    {
        setAutoRelaySignals(false);
    }

    QString category() const { return QStringLiteral("ApplicationStatus"); }
    QString id() const { return m_item->options().applicationId; }
    QString title() const { return m_item->options().title; }
    QString status() const { return QStringLiteral("Active"); }
    int windowId() const { return 0; }
    QString emptyString() const { return {}; }
    QString iconName() const { return m_item->exported().iconName; }
    QList<DBusImage> iconPixmap() const { return m_item->exported().iconPixmaps; }
    QList<DBusImage> noImages() const { return {}; }
    DBusToolTip toolTip() const { return m_item->exported().toolTip; }
    // Left click activates; the menu comes with a right click.
    bool itemIsMenu() const { return false; }
    QDBusObjectPath menu() const { return QDBusObjectPath(m_item->menuObjectPath()); }
    QString accessibleDescription() const { return m_item->exported().toolTip.title; }
    QString label() const { return m_item->exported().label; }
    QString labelGuide() const { return m_item->exported().labelGuide; }

public Q_SLOTS:
    void Activate(int x, int y) { m_item->activate(x, y); }
    // A middle click: no meaning here.
    void SecondaryActivate(int x, int y)
    {
        Q_UNUSED(x);
        Q_UNUSED(y);
    }
    void ContextMenu(int x, int y) { m_item->requestContextMenu(x, y); }
    // Scrolling over the item does nothing.
    void Scroll(int delta, const QString &orientation)
    {
        Q_UNUSED(delta);
        Q_UNUSED(orientation);
    }
    // Wayland activation tokens: we run under X11, where windows are raised
    // without one.
    void ProvideXdgActivationToken(const QString &token) { Q_UNUSED(token); }

Q_SIGNALS:
    void NewTitle();
    void NewIcon();
    void NewAttentionIcon();
    void NewOverlayIcon();
    void NewToolTip();
    void NewStatus(const QString &status);
    void XAyatanaNewLabel(const QString &label, const QString &guide);

private:
    StatusNotifierItem *m_item;
};

StatusNotifierItem::StatusNotifierItem(const QDBusConnection &connection, Options options, QObject *parent)
    : TrayItem(parent)
    , m_connection(connection)
    , m_options(std::move(options))
    , m_index(++itemCounter)
    , m_renderer(m_options.logoPath)
    , m_iconFile(m_options.iconFileDirectory.isEmpty() ? TrayIconFile::defaultDirectory() : m_options.iconFileDirectory,
          QStringLiteral("tray-icon-%1-%2").arg(QCoreApplication::applicationPid()).arg(m_index))
{
    connect(&m_menuExporter, &DBusMenuExporter::menuItemTriggered, this, &TrayItem::menuItemTriggered);
    m_renderedDark = isDarkAppearance();
    m_exported = exportedFor(m_presentation);
}

StatusNotifierItem::~StatusNotifierItem()
{
    if (!m_serviceName.isEmpty()) {
        m_connection.unregisterService(m_serviceName);
        m_connection.unregisterObject(QString::fromLatin1(kItemPath));
    }
}

bool StatusNotifierItem::start()
{
    if (!m_serviceName.isEmpty())
        return true;
    if (!m_connection.isConnected()) {
        qCWarning(lcTray) << "No session bus: cannot show the status item";
        return false;
    }
    registerTrayDBusTypes();
    if (!m_adaptor)
        m_adaptor = new StatusNotifierItemAdaptor(this);
    // The objects come before the name: a watcher reads them as soon as it
    // learns the name.
    if (!m_connection.registerObject(QString::fromLatin1(kItemPath), this, QDBusConnection::ExportAdaptors)) {
        qCWarning(lcTray) << "Cannot export the status item:" << m_connection.lastError().message();
        return false;
    }
    if (!m_menuExporter.registerOn(m_connection)) {
        m_connection.unregisterObject(QString::fromLatin1(kItemPath));
        return false;
    }
    const QString name
        = QStringLiteral("org.kde.StatusNotifierItem-%1-%2").arg(QCoreApplication::applicationPid()).arg(m_index);
    if (!m_connection.registerService(name)) {
        qCWarning(lcTray) << "Cannot take the bus name" << name << m_connection.lastError().message();
        m_menuExporter.unregister();
        m_connection.unregisterObject(QString::fromLatin1(kItemPath));
        return false;
    }
    m_serviceName = name;

    m_watcherWatcher = new QDBusServiceWatcher(
        QString::fromLatin1(kWatcherService), m_connection, QDBusServiceWatcher::WatchForOwnerChange, this);
    connect(m_watcherWatcher, &QDBusServiceWatcher::serviceOwnerChanged, this,
        [this](const QString &, const QString &, const QString &newOwner) {
            ++m_watcherGeneration;
            m_reRegistrations = 0;
            setRegistered(false);
            if (newOwner.isEmpty()) {
                qCInfo(lcTray) << "The status notifier watcher went away";
                return;
            }
            if (!m_withdrawn)
                registerWithWatcher();
        });
    m_connection.connect(QString::fromLatin1(kWatcherService), QString::fromLatin1(kWatcherPath),
        QString::fromLatin1(kWatcherService), QStringLiteral("StatusNotifierItemUnregistered"), this,
        SLOT(watcherUnregisteredItem(QString)));
    registerWithWatcher();
    return true;
}

void StatusNotifierItem::setWithdrawn(bool withdrawn)
{
    if (withdrawn == m_withdrawn || m_serviceName.isEmpty())
        return;
    m_withdrawn = withdrawn;
    // Replies about the registration before the change mean nothing now.
    ++m_watcherGeneration;
    m_reRegistrations = 0;
    if (withdrawn) {
        setRegistered(false);
        m_connection.unregisterService(m_serviceName);
        return;
    }
    if (!m_connection.registerService(m_serviceName)) {
        qCWarning(lcTray) << "Cannot take the bus name" << m_serviceName << m_connection.lastError().message();
        return;
    }
    registerWithWatcher();
}

void StatusNotifierItem::registerWithWatcher()
{
    QDBusMessage call
        = QDBusMessage::createMethodCall(QString::fromLatin1(kWatcherService), QString::fromLatin1(kWatcherPath),
            QString::fromLatin1(kWatcherService), QStringLiteral("RegisterStatusNotifierItem"));
    call << m_serviceName;
    auto *pending = new QDBusPendingCallWatcher(m_connection.asyncCall(call), this);
    const quint64 generation = m_watcherGeneration;
    connect(pending, &QDBusPendingCallWatcher::finished, this, [this, pending, generation] {
        pending->deleteLater();
        if (generation != m_watcherGeneration)
            return;
        const QDBusPendingReply<> reply = *pending;
        if (reply.isError()) {
            qCInfo(lcTray) << "Not registered with a status notifier watcher:" << reply.error().message();
            setRegistered(false);
            return;
        }
        setRegistered(true);
        lookUpPanel();
        checkListedByWatcher();
    });
}

void StatusNotifierItem::checkListedByWatcher()
{
    QDBusMessage call = QDBusMessage::createMethodCall(QString::fromLatin1(kWatcherService),
        QString::fromLatin1(kWatcherPath), QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Get"));
    call << QString::fromLatin1(kWatcherService) << QStringLiteral("RegisteredStatusNotifierItems");
    auto *pending = new QDBusPendingCallWatcher(m_connection.asyncCall(call), this);
    const quint64 generation = m_watcherGeneration;
    connect(pending, &QDBusPendingCallWatcher::finished, this, [this, pending, generation] {
        pending->deleteLater();
        if (generation != m_watcherGeneration || !m_registered)
            return;
        const QDBusPendingReply<QDBusVariant> reply = *pending;
        // A watcher without the property tells nothing either way.
        if (reply.isError())
            return;
        const QStringList entries = reply.value().variant().toStringList();
        const QString uniqueName = m_connection.baseService();
        for (const QString &entry : entries) {
            if (watcherEntryNamesItem(entry, m_serviceName, uniqueName))
                return;
        }
        registerAgain("the watcher does not list it");
    });
}

void StatusNotifierItem::watcherUnregisteredItem(const QString &entry)
{
    if (m_registered && !m_withdrawn && watcherEntryNamesItem(entry, m_serviceName, m_connection.baseService()))
        registerAgain("the watcher dropped it");
}

void StatusNotifierItem::registerAgain(const char *reason)
{
    setRegistered(false);
    if (m_reRegistrations >= kMaxReRegistrations) {
        qCWarning(lcTray, "The status item is not shown (%s); not registering again until the panel restarts", reason);
        return;
    }
    ++m_reRegistrations;
    qCInfo(lcTray, "Registering the status item again: %s", reason);
    registerWithWatcher();
}

bool StatusNotifierItem::watcherEntryNamesItem(
    const QString &entry, const QString &serviceName, const QString &uniqueName)
{
    for (const QString &name : {serviceName, uniqueName}) {
        if (!name.isEmpty() && (entry == name || (entry.startsWith(name) && entry.at(name.size()) == QLatin1Char('/'))))
            return true;
    }
    return false;
}

void StatusNotifierItem::setRegistered(bool registered)
{
    if (m_registered == registered)
        return;
    m_registered = registered;
    Q_EMIT registeredWithWatcherChanged(registered);
}

void StatusNotifierItem::lookUpPanel()
{
    QDBusMessage call = QDBusMessage::createMethodCall(QStringLiteral("org.freedesktop.DBus"),
        QStringLiteral("/org/freedesktop/DBus"), QStringLiteral("org.freedesktop.DBus"),
        QStringLiteral("GetConnectionUnixProcessID"));
    call << QString::fromLatin1(kWatcherService);
    auto *pending = new QDBusPendingCallWatcher(m_connection.asyncCall(call), this);
    const quint64 generation = m_watcherGeneration;
    connect(pending, &QDBusPendingCallWatcher::finished, this, [this, pending, generation] {
        pending->deleteLater();
        if (generation != m_watcherGeneration)
            return;
        const QDBusPendingReply<uint> reply = *pending;
        if (reply.isError()) {
            qCInfo(lcTray) << "Cannot tell which panel shows the item:" << reply.error().message();
            setPanelProcess({});
            return;
        }
        setPanelProcess(readTrayHostProcess(reply.value()));
    });
}

void StatusNotifierItem::setPanelProcess(const TrayHostProcess &process)
{
    const TrayHostProfile profile = trayHostProfileFor(process);
    qCInfo(lcTray).nospace().noquote() << "Status item shown by \"" << process.name << "\" ("
                                       << (process.executable.isEmpty() ? QStringLiteral("?") : process.executable)
                                       << ") as " << trayFormName(m_options.formOverride.value_or(profile.form));
    const bool wasDark = isDarkAppearance();
    m_hostProcess = process;
    m_profile = profile;
    refresh();
    Q_EMIT hostProfileChanged();
    if (isDarkAppearance() != wasDark)
        Q_EMIT appearanceChanged();
}

void StatusNotifierItem::applicationPaletteChanged()
{
    if (m_profile.darkPanel)
        return;
    const bool wasDark = m_renderedDark;
    refresh();
    if (m_renderedDark != wasDark)
        Q_EMIT appearanceChanged();
}

void StatusNotifierItem::present(const StatusPresentation &presentation)
{
    if (presentation == m_presentation)
        return;
    m_presentation = presentation;
    refresh();
}

bool StatusNotifierItem::isDarkAppearance() const
{
    return m_profile.darkPanel.value_or(paletteLooksDark(QGuiApplication::palette()));
}

void StatusNotifierItem::setMenu(const TrayMenu &menu)
{
    m_menuExporter.setMenu(menu);
    if (m_menuMirror)
        m_menuMirror->setMenu(menu);
}

void StatusNotifierItem::popupMenu(QPoint anchor)
{
    if (!m_menuMirror) {
        m_menuMirror = std::make_unique<TrayMenuMirror>();
        connect(m_menuMirror.get(), &TrayMenuMirror::triggered, this, &TrayItem::menuItemTriggered);
        m_menuMirror->setMenu(m_menuExporter.menu());
    }
    m_menuMirror->popup(anchor);
}

QMenu *StatusNotifierItem::contextMenu() const
{
    return m_menuMirror ? m_menuMirror->qmenu() : nullptr;
}

void StatusNotifierItem::refresh()
{
    m_renderedDark = isDarkAppearance();
    Exported next = exportedFor(m_presentation);
    if (m_profile.loadsIconFromPath && !next.iconPixmaps.isEmpty()) {
        // The largest image makes the file; the panel scales it down.
        next.iconName = m_iconFile.write(fromDBusImage(next.iconPixmaps.constLast()));
    }
    const Announcements announce = announcementsFor(m_exported, next);
    m_exported = std::move(next);
    if (!m_adaptor)
        return;
    if (announce.icon)
        Q_EMIT m_adaptor->NewIcon();
    if (announce.label)
        Q_EMIT m_adaptor->XAyatanaNewLabel(m_exported.label, m_exported.labelGuide);
    if (announce.toolTip)
        Q_EMIT m_adaptor->NewToolTip();
}

StatusNotifierItem::Announcements StatusNotifierItem::announcementsFor(const Exported &before, const Exported &after)
{
    return {
        .icon = after.iconName != before.iconName || after.iconPixmaps != before.iconPixmaps,
        .label = after.label != before.label || after.labelGuide != before.labelGuide,
        .toolTip = after.toolTip != before.toolTip,
    };
}

StatusNotifierItem::Exported StatusNotifierItem::exportedFor(const StatusPresentation &presentation) const
{
    Exported result;
    const TrayForm shownForm = form();
    const bool isTitle = presentation.kind == StatusPresentation::Kind::title;
    if (isTitle && shownForm == TrayForm::label) {
        result.label = presentation.text.trimmed();
        result.labelGuide = labelGuide(result.label);
    }

    const QColor panelText = panelTextColor(isDarkAppearance());
    for (const int size : kIconSizes) {
        QImage image;
        if (!isTitle)
            image = m_renderer.logoImage(size, panelText);
        else if (shownForm == TrayForm::icon)
            image = m_renderer.priceIconImage(presentation, size, panelText);
        else if (shownForm == TrayForm::label)
            image = m_renderer.indicatorImage(presentation, size, panelText);
        else
            image = m_renderer.titleImage(presentation, size, panelText);
        if (!image.isNull())
            result.iconPixmaps.append(toDBusImage(image));
    }
    // Without a logo the application's theme icon stands in.
    if (result.iconPixmaps.isEmpty())
        result.iconName = m_options.applicationId;

    const TrayToolTip toolTip = statusToolTip(presentation, m_options.title);
    // The tooltip text may carry markup, so a coin name is escaped, and a line
    // break has to be one in markup.
    result.toolTip = {.title = toolTip.title,
        .text = toolTip.text.toHtmlEscaped().replace(QLatin1Char('\n'), QLatin1String("<br/>"))};
    return result;
}

void StatusNotifierItem::activate(int x, int y)
{
    Q_EMIT activated(panelPointToLogical(QPoint(x, y), currentScreens()).value_or(QPoint()));
}

void StatusNotifierItem::requestContextMenu(int x, int y)
{
    Q_EMIT contextMenuRequested(panelPointToLogical(QPoint(x, y), currentScreens()).value_or(QPoint()));
}

} // namespace Vantrell

#include "statusnotifieritem.moc"
