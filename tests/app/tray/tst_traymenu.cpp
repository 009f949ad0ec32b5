// SPDX-License-Identifier: GPL-3.0-or-later
#include "tray/traymenu.h"

#include <QTest>

using namespace Vantrell;
using Kind = TrayMenuItem::Kind;

namespace {
// The menu the shell builds: coins in a submenu, then the commands.
TrayMenu shellMenu()
{
    TrayMenu menu;
    menu.addSubmenu(1, QStringLiteral("Change coin"));
    menu.addRadio(101, QStringLiteral("BTC - Bitcoin"), true, 1);
    menu.addRadio(102, QStringLiteral("ETH - Ethereum"), false, 1);
    menu.addSeparator();
    menu.addAction(2, QStringLiteral("Settings"));
    menu.addAction(3, QStringLiteral("Check for Updates"), false);
    menu.addSeparator();
    menu.addAction(4, QStringLiteral("Quit"));
    return menu;
}

QList<int> checkedIds(const TrayMenu &menu)
{
    QList<int> ids;
    for (const TrayMenuItem &item : menu.items()) {
        if (item.checked)
            ids.append(item.id);
    }
    return ids;
}
} // namespace

class TestTrayMenu final : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void refusesBadEntries_data()
    {
        QTest::addColumn<int>("id");
        QTest::addColumn<int>("parentId");

        QTest::newRow("zero id") << 0 << TrayMenu::kRootId;
        QTest::newRow("negative id") << -5 << TrayMenu::kRootId;
        QTest::newRow("id in the separators' range") << TrayMenu::kMaxItemId + 1 << TrayMenu::kRootId;
        QTest::newRow("taken id") << 101 << TrayMenu::kRootId;
        QTest::newRow("unknown parent") << 50 << 77;
        QTest::newRow("parent is an action") << 50 << 2;
        QTest::newRow("parent is a separator") << 50 << TrayMenu::kMaxItemId + 1;
    }

    void refusesBadEntries()
    {
        QFETCH(int, id);
        QFETCH(int, parentId);
        TrayMenu menu = shellMenu();
        const TrayMenu before = menu;

        QVERIFY(!menu.addAction(id, QStringLiteral("x"), true, parentId));
        QVERIFY(!menu.addRadio(id, QStringLiteral("x"), true, parentId));
        QVERIFY(!menu.addSubmenu(id, QStringLiteral("x"), true, parentId));
        QCOMPARE(menu, before);
        QCOMPARE(menu.revision(), before.revision());
    }

    void separatorsGetStableIdsOutsideTheShellsRange()
    {
        const TrayMenu first = shellMenu();
        const TrayMenu second = shellMenu();
        QList<int> separators;
        for (const TrayMenuItem &item : first.items()) {
            if (item.kind == Kind::separator)
                separators.append(item.id);
        }
        QCOMPARE(separators.size(), 2);
        QVERIFY(separators[0] > TrayMenu::kMaxItemId);
        QVERIFY(separators[0] != separators[1]);
        // Rebuilding the same menu gives the same ids, so a panel sees no new layout.
        QCOMPARE(first, second);
        TrayMenu menu;
        QVERIFY(!menu.addSeparator(42));
    }

    void checkingFollowsRadioGroups_data()
    {
        QTest::addColumn<int>("id");
        QTest::addColumn<bool>("checked");
        QTest::addColumn<QList<int>>("expectedChecked");

        QTest::newRow("other coin") << 102 << true << QList<int> {102, 301};
        QTest::newRow("same coin again") << 101 << true << QList<int> {101, 301};
        QTest::newRow("unchecking the coin") << 101 << false << QList<int> {301};
        QTest::newRow("radio of another group") << 202 << true << QList<int> {101, 202, 301};
        QTest::newRow("checkbox stays apart") << 302 << true << QList<int> {101, 301, 302};
    }

    void checkingFollowsRadioGroups()
    {
        QFETCH(int, id);
        QFETCH(bool, checked);
        QFETCH(QList<int>, expectedChecked);
        TrayMenu menu = shellMenu();
        QVERIFY(menu.addSubmenu(5, QStringLiteral("Other")));
        QVERIFY(menu.addRadio(201, QStringLiteral("a"), false, 5));
        QVERIFY(menu.addRadio(202, QStringLiteral("b"), false, 5));
        QVERIFY(menu.addCheckbox(301, QStringLiteral("c"), true));
        QVERIFY(menu.addCheckbox(302, QStringLiteral("d"), false));

        QVERIFY(menu.setChecked(id, checked));
        QCOMPARE(checkedIds(menu), expectedChecked);
    }

    void addingACheckedRadioUnchecksItsSiblings()
    {
        TrayMenu menu = shellMenu();
        QVERIFY(menu.addRadio(103, QStringLiteral("SOL - Solana"), true, 1));
        QCOMPARE(checkedIds(menu), QList<int> {103});
    }
};

QTEST_GUILESS_MAIN(TestTrayMenu)
#include "tst_traymenu.moc"
