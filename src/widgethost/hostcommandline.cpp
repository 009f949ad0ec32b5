// SPDX-License-Identifier: GPL-3.0-or-later
#include "hostcommandline.h"

#include "platform/orderedjsonwriter.h"

#include <QCommandLineParser>

#include <cmath>

namespace Vantrell {

namespace {
CommandLineError error(const QString &message)
{
    return {message};
}
} // namespace

std::variant<HostCommand, CommandLineError> parseHostCommandLine(const QStringList &arguments)
{
    HostCommand command;
    // Help and version anywhere ask for just that, whatever else is wrong.
    for (const QString &argument : arguments) {
        if (argument == QLatin1String("--help") || argument == QLatin1String("-h")) {
            command.mode = HostCommand::Mode::help;
            return command;
        }
        if (argument == QLatin1String("--version")) {
            command.mode = HostCommand::Mode::version;
            return command;
        }
    }
    const QCommandLineOption renderOption(QStringLiteral("render"), {}, QStringLiteral("KIND"));
    const QCommandLineOption familyOption(QStringLiteral("family"), {}, QStringLiteral("FAMILY"));
    const QCommandLineOption outputOption(QStringLiteral("output"), {}, QStringLiteral("FILE"));
    const QCommandLineOption previewOption(QStringLiteral("preview"));
    const QCommandLineOption scaleOption(QStringLiteral("scale"), {}, QStringLiteral("FACTOR"));
    const QCommandLineOption appearanceOption(QStringLiteral("appearance"), {}, QStringLiteral("MODE"));
    const QCommandLineOption setOption(QStringLiteral("set"), {}, QStringLiteral("NAME=VALUE"));
    const QCommandLineOption listOption(QStringLiteral("list"));
    const QCommandLineOption printOption(QStringLiteral("print"), {}, QStringLiteral("FORMAT"));
    const QCommandLineOption followOption(QStringLiteral("follow"));
    const QCommandLineOption pluginOption(QStringLiteral("plugin"), {}, QStringLiteral("PATH"));
    const QCommandLineOption presenceOption(QStringLiteral("panel-presence"));
    const QCommandLineOption snapshotPathOption(QStringLiteral("snapshot-path"));
    const QCommandLineOption viewOption(QStringLiteral("view"), {}, QStringLiteral("FORMAT"));
    const QCommandLineOption coinOption(QStringLiteral("coin"), {}, QStringLiteral("ID"));
    QCommandLineParser parser;
    parser.addOptions(
        {renderOption, familyOption, outputOption, previewOption, scaleOption, appearanceOption, setOption, listOption,
            printOption, followOption, pluginOption, presenceOption, snapshotPathOption, viewOption, coinOption});
    if (!parser.parse(QStringList {QStringLiteral("vantrell-widget-host")} + arguments))
        return error(parser.errorText());
    if (!parser.positionalArguments().isEmpty())
        return error(QStringLiteral("unknown argument \"%1\"").arg(parser.positionalArguments().constFirst()));

    const bool render = parser.isSet(renderOption);
    const bool list = parser.isSet(listOption);
    const bool print = parser.isSet(printOption);
    const bool presence = parser.isSet(presenceOption);
    const bool snapshotPath = parser.isSet(snapshotPathOption);
    // A value given twice: the last one counts, as with every option here.
    const auto last = [&parser](const QCommandLineOption &option) -> std::optional<QString> {
        const QStringList values = parser.values(option);
        return values.isEmpty() ? std::nullopt : std::optional<QString>(values.constLast());
    };
    const std::optional<QString> family = last(familyOption);
    const std::optional<QString> output = last(outputOption);
    if (render)
        command.kind = *last(renderOption);
    if (print) {
        const QString format = *last(printOption);
        const auto parsed = fromRawValue<StatusFormat>(format);
        if (!parsed)
            return error(
                QStringLiteral("unknown format \"%1\": use waybar, genmon, polybar, i3blocks or plain").arg(format));
        command.format = *parsed;
    }
    if (output && output->isEmpty())
        return error(QStringLiteral("--output needs a file name"));
    for (const QString &setting : parser.values(setOption)) {
        if (!setting.contains(QLatin1Char('=')) || setting.startsWith(QLatin1Char('=')))
            return error(QStringLiteral("--set needs NAME=VALUE"));
        command.settings.append({setting.section(QLatin1Char('='), 0, 0), setting.section(QLatin1Char('='), 1)});
    }
    command.preview = parser.isSet(previewOption);
    command.follow = parser.isSet(followOption);
    if (const std::optional<QString> text = last(scaleOption)) {
        bool ok = false;
        const double scale = text->toDouble(&ok);
        if (!ok || !std::isfinite(scale) || scale < 0.25 || scale > 8)
            return error(QStringLiteral("--scale needs a number from 0.25 to 8"));
        command.scale = scale;
    }
    if (const std::optional<QString> appearance = last(appearanceOption)) {
        if (appearance != QStringLiteral("light") && appearance != QStringLiteral("dark"))
            return error(QStringLiteral("--appearance needs light or dark"));
        command.dark = appearance == QStringLiteral("dark");
    }
    if (const std::optional<QString> view = last(viewOption)) {
        if (view != QStringLiteral("json") && view != QStringLiteral("ini"))
            return error(QStringLiteral("--view needs json or ini"));
        command.view = view == QStringLiteral("json") ? PanelViewFormat::json : PanelViewFormat::ini;
    }
    if (const std::optional<QString> coin = last(coinOption)) {
        if (!isPanelCoinId(*coin))
            return error(QStringLiteral("--coin needs a coin id such as bitcoin"));
        command.coinId = *coin;
    }
    if (const std::optional<QString> path = last(pluginOption)) {
        if (path->isEmpty())
            return error(QStringLiteral("--plugin needs the path of a plug-in"));
        command.pluginPath = *path;
    }

    if (int(render) + int(list) + int(print) + int(presence) + int(snapshotPath) > 1)
        return error(
            QStringLiteral("--render, --list, --print, --panel-presence and --snapshot-path cannot be combined"));
    if (render) {
        if (!family)
            return error(QStringLiteral("--render needs --family small, medium or large"));
        if (!output)
            return error(QStringLiteral("--render needs --output FILE.png"));
        command.mode = HostCommand::Mode::render;
        command.family = *family;
        command.output = *output;
    } else if (print) {
        command.mode = HostCommand::Mode::print;
    } else if (list) {
        command.mode = HostCommand::Mode::list;
    } else if (presence) {
        command.mode = HostCommand::Mode::panelPresence;
    } else if (snapshotPath) {
        command.mode = HostCommand::Mode::snapshotPath;
    }
    const bool renderOnly = family || output || command.preview || command.scale != 1;
    if (command.mode != HostCommand::Mode::render && renderOnly)
        return error(QStringLiteral("--family, --output, --preview and --scale belong to --render"));
    if (command.dark && command.mode != HostCommand::Mode::render && command.mode != HostCommand::Mode::print)
        return error(QStringLiteral("--appearance belongs to --render or --print"));
    if ((command.view || !command.coinId.isEmpty()) && command.mode != HostCommand::Mode::panelPresence)
        return error(QStringLiteral("--view and --coin belong to --panel-presence"));
    if (!command.coinId.isEmpty() && !command.view)
        return error(QStringLiteral("--coin needs --view"));
    if (command.follow && command.mode != HostCommand::Mode::print)
        return error(QStringLiteral("--follow belongs to --print"));
    // The Generic Monitor shows what a command printed once it has ended.
    if (command.follow && command.format == StatusFormat::genmon)
        return error(QStringLiteral("--follow does not go with genmon: the Generic Monitor runs the command once per "
                                    "period"));
    if (!command.settings.isEmpty() && command.mode != HostCommand::Mode::render
        && command.mode != HostCommand::Mode::print)
        return error(QStringLiteral("--set belongs to --render or --print"));
    return command;
}

QString hostCommandLineHelp()
{
    return QStringLiteral(
        "Usage: vantrell-widget-host [options]\n"
        "Shows Vantrell's price widgets on the desktop; without options it opens the desktop widgets and,\n"
        "when none is placed yet, the gallery to pick one from.\n"
        "\n"
        "Options:\n"
        "  --render KIND          Draw one widget of KIND (WatchlistWidget or CoinPriceWidget) to a PNG file.\n"
        "  --family FAMILY        The widget's size for --render: small, medium or large.\n"
        "  --output FILE          The PNG file --render writes.\n"
        "  --preview              Draw the gallery's preview content instead of prices.\n"
        "  --scale FACTOR         Device pixel ratio for --render, from 0.25 to 8.\n"
        "  --appearance MODE      light or dark for --render; the desktop's by default.\n"
        "  --set NAME=VALUE       An option of the widget for --render or --print (see --list), repeatable.\n"
        "  --list                 Print the widget kinds, families and options as JSON.\n"
        "  --print FORMAT         Print the coin widget as one line for a status bar: waybar, genmon,\n"
        "                         polybar, i3blocks or plain.\n"
        "  --follow               With --print, keep running and print a new line when prices change.\n"
        "  --plugin PATH          Load the widget plug-in from PATH.\n"
        "  -h, --help             Show this help and exit.\n"
        "  --version              Show the version and exit.\n"
        "\n"
        "Prices come from the running Vantrell's snapshot, or from the exchanges when it does not run.\n");
}

std::variant<WidgetOptionValues, CommandLineError> optionValuesFromSettings(const WidgetKind &kind, WidgetFamily family,
    const QList<QPair<QString, QString>> &settings, const EntityLookup &lookup)
{
    WidgetOptionValues values;
    for (const auto &setting : settings) {
        // Named references, not a structured binding: lambdas below capture them (clang 14 refuses bindings).
        const QString &name = setting.first;
        const QString &raw = setting.second;
        const WidgetOption *option = kind.intent.option(name);
        if (!option)
            return error(QStringLiteral("%1 has no option \"%2\"").arg(kind.kind, name));
        const auto invalid = [&]() { return error(QStringLiteral("\"%1\" is no value of %2").arg(raw, name)); };
        switch (option->type) {
        case WidgetOption::Type::enumeration: {
            const bool known = std::any_of(option->choices.cbegin(), option->choices.cend(),
                [&raw](const WidgetOption::Choice &choice) { return choice.raw == raw; });
            if (!known) {
                QStringList choices;
                for (const WidgetOption::Choice &choice : option->choices)
                    choices.append(choice.raw);
                return error(QStringLiteral("\"%1\" is no value of %2 (%3)").arg(raw, name, choices.join(u", ")));
            }
            values.insert(name, raw);
            break;
        }
        case WidgetOption::Type::boolean:
            if (raw != QLatin1String("true") && raw != QLatin1String("false"))
                return error(QStringLiteral("%1 is true or false, not \"%2\"").arg(name, raw));
            values.insert(name, raw == QLatin1String("true"));
            break;
        case WidgetOption::Type::entity: {
            const QList<WidgetEntity> found = lookup(name, {raw});
            if (found.size() != 1 || found.constFirst().id != raw)
                return invalid();
            values.insert(name, raw);
            break;
        }
        case WidgetOption::Type::entityList: {
            const QStringList ids = raw.isEmpty() ? QStringList() : raw.split(QLatin1Char(','));
            const int limit = option->maximumCount.value(family, -1);
            if (limit >= 0 && ids.size() > limit)
                return error(QStringLiteral("%1 holds at most %2 entries in the %3 family")
                                 .arg(name)
                                 .arg(limit)
                                 .arg(rawValue(family)));
            const QList<WidgetEntity> found = lookup(name, ids);
            for (const QString &id : ids) {
                const bool known = std::any_of(
                    found.cbegin(), found.cend(), [&id](const WidgetEntity &entity) { return entity.id == id; });
                if (!known)
                    return error(QStringLiteral("\"%1\" is no value of %2").arg(id, name));
            }
            values.insert(name, ids);
            break;
        }
        }
    }
    return resolvedOptionValues(kind.intent, family, values);
}

namespace {
QString typeName(WidgetOption::Type type)
{
    switch (type) {
    case WidgetOption::Type::enumeration:
        return QStringLiteral("enumeration");
    case WidgetOption::Type::boolean:
        return QStringLiteral("bool");
    case WidgetOption::Type::entity:
        return QStringLiteral("entity");
    case WidgetOption::Type::entityList:
        return QStringLiteral("entityList");
    }
    return {};
}
} // namespace

QByteArray describeKinds(const QList<WidgetKind> &kinds)
{
    OrderedJsonWriter writer;
    writer.beginArray();
    for (const WidgetKind &kind : kinds) {
        writer.beginObject();
        writer.key(QStringLiteral("kind"));
        writer.value(kind.kind);
        writer.key(QStringLiteral("families"));
        writer.beginArray();
        for (const WidgetFamily family : kind.families)
            writer.value(rawValue(family));
        writer.endArray();
        writer.key(QStringLiteral("options"));
        writer.beginArray();
        for (const WidgetOption &option : kind.intent.options) {
            writer.beginObject();
            writer.key(QStringLiteral("name"));
            writer.value(option.name);
            writer.key(QStringLiteral("type"));
            writer.value(typeName(option.type));
            if (!option.choices.isEmpty()) {
                writer.key(QStringLiteral("values"));
                writer.beginArray();
                for (const WidgetOption::Choice &choice : option.choices)
                    writer.value(choice.raw);
                writer.endArray();
            }
            writer.key(QStringLiteral("default"));
            if (option.defaultValue.typeId() == QMetaType::Bool) {
                writer.value(option.defaultValue.toBool());
            } else if (option.defaultValue.typeId() == QMetaType::QString) {
                writer.value(option.defaultValue.toString());
            } else if (option.type == WidgetOption::Type::entityList) {
                writer.beginArray();
                writer.endArray();
            } else {
                writer.null();
            }
            if (!option.maximumCount.isEmpty()) {
                writer.key(QStringLiteral("maximumCount"));
                writer.beginObject();
                for (const WidgetFamily family : kind.families) {
                    if (option.maximumCount.contains(family)) {
                        writer.key(rawValue(family));
                        writer.value(qint64(option.maximumCount.value(family)));
                    }
                }
                writer.endObject();
            }
            writer.endObject();
        }
        writer.endArray();
        writer.endObject();
    }
    writer.endArray();
    return writer.result();
}

} // namespace Vantrell
