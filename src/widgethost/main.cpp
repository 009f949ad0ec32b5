// SPDX-License-Identifier: GPL-3.0-or-later
// vantrell-widget-host: shows the widgets of the widget plug-in on the desktop,
// or, from the command line, renders one widget to a PNG, lists the widget
// kinds, or prints the single-coin widget for a status bar.
#include "hostcommandline.h"
#include "hostcommands.h"
#include "i18n/localizationmanager.h"
#include "platform/atomicfile.h"
#include "platform/autostartentry.h"
#include "platform/paths.h"
#include "platform/processsignals.h"
#include "widgethost.h"

#include <QApplication>
#include <QDBusConnection>
#include <QDir>
#include <QFileInfo>
#include <QPluginLoader>
#include <QStandardPaths>

#include <cstdio>
#include <memory>

using namespace Vantrell;

namespace {

int runDesktop(WidgetExtension &extension)
{
    const QDateTime startedAt = QDateTime::currentDateTimeUtc();
    QDBusConnection bus = QDBusConnection::sessionBus();
    const QByteArray markLine = QByteArrayLiteral("X-Vantrell-WidgetHost-Managed=true");
    QtTimerFactory timers;
    AutostartEntry autostart {
        Paths::autostartDirectory() + QStringLiteral("/" VANTRELL_APP_ID ".WidgetHost.desktop"), markLine, {}};
    const QByteArray autostartContent = autostartDesktopEntry(QStringLiteral("Vantrell Widgets"),
        QStringLiteral("Cryptocurrency price widgets on the desktop"), QCoreApplication::applicationFilePath(),
        markLine);
    WidgetHost host(
        extension, WidgetConfigFile(WidgetConfigFile::defaultPath()), autostart, autostartContent, timers, bus);
    if (!host.registerService()) {
        // Another host runs: it takes over, and this start is done.
        return WidgetHost::handOver(bus) ? 0 : 1;
    }
    // The only host now: clear what a kill while saving the widget list left.
    const QFileInfo list(WidgetConfigFile::defaultPath());
    removeInterruptedReplacements(
        list.absolutePath(), [name = list.fileName()](QStringView file) { return file == name; }, startedAt);
    QApplication::setQuitOnLastWindowClosed(false);
    // A logout's SIGTERM ends the host the normal way.
    ProcessSignals processSignals;
    processSignals.install();
    host.start();
    return QApplication::exec();
}

} // namespace

int main(int argc, char **argv)
{
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
    const auto parsed = parseHostCommandLine(arguments);
    if (const auto *error = std::get_if<CommandLineError>(&parsed)) {
        std::fprintf(stderr, "vantrell-widget-host: %s\n", qUtf8Printable(error->message));
        return 2;
    }
    const HostCommand command = std::get<HostCommand>(parsed);
    if (command.mode == HostCommand::Mode::help || command.mode == HostCommand::Mode::version) {
        const QString text = command.mode == HostCommand::Mode::help
            ? hostCommandLineHelp()
            : QStringLiteral("vantrell-widget-host " VANTRELL_VERSION "\n");
        std::fputs(text.toLocal8Bit().constData(), stdout);
        return 0;
    }
    // Scripts and status bars need no display: draw off screen unless told otherwise.
    if (command.mode != HostCommand::Mode::desktop && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // The windows need X11 coordinates and properties; under Wayland that is XWayland.
    if (command.mode == HostCommand::Mode::desktop && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")
        && !qEnvironmentVariableIsEmpty("DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "xcb");

    // The command-line modes draw without widgets: the lighter application object starts faster.
    std::unique_ptr<QGuiApplication> app;
    if (command.mode == HostCommand::Mode::desktop)
        app = std::make_unique<QApplication>(argc, argv);
    else
        app = std::make_unique<QGuiApplication>(argc, argv);
    QApplication::setApplicationName(QStringLiteral("vantrell-widget-host"));
    QApplication::setDesktopFileName(QStringLiteral(VANTRELL_APP_ID ".WidgetHost"));

    const QString pluginPath = widgetPluginPath(command.pluginPath);
    QPluginLoader loader(pluginPath);
    auto *extension = qobject_cast<WidgetExtension *>(loader.instance());
    // The panel's presence matters more than its own prices: without the plug-in it holds the name alone.
    if (command.mode == HostCommand::Mode::panelPresence)
        return runPanelPresence(extension, command);
    if (!extension) {
        std::fprintf(stderr, "vantrell-widget-host: cannot load the widget plug-in %s: %s\n",
            qUtf8Printable(pluginPath),
            loader.errorString().isEmpty() ? "it is no widget plug-in" : qUtf8Printable(loader.errorString()));
        return 1;
    }

    switch (command.mode) {
    case HostCommand::Mode::list:
        return runList(*extension, stdout);
    case HostCommand::Mode::render:
        return runRender(*extension, command);
    case HostCommand::Mode::print:
        return runPrint(*extension, command, stdout);
    case HostCommand::Mode::snapshotPath: {
        const QString path = extension->watchedFiles().value(0);
        if (path.isEmpty())
            return 1;
        // A front end can only watch a directory that exists, also before the
        // program's first run: the snapshot's, and that of the panel's views.
        QDir().mkpath(QFileInfo(path).absolutePath() + QStringLiteral("/panel"));
        std::fprintf(stdout, "%s\n", qUtf8Printable(path));
        return 0;
    }
    case HostCommand::Mode::desktop:
    case HostCommand::Mode::help:
    case HostCommand::Mode::version:
    case HostCommand::Mode::panelPresence:
        break;
    }
    return runDesktop(*extension);
}
