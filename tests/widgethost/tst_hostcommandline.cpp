// SPDX-License-Identifier: GPL-3.0-or-later
// The host's command line: what it accepts, the one-line refusals, and how
// --set turns into option values of an intent.
#include "hostcommandline.h"
#include "widgetintents.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTest>

using namespace Vantrell;

namespace {
QStringList split(const char *text)
{
    return QString::fromUtf8(text).split(u' ', Qt::SkipEmptyParts);
}

// The catalog of the test: three coins.
QList<WidgetEntity> lookup(const QString &, const QStringList &ids)
{
    QList<WidgetEntity> found;
    for (const QString &id : ids) {
        if (split("bitcoin solana ethereum").contains(id))
            found.append({id, id.toUpper(), id});
    }
    return found;
}
} // namespace

class TestHostCommandLine final : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void parse_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("error"); // empty: accepted
        QTest::addColumn<int>("mode");

        using M = HostCommand::Mode;
        QTest::newRow("no arguments: the desktop") << QStringList() << "" << int(M::desktop);
        QTest::newRow("render") << split("--render WatchlistWidget --family large --output a.png --set source=manual "
                                         "--set coins=bitcoin,solana --scale 2 --preview")
                                << "" << int(M::render);
        QTest::newRow("render with = forms")
            << split("--render=CoinPriceWidget --family=small --output=a.png --appearance=dark") << ""
            << int(M::render);
        QTest::newRow("list") << split("--list") << "" << int(M::list);
        QTest::newRow("panel presence") << split("--panel-presence") << "" << int(M::panelPresence);
        QTest::newRow("snapshot path") << split("--snapshot-path") << "" << int(M::snapshotPath);
        QTest::newRow("panel presence with a view")
            << split("--panel-presence --view ini --coin bitcoin") << "" << int(M::panelPresence);
        QTest::newRow("unknown view") << split("--panel-presence --view xml") << "--view needs json or ini" << 0;
        QTest::newRow("a coin that names no file")
            << split("--panel-presence --view ini --coin ../x") << "--coin needs a coin id such as bitcoin" << 0;
        QTest::newRow("coin without view") << split("--panel-presence --coin bitcoin") << "--coin needs --view" << 0;
        QTest::newRow("view without presence")
            << split("--print plain --view json") << "--view and --coin belong to --panel-presence" << 0;
        QTest::newRow("panel presence takes no settings") << split("--panel-presence --set coin=bitcoin")
                                                          << "--set belongs to --render or --print" << int(M::desktop);
        QTest::newRow("print and follow") << split("--print waybar --set coin=bitcoin --follow") << "" << int(M::print);
        QTest::newRow("help wins over the rest") << split("--render WatchlistWidget -h") << "" << int(M::help);
        QTest::newRow("version") << split("--list --version") << "" << int(M::version);
        QTest::newRow("plug-in elsewhere") << split("--plugin /tmp/x.so --list") << "" << int(M::list);
        QTest::newRow("render without output")
            << split("--render WatchlistWidget --family large") << "--render needs --output FILE.png" << 0;
        QTest::newRow("render without family") << split("--render WatchlistWidget --output a.png")
                                               << "--render needs --family small, medium or large" << 0;
        QTest::newRow("unknown format") << split("--print lemonbar")
                                        << "unknown format \"lemonbar\": use waybar, genmon, polybar, i3blocks or plain"
                                        << 0;
        QTest::newRow("set without =") << split("--print plain --set coin") << "--set needs NAME=VALUE" << 0;
        QTest::newRow("set without name") << split("--print plain --set =bitcoin") << "--set needs NAME=VALUE" << 0;
        QTest::newRow("follow without print") << split("--list --follow") << "--follow belongs to --print" << 0;
        QTest::newRow("follow with genmon") << split("--print genmon --follow")
                                            << "--follow does not go with genmon: the Generic Monitor runs the command "
                                               "once per period"
                                            << 0;
        QTest::newRow("two modes")
            << split("--list --print plain")
            << "--render, --list, --print, --panel-presence and --snapshot-path cannot be combined" << 0;
        QTest::newRow("unknown argument") << split("--render WatchlistWidget --family large --output a.png --colour")
                                          << "Unknown option 'colour'." << 0;
        QTest::newRow("scale out of range") << split("--render X --family small --output a.png --scale 100")
                                            << "--scale needs a number from 0.25 to 8" << 0;
        QTest::newRow("scale not a number") << split("--render X --family small --output a.png --scale nan")
                                            << "--scale needs a number from 0.25 to 8" << 0;
        QTest::newRow("flag with a value") << split("--list=yes") << "Unexpected value after '--list'." << 0;
        QTest::newRow("render options without render")
            << split("--print plain --family small") << "--family, --output, --preview and --scale belong to --render"
            << 0;
        QTest::newRow("print for a dark panel") << split("--print genmon --appearance dark") << "" << int(M::print);
        QTest::newRow("appearance without render or print")
            << split("--list --appearance dark") << "--appearance belongs to --render or --print" << 0;
        QTest::newRow("missing value at the end") << split("--render") << "Missing value after '--render'." << 0;
        QTest::newRow("a word that is no option") << split("--list now") << "unknown argument \"now\"" << 0;
    }
    void parse()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, error);
        QFETCH(int, mode);
        const auto result = parseHostCommandLine(arguments);
        if (error.isEmpty()) {
            if (const auto *refused = std::get_if<CommandLineError>(&result))
                QFAIL(qPrintable(refused->message));
            QCOMPARE(int(std::get<HostCommand>(result).mode), mode);
        } else {
            QVERIFY(std::holds_alternative<CommandLineError>(result));
            QCOMPARE(std::get<CommandLineError>(result).message, error);
        }
    }

    void renderFields()
    {
        const auto result = parseHostCommandLine(split(
            "--render WatchlistWidget --family large --output a.png --set source=manual --set coins=a,b=c --scale 2"));
        const HostCommand command = std::get<HostCommand>(result);
        QCOMPARE(command.kind, QStringLiteral("WatchlistWidget"));
        QCOMPARE(command.family, QStringLiteral("large"));
        QCOMPARE(command.output, QStringLiteral("a.png"));
        QCOMPARE(command.scale, 2.0);
        // Only the first '=' separates: the value keeps the rest.
        QCOMPARE(command.settings,
            (QList<QPair<QString, QString>> {{QStringLiteral("source"), QStringLiteral("manual")},
                {QStringLiteral("coins"), QStringLiteral("a,b=c")}}));
    }

    void settings_data()
    {
        QTest::addColumn<int>("kindIndex");
        QTest::addColumn<WidgetFamily>("family");
        QTest::addColumn<QStringList>("settings");
        QTest::addColumn<QString>("error");
        QTest::addColumn<WidgetOptionValues>("changed"); // beyond the defaults

        QTest::newRow("issue example") << 0 << WidgetFamily::medium
                                       << split("source=manual coins=bitcoin,solana currency=EUR") << ""
                                       << WidgetOptionValues {{QStringLiteral("source"), QStringLiteral("manual")},
                                              {QStringLiteral("coins"), split("bitcoin solana")},
                                              {QStringLiteral("currency"), QStringLiteral("EUR")}};
        QTest::newRow("booleans") << 1 << WidgetFamily::small << split("colorByChange=false") << ""
                                  << WidgetOptionValues {{QStringLiteral("colorByChange"), false}};
        QTest::newRow("later setting wins") << 1 << WidgetFamily::small << split("coin=bitcoin coin=solana") << ""
                                            << WidgetOptionValues {{QStringLiteral("coin"), QStringLiteral("solana")}};
        QTest::newRow("unknown option") << 1 << WidgetFamily::small << split("coins=bitcoin")
                                        << "CoinPriceWidget has no option \"coins\"" << WidgetOptionValues();
        QTest::newRow("value of another case")
            << 0 << WidgetFamily::large << split("currency=eur")
            << "\"eur\" is no value of currency (followApp, USD, CNY, KRW, HKD, JPY, TWD, SGD, MYR, AUD, CAD, EUR, GBP)"
            << WidgetOptionValues();
        QTest::newRow("boolean spelled otherwise")
            << 0 << WidgetFamily::large << split("colorByChange=yes") << "colorByChange is true or false, not \"yes\""
            << WidgetOptionValues();
        QTest::newRow("unknown coin") << 1 << WidgetFamily::small << split("coin=dogecoin")
                                      << "\"dogecoin\" is no value of coin" << WidgetOptionValues();
        QTest::newRow("unknown coin in a list") << 0 << WidgetFamily::medium << split("coins=bitcoin,nope")
                                                << "\"nope\" is no value of coins" << WidgetOptionValues();
        QTest::newRow("more coins than the family shows")
            << 0 << WidgetFamily::medium << split("coins=bitcoin,solana,ethereum,bitcoin,solana")
            << "coins holds at most 4 entries in the medium family" << WidgetOptionValues();
    }
    void settings()
    {
        QFETCH(int, kindIndex);
        QFETCH(WidgetFamily, family);
        QFETCH(QStringList, settings);
        QFETCH(QString, error);
        QFETCH(WidgetOptionValues, changed);
        const WidgetKind kind = vantrellWidgetKinds().at(kindIndex);
        QList<QPair<QString, QString>> pairs;
        for (const QString &setting : settings)
            pairs.append({setting.section(u'=', 0, 0), setting.section(u'=', 1)});
        const auto result = optionValuesFromSettings(kind, family, pairs, lookup);
        if (!error.isEmpty()) {
            QVERIFY(std::holds_alternative<CommandLineError>(result));
            QCOMPARE(std::get<CommandLineError>(result).message, error);
            return;
        }
        QVERIFY(std::holds_alternative<WidgetOptionValues>(result));
        WidgetOptionValues expected = resolvedOptionValues(kind.intent, family, {});
        for (auto it = changed.cbegin(); it != changed.cend(); ++it)
            expected.insert(it.key(), it.value());
        QCOMPARE(std::get<WidgetOptionValues>(result), expected);
    }

    void listDescribesKinds()
    {
        const QJsonArray kinds = QJsonDocument::fromJson(describeKinds(vantrellWidgetKinds())).array();
        QCOMPARE(kinds.size(), 2);
        const QJsonObject list = kinds.at(0).toObject();
        QCOMPARE(list.value(QStringLiteral("families")).toArray(),
            QJsonArray({QStringLiteral("medium"), QStringLiteral("large")}));
        const QJsonObject coins = list.value(QStringLiteral("options")).toArray().at(1).toObject();
        QCOMPARE(coins.value(QStringLiteral("type")).toString(), QStringLiteral("entityList"));
        QCOMPARE(coins.value(QStringLiteral("maximumCount")).toObject(),
            QJsonObject({{QStringLiteral("medium"), 4}, {QStringLiteral("large"), 8}}));
        const QJsonObject coin = kinds.at(1).toObject().value(QStringLiteral("options")).toArray().at(0).toObject();
        QVERIFY(coin.value(QStringLiteral("default")).isNull());
    }
};

QTEST_GUILESS_MAIN(TestHostCommandLine)
#include "tst_hostcommandline.moc"
