// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "panelview.h"
#include "widgetkit/widgetextension.h"

#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>
#include <variant>

namespace Vantrell {

// The output formats of --print.
enum class StatusFormat { waybar, genmon, polybar, i3blocks, plain };

template<>
struct EnumTraits<StatusFormat>
{
    static constexpr std::array<EnumCase<StatusFormat>, 5> cases {{
        {StatusFormat::waybar, "waybar", nullptr},
        {StatusFormat::genmon, "genmon", nullptr},
        {StatusFormat::polybar, "polybar", nullptr},
        {StatusFormat::i3blocks, "i3blocks", nullptr},
        {StatusFormat::plain, "plain", nullptr},
    }};
};

// What one start of vantrell-widget-host is asked to do.
struct HostCommand
{
    // panelPresence: holds the panel front ends' bus name for a front end
    // that cannot own one itself (the Plasma applet's QML), until stdin closes.
    // snapshotPath: prints where the snapshot file is, for front ends that
    // watch it and cannot find it on their own.
    enum class Mode { desktop, render, list, print, panelPresence, snapshotPath, help, version };
    Mode mode = Mode::desktop;
    QString pluginPath; // --plugin; empty: the installed or adjacent plug-in
    // --render
    QString kind;
    QString family;
    bool preview = false;
    qreal scale = 1;
    std::optional<bool> dark; // --appearance light|dark; none: the desktop's (--render) or the theme's (--print)
    QString output;
    // --render and --print: NAME=VALUE in the order given
    QList<QPair<QString, QString>> settings;
    // --print
    StatusFormat format = StatusFormat::plain;
    bool follow = false;
    // --panel-presence: the view file to keep (--view), of which coin (--coin;
    // empty: the one the program shows)
    std::optional<PanelViewFormat> view;
    QString coinId;

    bool operator==(const HostCommand &) const = default;
};

// A command line the host refuses: one line for stderr, exit status 2.
struct CommandLineError
{
    QString message;
};

// Reads the arguments (without the program name); --help or --version
// anywhere asks for just that. Pure.
std::variant<HostCommand, CommandLineError> parseHostCommandLine(const QStringList &arguments);

// What --help prints: the usage, every option and the output formats. The
// manual page is made from it.
QString hostCommandLineHelp();

// Looks entity ids up: the known ones of `ids`, in order.
using EntityLookup = std::function<QList<WidgetEntity>(const QString &option, const QStringList &ids)>;

// The option values of `settings` for a widget of `kind` in `family`:
// enumerations by raw value, booleans as "true" or "false", an entity by its
// id, a list as comma-separated ids (at most the family's limit). Options not
// set keep their defaults. An unknown option or value is an error.
std::variant<WidgetOptionValues, CommandLineError> optionValuesFromSettings(const WidgetKind &kind, WidgetFamily family,
    const QList<QPair<QString, QString>> &settings, const EntityLookup &lookup);

// The --list document: the kinds with their families and options.
QByteArray describeKinds(const QList<WidgetKind> &kinds);

} // namespace Vantrell
