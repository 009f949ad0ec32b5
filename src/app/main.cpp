// SPDX-License-Identifier: GPL-3.0-or-later
#include "market/networkhttpclient.h"
#include "platform/bundle.h"
#include "platform/logging.h"
#include "platform/processsignals.h"
#include "shell/appdelegate.h"
#include "shell/commandline.h"

#include <QApplication>
#include <QIcon>

#include <cstdio>
#include <malloc.h>

namespace {
// glibc raises its threshold for serving large blocks from their own mappings
// each time one is freed, after which such blocks come from the heap and keep
// it at its high-water mark: a program that runs all day would hold on to the
// memory of its largest answer (an oversized or compressed body) for good. A
// fixed threshold returns such blocks to the system when they are freed.
void returnLargeBlocksToTheSystem()
{
    mallopt(M_MMAP_THRESHOLD, 256 * 1024);
}

// Popover placement and the desktop overlay need global coordinates, which
// plain Wayland does not give; XWayland does.
void preferXWayland()
{
    if (qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        return;
    if (qgetenv("XDG_SESSION_TYPE") == "wayland" && !qEnvironmentVariableIsEmpty("DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "xcb");
}
} // namespace

int main(int argc, char *argv[])
{
    // Answered before a display is opened, so that they work anywhere.
    const Vantrell::CommandLineRequest early = Vantrell::parseCommandLine(Vantrell::commandLineArguments(argc, argv));
    if (early.action != Vantrell::CommandLineRequest::Action::run) {
        const QString text = early.action == Vantrell::CommandLineRequest::Action::showHelp
            ? Vantrell::commandLineHelp(QStringLiteral("vantrell"))
            : Vantrell::commandLineVersion(QStringLiteral("vantrell"), QStringLiteral(VANTRELL_VERSION));
        std::fputs(text.toLocal8Bit().constData(), stdout);
        return 0;
    }

    returnLargeBlocksToTheSystem();
    preferXWayland();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("vantrell"));
    QApplication::setApplicationDisplayName(QStringLiteral("Vantrell"));
    QApplication::setApplicationVersion(QStringLiteral(VANTRELL_VERSION));
    QApplication::setDesktopFileName(QStringLiteral(VANTRELL_APP_ID));
    // The theme's icon where one is installed; run from a build tree, or under a
    // theme without it, the bundled logo rather than a generic window icon.
    const Vantrell::Bundle resources = Vantrell::Bundle::embedded();
    if (const std::optional<QString> logo = resources.imagePath(QStringLiteral("app-logo")))
        QApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral(VANTRELL_APP_ID), QIcon(*logo)));
    // A tray program: closing its last window must not end it.
    QApplication::setQuitOnLastWindowClosed(false);

    // Qt has taken its own options (-platform, -display …) out of argv by now.
    const Vantrell::CommandLineRequest request = Vantrell::parseCommandLine(Vantrell::commandLineArguments(argc, argv));
    if (request.ignoredCount > 0)
        qCWarning(
            lcApp, "%s", qUtf8Printable(Vantrell::ignoredArgumentsMessage(request.ignoredCount, request.ignored)));

    Vantrell::QtTimerFactory timers;
    Vantrell::AppDelegate delegate({.resources = resources,
        .timers = timers,
        .now = Vantrell::systemClock(),
        .hostMap = Vantrell::NetworkHTTPClient::hostMapFromEnvironment()});
    if (!delegate.launch(request.urls))
        return 0; // the running instance took over
    // A logout's SIGTERM quits as the menu's Quit does; SIGUSR1 logs what the process holds.
    Vantrell::ProcessSignals processSignals;
    QObject::connect(&processSignals, &Vantrell::ProcessSignals::reportRequested,
        [] { qCInfo(lcApp, "%s", qUtf8Printable(Vantrell::describeResourceUsage(Vantrell::currentResourceUsage()))); });
    processSignals.install();
    return QApplication::exec();
}
