// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgethost.h"

#include "i18n/localizationmanager.h"
#include "platform/logging.h"
#include "platform/screens.h"
#include "wallclockwatcher.h"
#include "widgetframe.h"
#include "widgetgallery.h"
#include "widgetkit/widgethostbus.h"
#include "widgetoptionseditor.h"
#include "widgetwindow.h"

#include <QApplication>
#include <QCursor>
#include <QDateTime>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDesktopServices>
#include <QMenu>
#include <QScreen>
#include <QUrl>
#include <QUuid>

namespace Vantrell {

namespace {
QString deepLink()
{
    return QStringLiteral("vantrell://popover");
}

} // namespace

void openPopoverDeepLink(QDBusConnection bus)
{
    const QString appId = QStringLiteral(VANTRELL_APP_ID);
    if (bus.isConnected() && bus.interface() && bus.interface()->isServiceRegistered(appId).value()) {
        QString path = QLatin1Char('/') + appId;
        path.replace(QLatin1Char('.'), QLatin1Char('/'));
        QDBusMessage open = QDBusMessage::createMethodCall(
            appId, path, QStringLiteral("org.freedesktop.Application"), QStringLiteral("Open"));
        open << QStringList {deepLink()} << QVariantMap();
        open.setAutoStartService(false);
        if (bus.send(open))
            return;
    }
    QDesktopServices::openUrl(QUrl(deepLink()));
}

WidgetHost::WidgetHost(WidgetExtension &extension, WidgetConfigFile configFile, AutostartEntry autostart,
    QByteArray autostartContent, TimerFactory &timers, QDBusConnection bus, QObject *parent)
    : QObject(parent)
    , m_extension(extension)
    , m_configFile(std::move(configFile))
    , m_autostart(std::move(autostart))
    , m_autostartContent(std::move(autostartContent))
    , m_timers(timers)
    , m_bus(std::move(bus))
    , m_coalescer(timers, [this] { startRound(); })
    , m_clock(new WallClockWatcher(this))
{
    connect(m_clock, &WallClockWatcher::jumped, this, &WidgetHost::reloadAllTimelines);
    new WidgetHostAdaptor(this);
}

WidgetHost::~WidgetHost()
{
    for (Shown &shown : m_shown)
        delete shown.window;
}

bool WidgetHost::registerService()
{
    if (!m_bus.isConnected() || !m_bus.interface())
        return true;
    const auto reply = m_bus.interface()->registerService(WidgetHostBus::service(),
        QDBusConnectionInterface::DontQueueService, QDBusConnectionInterface::DontAllowReplacement);
    if (!reply.isValid() || reply.value() != QDBusConnectionInterface::ServiceRegistered)
        return false;
    if (!m_bus.registerObject(WidgetHostBus::path(), this))
        qCWarning(lcWidget, "Cannot export %s", qUtf8Printable(WidgetHostBus::path()));
    return true;
}

bool WidgetHost::handOver(QDBusConnection bus)
{
    QDBusMessage call = QDBusMessage::createMethodCall(
        WidgetHostBus::service(), WidgetHostBus::path(), WidgetHostBus::interface(), QStringLiteral("Activate"));
    call.setAutoStartService(false);
    return bus.call(call, QDBus::Block, 5000).type() == QDBusMessage::ReplyMessage;
}

void WidgetHost::start()
{
    m_config = m_configFile.load();
    for (const WidgetInstance &instance : std::as_const(m_config.widgets))
        show(instance);
    if (m_config.widgets.isEmpty())
        showGallery();
    else
        updateAutostart();
}

void WidgetHost::show(const WidgetInstance &instance)
{
    const WidgetKind *kind = findWidgetKind(m_extension.kinds(), instance.kind);
    if (!kind || !kind->supports(instance.family)) {
        // Kept in the file: a later plug-in may know it again.
        qCWarning(lcWidget, "Not showing widget %s: the plug-in has no %s widget in the %s family",
            qUtf8Printable(instance.id), qUtf8Printable(instance.kind), qUtf8Printable(rawValue(instance.family)));
        return;
    }
    auto *window = new WidgetWindow(m_extension, instance.kind, instance.family);
    const QString id = instance.id;
    window->setEntry(m_extension.placeholder(instance.kind, {instance.family, false}));
    connect(window, &WidgetWindow::clicked, this, [this] { openPopoverDeepLink(m_bus); });
    connect(window, &WidgetWindow::moved, this, [this, id](QPoint topLeft) { moved(id, topLeft); });
    connect(window, &WidgetWindow::menuRequested, this, [this, id](QPoint at) { openMenu(id, at); });
    Shown &shown = m_shown[id];
    shown.window = window;
    shown.reload = m_timers.createTimer(Timer::Mode::singleShot, [this, id] { requestTimeline(id); });
    window->showAt(restoredPosition(instance.position, widgetFamilySize(instance.family), availableScreenGeometries()));
    requestTimeline(id);
}

WidgetInstance *WidgetHost::instance(const QString &id)
{
    for (WidgetInstance &widget : m_config.widgets) {
        if (widget.id == id)
            return &widget;
    }
    return nullptr;
}

void WidgetHost::requestTimeline(const QString &id, std::function<void()> done)
{
    const WidgetInstance *widget = instance(id);
    const auto shown = m_shown.find(id);
    if (!widget || shown == m_shown.end()) {
        if (done)
            done();
        return;
    }
    shown->reload->stop();
    const quint64 generation = ++shown->generation;
    QPointer<WidgetHost> self(this);
    m_extension.timeline(widget->kind, widget->options, {widget->family, false},
        [self, id, generation, done](const WidgetTimeline &timeline) {
            if (!self)
                return;
            const auto current = self->m_shown.find(id);
            // A newer request (options changed meanwhile) or a removed widget: the answer is stale.
            if (current != self->m_shown.end() && current->generation == generation) {
                current->window->setEntry(timeline.entry);
                const qint64 wait = QDateTime::currentDateTimeUtc().msecsTo(timeline.reloadAfter);
                current->reload->start(std::chrono::milliseconds(std::max<qint64>(wait, 1000)));
            }
            if (done)
                done();
        });
}

void WidgetHost::reloadAllTimelines()
{
    m_coalescer.request();
}

void WidgetHost::startRound()
{
    ++m_rounds;
    const QStringList ids = m_shown.keys();
    auto pending = std::make_shared<int>(int(ids.size()) + 1);
    const auto one = [this, pending] {
        if (--*pending == 0) {
            m_coalescer.roundFinished();
            Q_EMIT roundFinished();
        }
    };
    for (const QString &id : ids)
        requestTimeline(id, one);
    one();
}

void WidgetHost::openMenu(const QString &id, QPoint globalPosition)
{
    auto *menu = new QMenu;
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->addAction(localizedString(QStringLiteral("widgetHost.menu.edit")), this, [this, id] { edit(id); });
    menu->addAction(localizedString(QStringLiteral("widgetHost.menu.remove")), this, [this, id] { remove(id); });
    menu->addSeparator();
    menu->addAction(localizedString(QStringLiteral("widgetHost.menu.add")), this, [this] { showGallery(); });
    menu->addSeparator();
    menu->addAction(localizedString(QStringLiteral("widgetHost.menu.quit")), qApp, &QCoreApplication::quit);
    menu->popup(globalPosition);
}

void WidgetHost::edit(const QString &id)
{
    WidgetInstance *widget = instance(id);
    const WidgetKind *kind = widget ? findWidgetKind(m_extension.kinds(), widget->kind) : nullptr;
    if (!kind)
        return;
    if (QWidget *open = m_editors.value(id)) {
        open->raise();
        open->activateWindow();
        return;
    }
    auto *editor = new WidgetOptionsEditor(m_extension, *kind, widget->family, widget->options);
    editor->setAttribute(Qt::WA_DeleteOnClose);
    connect(editor, &WidgetOptionsEditor::valuesChanged, this, [this, id](const WidgetOptionValues &values) {
        if (WidgetInstance *changed = instance(id)) {
            changed->options = values;
            save();
            requestTimeline(id);
        }
    });
    m_editors.insert(id, editor);
    editor->show();
}

void WidgetHost::remove(const QString &id)
{
    const auto shown = m_shown.find(id);
    if (shown != m_shown.end()) {
        shown->window->deleteLater();
        m_shown.erase(shown);
    }
    if (QWidget *editor = m_editors.take(id))
        editor->close();
    m_config.widgets.removeIf([&id](const WidgetInstance &widget) { return widget.id == id; });
    save();
}

void WidgetHost::showGallery()
{
    if (m_gallery) {
        m_gallery->raise();
        m_gallery->activateWindow();
        return;
    }
    auto *gallery = new WidgetGallery(m_extension);
    gallery->setAttribute(Qt::WA_DeleteOnClose);
    connect(gallery, &WidgetGallery::chosen, this,
        [this](const QString &kind, WidgetFamily family) { add(kind, family, QCursor::pos()); });
    m_gallery = gallery;
    gallery->show();
}

void WidgetHost::add(const QString &kind, WidgetFamily family, QPoint pointer)
{
    QScreen *screen = QGuiApplication::screenAt(pointer);
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    WidgetInstance widget;
    widget.id = QUuid::createUuid().toString(QUuid::WithoutBraces);
    widget.kind = kind;
    widget.family = family;
    if (const WidgetKind *definition = findWidgetKind(m_extension.kinds(), kind))
        widget.options = resolvedOptionValues(definition->intent, family, {});
    widget.position = placeWidget(widgetFamilySize(family), pointer, screen ? screen->availableGeometry() : QRect());
    widget.screen = screen ? screen->name() : QString();
    m_config.widgets.append(widget);
    save();
    show(widget);
}

void WidgetHost::moved(const QString &id, QPoint topLeft)
{
    if (WidgetInstance *widget = instance(id)) {
        widget->position = topLeft;
        if (QScreen *screen = QGuiApplication::screenAt(topLeft + QPoint(10, 10)))
            widget->screen = screen->name();
        save();
    }
}

void WidgetHost::save()
{
    m_configFile.save(m_config);
    updateAutostart();
}

void WidgetHost::updateAutostart()
{
    // The host starts with the session while it holds widgets, and only then.
    QString error;
    const bool wanted = !m_config.widgets.isEmpty();
    if (m_autostart.apply(wanted, m_autostartContent, &error) == AutostartEntry::Outcome::failed)
        qCWarning(lcWidget, "Autostart entry of the widget host not updated: %s", qUtf8Printable(error));
}

WidgetHostAdaptor::WidgetHostAdaptor(WidgetHost *host)
    : QDBusAbstractAdaptor(host)
    , m_host(host)
{ }

void WidgetHostAdaptor::ReloadAllTimelines()
{
    m_host->reloadAllTimelines();
}

void WidgetHostAdaptor::Activate()
{
    m_host->showGallery();
}

} // namespace Vantrell
