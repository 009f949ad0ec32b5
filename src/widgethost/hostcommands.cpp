// SPDX-License-Identifier: GPL-3.0-or-later
#include "hostcommands.h"

#include "i18n/localizationmanager.h"
#include "panelfeed.h"
#include "panelview.h"
#include "platform/processsignals.h"
#include "statusline.h"
#include "widgetframe.h"
#include "widgetkit/widgethostbus.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDir>
#include <QEventLoop>
#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QSocketNotifier>
#include <QStandardPaths>
#include <QTimer>

#include <memory>

#include <unistd.h>

namespace Vantrell {

namespace {
constexpr char kPluginFile[] = "libvantrell-widgets.so";

int fail(int status, const QString &message)
{
    std::fprintf(stderr, "vantrell-widget-host: %s\n", qUtf8Printable(message));
    return status;
}

// Waits in a local event loop for an asynchronous answer of the extension.
template<typename T>
T await(const std::function<void(std::function<void(T)>)> &start)
{
    std::optional<T> result;
    QEventLoop loop;
    start([&result, &loop](const T &value) {
        result = value;
        loop.quit();
    });
    if (!result)
        loop.exec();
    return *result;
}

std::variant<WidgetOptionValues, CommandLineError> valuesFor(
    WidgetExtension &extension, const WidgetKind &kind, WidgetFamily family, const HostCommand &command)
{
    return optionValuesFromSettings(
        kind, family, command.settings, [&extension, &kind](const QString &option, const QStringList &ids) {
            return extension.entitiesForIdentifiers(kind.kind, option, ids);
        });
}
} // namespace

QString widgetPluginPath(const QString &requested)
{
    if (!requested.isEmpty())
        return requested;
    const QDir programDir(QCoreApplication::applicationDirPath());
    const QStringList candidates {
        programDir.filePath(QString::fromLatin1(kPluginFile)),
        programDir.filePath(
            QStringLiteral("../" VANTRELL_INSTALL_LIBDIR "/vantrell/widgets/") + QString::fromLatin1(kPluginFile)),
        QStringLiteral(VANTRELL_INSTALL_FULL_LIBDIR "/vantrell/widgets/") + QString::fromLatin1(kPluginFile),
    };
    for (const QString &candidate : candidates) {
        if (QFileInfo::exists(candidate))
            return QFileInfo(candidate).absoluteFilePath();
    }
    return candidates.constLast();
}

int runList(WidgetExtension &extension, std::FILE *out)
{
    const QByteArray document = describeKinds(extension.kinds());
    std::fwrite(document.constData(), 1, std::size_t(document.size()), out);
    return 0;
}

int runRender(WidgetExtension &extension, const HostCommand &command)
{
    const QList<WidgetKind> kinds = extension.kinds();
    const WidgetKind *kind = findWidgetKind(kinds, command.kind);
    if (!kind)
        return fail(2, QStringLiteral("unknown widget kind \"%1\"").arg(command.kind));
    const auto family = fromRawValue<WidgetFamily>(command.family);
    if (!family)
        return fail(2, QStringLiteral("unknown family \"%1\": use small, medium or large").arg(command.family));
    if (!kind->supports(*family))
        return fail(2, QStringLiteral("%1 has no %2 family").arg(kind->kind, command.family));
    const auto values = valuesFor(extension, *kind, *family, command);
    if (const auto *error = std::get_if<CommandLineError>(&values))
        return fail(2, error->message);
    const WidgetOptionValues &options = std::get<WidgetOptionValues>(values);

    const WidgetContext context {*family, command.preview};
    const VantrellWidgetEntry entry = command.preview
        ? await<VantrellWidgetEntry>([&](auto done) { extension.snapshot(kind->kind, options, context, done); })
        : await<WidgetTimeline>([&](auto done) { extension.timeline(kind->kind, options, context, done); }).entry;
    const QImage image
        = WidgetFrame::render(extension, kind->kind, *family, entry, WidgetFrame::palette(command.dark), command.scale);
    // zlib's fastest level: the file is a little larger, and written in a
    // third of the time that the default level takes, a tenth of a render.
    constexpr int kFastestPngLevel = 80; // Qt's PNG quality 80 is zlib level 1
    if (!image.save(command.output, "PNG", kFastestPngLevel))
        return fail(1, QStringLiteral("cannot write %1").arg(command.output));
    return 0;
}

int runPrint(WidgetExtension &extension, const HostCommand &command, std::FILE *out)
{
    const QString kindName = QStringLiteral("CoinPriceWidget");
    const QList<WidgetKind> kinds = extension.kinds();
    const WidgetKind *kind = findWidgetKind(kinds, kindName);
    if (!kind || kind->families.isEmpty())
        return fail(1, QStringLiteral("the plug-in has no single-coin widget"));
    const WidgetFamily family = kind->families.constFirst();
    const auto values = valuesFor(extension, *kind, family, command);
    if (const auto *error = std::get_if<CommandLineError>(&values))
        return fail(2, error->message);
    const WidgetOptionValues options = std::get<WidgetOptionValues>(values);

    // A status bar cannot tell us its colours: the user's word, else the theme's name.
    const bool darkPanel = command.dark.value_or(
        themeNameLooksDark(sessionThemeName(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation))));
    QByteArray lastLine;
    const auto printOnce = [&](const WidgetTimeline &timeline) {
        const StringBundle strings = LocalizationManager::bundle(timeline.entry.content.language);
        const QByteArray line = formatStatusLine(command.format,
            makeStatusLine(timeline.entry.content, QDateTime::currentDateTimeUtc(), strings), command.follow,
            darkPanel);
        if (line != lastLine) {
            std::fwrite(line.constData(), 1, std::size_t(line.size()), out);
            std::fflush(out);
            lastLine = line;
        }
    };
    if (!command.follow) {
        printOnce(await<WidgetTimeline>([&](auto done) { extension.timeline(kind->kind, options, {family}, done); }));
        return 0;
    }

