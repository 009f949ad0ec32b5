// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/commandline.h"

#include <QTest>

using namespace Vantrell;

using Action = CommandLineRequest::Action;
Q_DECLARE_METATYPE(Vantrell::CommandLineRequest::Action)

namespace {
const QString kLink = QStringLiteral("vantrell://popover");
} // namespace

class TestCommandLine final : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void parse_data()
    {
        QTest::addColumn<QList<QByteArray>>("arguments");
        QTest::addColumn<Action>("action");
        QTest::addColumn<QStringList>("urls");
        QTest::addColumn<QStringList>("ignored");

        const QByteArray huge(1 << 20, 'a');
        QTest::newRow("nothing") << QList<QByteArray> {} << Action::run << QStringList {} << QStringList {};
        QTest::newRow("the link") << QList<QByteArray> {"vantrell://popover"} << Action::run << QStringList {kLink}
                                  << QStringList {};
        QTest::newRow("link with slash, twice") << QList<QByteArray> {"vantrell://popover/", "vantrell://popover"}
                                                << Action::run << QStringList {kLink} << QStringList {};
        QTest::newRow("help") << QList<QByteArray> {"--help"} << Action::showHelp << QStringList {} << QStringList {};
        QTest::newRow("short version") << QList<QByteArray> {"-v"} << Action::showVersion << QStringList {}
                                       << QStringList {};
        QTest::newRow("first of help and version")
            << QList<QByteArray> {"--version", "-h"} << Action::showVersion << QStringList {} << QStringList {};
        QTest::newRow("any link of the scheme")
            << QList<QByteArray> {"vantrell://settings", "vantrell://popover?x=1", "vantrell:popover"} << Action::run
            << QStringList {kLink} << QStringList {};
        QTest::newRow("other schemes") << QList<QByteArray> {"VANTRELL://popover", "https://example.org"} << Action::run
                                       << QStringList {}
                                       << QStringList {QStringLiteral("\"VANTRELL://popover\""),
                                              QStringLiteral("\"https://example.org\"")};
        QTest::newRow("unknown options keep the link")
            << QList<QByteArray> {"--verbose", "--help=yes", "-", "vantrell://popover"} << Action::run
            << QStringList {kLink}
            << QStringList {QStringLiteral("\"--verbose\""), QStringLiteral("\"--help=yes\""), QStringLiteral("\"-\"")};
        QTest::newRow("after -- an option is a word")
            << QList<QByteArray> {"--", "--help", "vantrell://popover"} << Action::run << QStringList {kLink}
            << QStringList {QStringLiteral("\"--help\"")};
        QTest::newRow("not UTF-8") << QList<QByteArray> {"vantrell://popover\xff", "\xc3\x28"} << Action::run
                                   << QStringList {}
                                   << QStringList {
                                          QStringLiteral("\"vantrell://popover\\xff\""), QStringLiteral("\"\\xc3(\"")};
        QTest::newRow("very long") << QList<QByteArray> {huge} << Action::run << QStringList {}
                                   << QStringList {u'"' + QString(maxPrintableArgument, u'a')
                                          + QStringLiteral("\"… (1048576 bytes)")};
        QTest::newRow("escapes") << QList<QByteArray> {"a\nb\"c\\\x1b[31m"} << Action::run << QStringList {}
                                 << QStringList {QStringLiteral("\"a\\nb\\\"c\\\\\\u{1b}[31m\"")};
        QTest::newRow("text kept") << QList<QByteArray> {"价格"} << Action::run << QStringList {}
                                   << QStringList {QStringLiteral("\"价格\"")};
    }

    void parse()
    {
        QFETCH(QList<QByteArray>, arguments);
        QFETCH(Action, action);
        QFETCH(QStringList, urls);
        QFETCH(QStringList, ignored);

        const CommandLineRequest request = parseCommandLine(arguments);
        QCOMPARE(request.action, action);
        QCOMPARE(request.urls, urls);
        QCOMPARE(request.ignored, ignored);
        QCOMPARE(request.ignoredCount, ignored.size());
    }

    // A start with thousands of arguments still gives one short line.
    void manyIgnoredArgumentsMakeOneBoundedLine()
    {
        QList<QByteArray> arguments(10'000, QByteArray(1000, '\xfe'));
        arguments.append("vantrell://popover");
        const CommandLineRequest request = parseCommandLine(arguments);
        QCOMPARE(request.urls, QStringList {kLink});
        QCOMPARE(request.ignoredCount, 10'000);
        QCOMPARE(request.ignored.size(), maxListedIgnored);
        const QString line = ignoredArgumentsMessage(request.ignoredCount, request.ignored);
        QVERIFY(!line.contains(u'\n'));
        QVERIFY2(line.size() < 2000, qPrintable(QString::number(line.size())));
        QVERIFY(line.endsWith(QStringLiteral(" and 9995 more")));
        QCOMPARE(ignoredArgumentsMessage(0, {}), QString());
    }
};

QTEST_GUILESS_MAIN(TestCommandLine)
#include "tst_commandline.moc"
