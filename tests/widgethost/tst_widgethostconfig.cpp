// SPDX-License-Identifier: GPL-3.0-or-later
// widgets.json: what survives a round trip, what a damaged file costs, and
// that nothing the user made is overwritten silently.
#include "widgethostconfig.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace Vantrell;

namespace {
WidgetInstance watchlist()
{
    return {QStringLiteral("a1"), QStringLiteral("WatchlistWidget"), WidgetFamily::large,
        {{QStringLiteral("source"), QStringLiteral("manual")},
            {QStringLiteral("coins"), QStringList {QStringLiteral("bitcoin"), QStringLiteral("solana")}},
            {QStringLiteral("colorByChange"), false}},
        QPoint(-40, 1200), QStringLiteral("HDMI-1")};
}

bool write(const QString &path, const QByteArray &data)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(data) == data.size();
}
} // namespace

class TestWidgetHostConfig final : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void roundTrip()
    {
        const WidgetHostConfig config {{watchlist(),
            {QStringLiteral("b2"), QStringLiteral("RetiredWidget"), WidgetFamily::small, {}, QPoint(3, 4), {}}}};
        QCOMPARE(WidgetHostConfig::decode(config.encode()), config);
    }

    void decode_data()
    {
        QTest::addColumn<QByteArray>("json");
        QTest::addColumn<int>("widgets"); // -1: unusable file

        const QByteArray good = R"({"id":"x","kind":"K","family":"small","options":{},"x":1,"y":2})";
        QTest::newRow("empty list") << QByteArray(R"({"version":1,"widgets":[]})") << 0;
        QTest::newRow("one widget") << "{\"version\":1,\"widgets\":[" + good + "]}" << 1;
        QTest::newRow("not JSON") << QByteArray("{\"version\":1,") << -1;
        QTest::newRow("an array") << QByteArray("[]") << -1;
        QTest::newRow("another version") << QByteArray(R"({"version":2,"widgets":[]})") << -1;
        QTest::newRow("no list") << QByteArray(R"({"version":1})") << -1;
        QTest::newRow("unknown family dropped")
            << QByteArray(R"({"version":1,"widgets":[{"id":"x","kind":"K","family":"huge","options":{},"x":1,"y":2}]})")
            << 0;
        QTest::newRow("fractional position dropped") << QByteArray(
            R"({"version":1,"widgets":[{"id":"x","kind":"K","family":"small","options":{},"x":1.5,"y":2}]})")
                                                     << 0;
        QTest::newRow("a widget that is no object dropped") << "{\"version\":1,\"widgets\":[7," + good + "]}" << 1;
        QTest::newRow("a repeated id dropped") << "{\"version\":1,\"widgets\":[" + good + "," + good + "]}" << 1;
    }
    void decode()
    {
        QFETCH(QByteArray, json);
        QFETCH(int, widgets);
        const auto config = WidgetHostConfig::decode(json);
        QCOMPARE(config.has_value(), widgets >= 0);
        if (config)
            QCOMPARE(config->widgets.size(), widgets);
    }

    void optionValuesOfOtherTypesAreDropped()
    {
        const auto config = WidgetHostConfig::decode(
            R"({"version":1,"widgets":[{"id":"x","kind":"K","family":"small","x":0,"y":0,
                "options":{"a":"s","b":true,"c":["p","q"],"d":3,"e":null,"f":["p",1],"g":{}}}]})");
        QVERIFY(config);
        QCOMPARE(config->widgets.first().options,
            (WidgetOptionValues {{QStringLiteral("a"), QStringLiteral("s")}, {QStringLiteral("b"), true},
                {QStringLiteral("c"), QStringList {QStringLiteral("p"), QStringLiteral("q")}}}));
    }

    void missingFileIsAnEmptyDesktop()
    {
        QTemporaryDir dir;
        const WidgetConfigFile file(dir.filePath(QStringLiteral("sub/widgets.json")));
        QCOMPARE(file.load(), WidgetHostConfig());
        QVERIFY(file.save(WidgetHostConfig {{watchlist()}}));
        QCOMPARE(file.load(), WidgetHostConfig {{watchlist()}});
    }

    void corruptFileIsKeptAside()
    {
        QTemporaryDir dir;
        const WidgetConfigFile file(dir.filePath(QStringLiteral("widgets.json")));
        QVERIFY(write(file.path(), "{\"version\":1,\"widg"));
        QTest::ignoreMessage(QtCriticalMsg, QRegularExpression(QStringLiteral("unusable.*kept as .*widgets.json.bad")));
        QCOMPARE(file.load(), WidgetHostConfig());
        QFile aside(file.asidePath());
        QVERIFY(aside.open(QIODevice::ReadOnly));
        QCOMPARE(aside.readAll(), QByteArray("{\"version\":1,\"widg"));
        QVERIFY(!QFile::exists(file.path()));
        QVERIFY(file.save(WidgetHostConfig {{watchlist()}}));
        QCOMPARE(file.load().widgets.size(), 1);
    }

    void unusableFileThatCannotMoveIsNeverOverwritten()
    {
        QTemporaryDir dir;
        const WidgetConfigFile file(dir.filePath(QStringLiteral("widgets.json")));
        QVERIFY(write(file.path(), "garbage"));
        // A directory in the way of widgets.json.bad: the file cannot be moved aside.
        QVERIFY(QDir().mkpath(file.asidePath() + QStringLiteral("/keep")));
        QTest::ignoreMessage(QtCriticalMsg, QRegularExpression(QStringLiteral("could not be moved aside")));
        QCOMPARE(file.load(), WidgetHostConfig());
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("left as it is")));
        QVERIFY(!file.save(WidgetHostConfig {{watchlist()}}));
        QFile kept(file.path());
        QVERIFY(kept.open(QIODevice::ReadOnly));
        QCOMPARE(kept.readAll(), QByteArray("garbage"));
    }
};

QTEST_GUILESS_MAIN(TestWidgetHostConfig)
#include "tst_widgethostconfig.moc"
