// SPDX-License-Identifier: GPL-3.0-or-later
#include "fakestatusnotifierwatcher.h"
#include "testenvironment.h"
#include "vantrellprocess.h"

#include <QStandardPaths>
#include <QTest>

using namespace Vantrell;

namespace {
constexpr int kTimeout = 60000;
const QString kShown = QStringLiteral("Popover shown");
} // namespace

// One running instance per session: later starts hand their links to it over
// D-Bus and end. The first instance runs with a panel present, so its popover
// starts hidden and every "Popover shown" comes from a hand-over.
class TestSingleInstance final : public QObject
{
    Q_OBJECT

private:
    Test::IsolatedXdg m_xdg;
    Test::FakeStatusNotifierWatcher m_watcher;
    std::unique_ptr<Test::VantrellProcess> m_first;

    // Closes the first instance's popover by a click on its tray item.
    void closePopover()
    {
        const qsizetype hidden = m_first->countInLog(QStringLiteral("Popover hidden"));
        m_watcher.callItem(QStringLiteral("Activate"), {10, 10});
        QVERIFY2(
            m_first->waitForLog(QStringLiteral("Popover hidden"), hidden + 1, kTimeout), qPrintable(m_first->log()));
    }

    // A second start with `arguments`; it must end by itself with code 0.
    void runSecondInstance(const QStringList &arguments)
    {
        Test::VantrellProcess second({});
        second.start(arguments);
        QVERIFY2(second.waitForExit(kTimeout), qPrintable(second.log()));
        QCOMPARE(second.process().exitStatus(), QProcess::NormalExit);
        QCOMPARE(second.process().exitCode(), 0);
        QVERIFY2(second.log().contains(QLatin1String("already running")), qPrintable(second.log()));
        // It never got as far as a tray item of its own.
        QCOMPARE(m_watcher.registrations().size(), 1);
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_watcher.start());
        // No market: prices do not matter here, and nothing may reach the internet.
        m_first = std::make_unique<Test::VantrellProcess>(QStringLiteral("api.binance.com=http://127.0.0.1:9"));
        m_first->start();
        QTRY_COMPARE_WITH_TIMEOUT(m_watcher.registrations().size(), 1, kTimeout);
        QCOMPARE(m_first->countInLog(kShown), 0);
    }

    void cleanup()
    {
        if (QTest::currentTestFailed())
            qWarning().noquote() << "first vantrell wrote:\n" << m_first->log();
    }

    void cleanupTestCase()
    {
        if (!m_first)
            return;
        m_first->process().terminate();
        QVERIFY(m_first->waitForExit(kTimeout));
    }

    void secondStartWithTheLinkOpensThePopover()
    {
        runSecondInstance({QStringLiteral("vantrell://popover")});
        QVERIFY2(m_first->waitForLog(kShown, 1, kTimeout), qPrintable(m_first->log()));
        QVERIFY(m_first->isRunning());
    }

    void theLinkLeavesAShownPopoverShown()
    {
        QCOMPARE(m_first->countInLog(kShown), 1);
        runSecondInstance({QStringLiteral("vantrell://popover")});
        // Any link of the scheme does the same.
        runSecondInstance({QStringLiteral("vantrell://elsewhere")});
        // Had a link toggled the popover, this click would show it instead of closing it.
        closePopover();
        QCOMPARE(m_first->countInLog(kShown), 1);
        QCOMPARE(m_first->countInLog(QStringLiteral("Popover hidden")), 1);
    }

    void plainSecondStartEndsAndTheFirstKeepsRunning()
    {
        const qsizetype shown = m_first->countInLog(kShown);
        runSecondInstance({});
        // A plain start activates the running instance, which shows its prices.
        QVERIFY2(m_first->waitForLog(kShown, shown + 1, kTimeout), qPrintable(m_first->log()));
        QVERIFY(m_first->isRunning());
        QCOMPARE(m_watcher.itemProperty(QStringLiteral("Status")).toString(), QStringLiteral("Active"));
        closePopover();
    }

    void openOverDBusOpensThePopover()
    {
        if (QStandardPaths::findExecutable(QStringLiteral("gdbus")).isEmpty())
            QSKIP("gdbus (libglib2.0-bin) is not installed");
        const qsizetype shown = m_first->countInLog(kShown);

        QProcess gdbus;
        gdbus.start(QStringLiteral("gdbus"),
            {QStringLiteral("call"), QStringLiteral("--session"), QStringLiteral("--dest"),
                QStringLiteral("org.vantrell.Vantrell"), QStringLiteral("--object-path"),
                QStringLiteral("/org/vantrell/Vantrell"), QStringLiteral("--method"),
                QStringLiteral("org.freedesktop.Application.Open"), QStringLiteral("['vantrell://popover']"),
                QStringLiteral("{}")});
        QTRY_VERIFY_WITH_TIMEOUT(gdbus.state() == QProcess::NotRunning, kTimeout);
        QVERIFY2(gdbus.exitCode() == 0, gdbus.readAllStandardError().constData());
        QVERIFY2(m_first->waitForLog(kShown, shown + 1, kTimeout), qPrintable(m_first->log()));
    }
};

QTEST_GUILESS_MAIN(TestSingleInstance)
#include "tst_singleinstance.moc"