    // Following: a new line whenever the snapshot is replaced (watched through
    // its directory, since the file is renamed over) and at the reload date.
    QFileSystemWatcher watcher;
    QHash<QString, QDateTime> modified;
    for (const QString &file : extension.watchedFiles()) {
        QDir().mkpath(QFileInfo(file).absolutePath());
        watcher.addPath(QFileInfo(file).absolutePath());
        modified.insert(file, QFileInfo(file).lastModified());
    }
    QTimer reload;
    reload.setSingleShot(true);
    bool running = false;
    bool again = false;
    std::function<void()> ask = [&]() {
        if (running) {
            again = true;
            return;
        }
        running = true;
        extension.timeline(kind->kind, options, {family}, [&](const WidgetTimeline &timeline) {
            running = false;
            printOnce(timeline);
            const qint64 wait = QDateTime::currentDateTimeUtc().msecsTo(timeline.reloadAfter);
            reload.start(std::chrono::milliseconds(std::max<qint64>(wait, 1000)));
            if (std::exchange(again, false))
                ask();
        });
    };
    QObject::connect(&reload, &QTimer::timeout, ask);
    QObject::connect(&watcher, &QFileSystemWatcher::directoryChanged, [&](const QString &) {
        bool changed = false;
        for (auto it = modified.begin(); it != modified.end(); ++it) {
            const QDateTime now = QFileInfo(it.key()).lastModified();
            changed = changed || now != it.value();
            it.value() = now;
        }
        if (changed)
            ask();
    });
    ask();
    return QCoreApplication::exec();
}

} // namespace Vantrell

namespace Vantrell {

int runPanelPresence(WidgetExtension *extension, const HostCommand &command)
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return fail(1, QStringLiteral("no session bus"));
    // Queued: a second panel's front end takes the name over when this one goes.
    const auto reply = bus.interface()->registerService(QString::fromLatin1(kPanelFrontEndService),
        QDBusConnectionInterface::QueueService, QDBusConnectionInterface::DontAllowReplacement);
    if (!reply.isValid())
        return fail(1, QStringLiteral("cannot queue for the bus name: %1").arg(reply.error().message()));
    // The front end keeps our stdin open while it lives; its end (the panel
    // quit, or crashed) ends us, and the bus frees the name.
    QSocketNotifier input(0, QSocketNotifier::Read);
    QObject::connect(&input, &QSocketNotifier::activated, [&input] {
        char buffer[256];
        if (::read(0, buffer, sizeof buffer) <= 0) {
            input.setEnabled(false);
            QCoreApplication::quit();
        }
    });
    std::unique_ptr<PanelFeed> feed;
    const QList<WidgetKind> kinds = extension ? extension->kinds() : QList<WidgetKind>();
    const WidgetKind *watchlist = findWidgetKind(kinds, QStringLiteral("WatchlistWidget"));
    const QString programFile = extension ? extension->watchedFiles().value(0) : QString();
    QtTimerFactory timers;
    std::unique_ptr<PanelViewKeeper> view;
    if (command.view && !programFile.isEmpty()) {
        const QString directory = QFileInfo(programFile).absolutePath();
        view = std::make_unique<PanelViewKeeper>(WidgetSnapshotStore {directory, QFileInfo(programFile).fileName()},
            WidgetSnapshotStore {directory, QString::fromLatin1(kPanelSnapshotFileName)}, command.coinId, *command.view,
            systemClock(), timers);
        view->start();
    }
    if (watchlist && !programFile.isEmpty()) {
        const auto values = valuesFor(*extension, *watchlist, WidgetFamily::large, HostCommand());
        if (const auto *options = std::get_if<WidgetOptionValues>(&values)) {
            WidgetOptionValues withoutCharts = *options;
            withoutCharts.insert(QStringLiteral("showCharts"), false); // the panel draws no line
            const QString directory = QFileInfo(programFile).absolutePath();
            feed = std::make_unique<PanelFeed>(*extension, withoutCharts,
                WidgetSnapshotStore {directory, QFileInfo(programFile).fileName()},
                WidgetSnapshotStore {directory, QString::fromLatin1(kPanelSnapshotFileName)},
                [] { return QDateTime::currentDateTimeUtc(); });
            feed->start();
        }
    }
    ProcessSignals processSignals;
    processSignals.install();
    return QCoreApplication::exec();
}

} // namespace Vantrell
