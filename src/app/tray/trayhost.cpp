// SPDX-License-Identifier: GPL-3.0-or-later
#include "trayhost.h"

#include <QFile>
#include <QtMath>

#include <utility>

namespace Vantrell {

namespace {

// /proc/<pid>/comm keeps at most this many characters of a name.
constexpr qsizetype kProcessNameLength = 15;

struct KnownHost
{
    QLatin1String program;
    TrayHostProfile profile;
};

const KnownHost kKnownHosts[] = {
    // GNOME's AppIndicator extension shows the Ayatana label and loads icons
    // from a path more reliably than from pixmaps; the top bar is dark in
    // light mode too.
    {QLatin1String("gnome-shell"), {.form = TrayForm::label, .loadsIconFromPath = true, .darkPanel = true}},
    // Plasma (the watcher lives in kded) and XFCE (in the panel, or in the
    // wrapper process of an external plug-in, which XFCE 4.18 renames
    // "panel-<n>-<plugin>") squeeze icons into squares and show no labels, as
    // unknown panels are assumed to.
    {QLatin1String("plasmashell"), {.form = TrayForm::icon}},
    {QLatin1String("kded5"), {.form = TrayForm::icon}},
    {QLatin1String("kded6"), {.form = TrayForm::icon}},
    {QLatin1String("xfce4-panel"), {.form = TrayForm::icon}},
    {QLatin1String("wrapper-2.0"), {.form = TrayForm::icon}},
    {QLatin1String("wrapper-1.0"), {.form = TrayForm::icon}},
    {QLatin1String("waybar"), {.form = TrayForm::image}},
    // The Ayatana indicator services (MATE, Budgie and the XFCE indicator
    // plug-in) hand the label on to their panel.
    {QLatin1String("ayatana-indicator-application-service"), {.form = TrayForm::label}},
    {QLatin1String("indicator-application-service"), {.form = TrayForm::label}},
};

std::optional<TrayHostProfile> knownHost(const QString &program, bool mayBeCut)
{
    if (program.isEmpty())
        return std::nullopt;
    for (const KnownHost &host : kKnownHosts) {
        if (program == host.program || (mayBeCut && host.program.startsWith(program)))
            return host.profile;
    }
    return std::nullopt;
}

QString fileName(QStringView path)
{
    return path.mid(path.lastIndexOf(QLatin1Char('/')) + 1).toString();
}

QByteArray readProcFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    // A command line longer than this names its program well before the end.
    return file.read(64 * 1024);
}

} // namespace

TrayHostProfile trayHostProfileFor(const TrayHostProcess &process)
{
    QString executable = fileName(process.executable);
    // The link of a program replaced by an upgrade while it runs.
    const QLatin1String deleted(" (deleted)");
    if (executable.endsWith(deleted))
        executable.chop(deleted.size());
    const QString name = process.name.trimmed();
    const bool nameMayBeCut = name.size() == kProcessNameLength;
    const QString firstArgument = process.arguments.isEmpty() ? QString() : fileName(process.arguments.constFirst());
    for (const auto &[program, mayBeCut] :
        {std::pair(executable, false), std::pair(firstArgument, false), std::pair(name, nameMayBeCut)}) {
        if (const std::optional<TrayHostProfile> profile = knownHost(program, mayBeCut))
            return *profile;
    }
    return {};
}

TrayHostProcess readTrayHostProcess(qint64 pid, const QString &procRoot)
{
    const QString directory = procRoot + QLatin1Char('/') + QString::number(pid) + QLatin1Char('/');
    TrayHostProcess process;
    process.name = QString::fromUtf8(readProcFile(directory + QStringLiteral("comm"))).trimmed();
    process.executable = QFile::symLinkTarget(directory + QStringLiteral("exe"));
    QByteArray commandLine = readProcFile(directory + QStringLiteral("cmdline"));
    if (commandLine.endsWith('\0'))
        commandLine.chop(1);
    if (!commandLine.isEmpty()) {
        for (const QByteArray &argument : commandLine.split('\0'))
            process.arguments.append(QString::fromLocal8Bit(argument));
    }
    return process;
}

std::optional<TrayForm> parseTrayForm(const QString &text)
{
    const QString value = text.trimmed().toLower();
    if (value == QLatin1String("label"))
        return TrayForm::label;
    if (value == QLatin1String("image"))
        return TrayForm::image;
    if (value == QLatin1String("icon"))
        return TrayForm::icon;
    return std::nullopt;
}

QString trayFormName(TrayForm form)
{
    switch (form) {
    case TrayForm::label:
        return QStringLiteral("label");
    case TrayForm::image:
        return QStringLiteral("image");
    case TrayForm::icon:
        return QStringLiteral("icon");
    }
    return {};
}

std::optional<QPoint> panelPointToLogical(QPoint panelPoint, const QList<ScreenArea> &screens)
{
    if (panelPoint.isNull())
        return std::nullopt;
    for (const ScreenArea &screen : screens) {
        const qreal ratio = screen.devicePixelRatio > 0 ? screen.devicePixelRatio : 1.0;
        // Qt keeps a screen's top-left corner where it is in device pixels and
        // scales only the distance from it.
        const QPoint origin = screen.geometry.topLeft();
        const QRect native(
            origin, QSize(qCeil(screen.geometry.width() * ratio), qCeil(screen.geometry.height() * ratio)));
        if (!native.contains(panelPoint))
            continue;
        const QPoint offset = panelPoint - origin;
        const QPoint logical = origin + QPoint(qFloor(offset.x() / ratio), qFloor(offset.y() / ratio));
        return logical;
    }
    return std::nullopt;
}

} // namespace Vantrell
