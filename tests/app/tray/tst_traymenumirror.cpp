// SPDX-License-Identifier: GPL-3.0-or-later
#include "tray/traymenumirror.h"
#include "tray/xembedstatusitem.h"

#include <QAction>
#include <QGuiApplication>
#include <QMenu>
#include <QSignalSpy>
#include <QTest>

using namespace Vantrell;

namespace {
TrayMenu shellMenu(int checkedCoin = 101)
{
    TrayMenu menu;
    menu.addSubmenu(1, QStringLiteral("Change coin"));
    menu.addRadio(101, QStringLiteral("BTC - Bitcoin"), checkedCoin == 101, 1);
    menu.addRadio(102, QStringLiteral("AT&T - Tokenised"), checkedCoin == 102, 1);
    menu.addSeparator();
    menu.addAction(2, QStringLiteral("Settings"));
    menu.addAction(3, QStringLiteral("Check for Updates"), false);
    return menu;
}

QMenu *coinMenu(const QMenu *menu)
{
    return menu->actions().at(0)->menu();
}
} // namespace

class TestTrayMenuMirror final : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void showsTheMenu()
    {
        TrayMenuMirror mirror;
        mirror.setMenu(shellMenu());
        const QList<QAction *> top = mirror.qmenu()->actions();
        QCOMPARE(top.size(), 4);
        QCOMPARE(top.at(0)->text(), QStringLiteral("Change coin"));
        QVERIFY(top.at(1)->isSeparator());
        QVERIFY(top.at(2)->isEnabled());
        QVERIFY(!top.at(3)->isEnabled());

        const QList<QAction *> coins = coinMenu(mirror.qmenu())->actions();
        QCOMPARE(coins.size(), 2);
        QVERIFY(coins.at(0)->isCheckable() && coins.at(0)->isChecked());
        QVERIFY(!coins.at(1)->isChecked());
        // "&" would otherwise underline the next letter and vanish.
        QCOMPARE(coins.at(1)->text(), QStringLiteral("AT&&T - Tokenised"));
    }

    void clickReportsTheIdAndKeepsTheMenusStates()
    {
        TrayMenuMirror mirror;
        mirror.setMenu(shellMenu());
        QSignalSpy triggered(&mirror, &TrayMenuMirror::triggered);
        QAction *other = coinMenu(mirror.qmenu())->actions().at(1);

        other->trigger();
        // Reported after Qt is done with the click, so the receiver may rebuild the menu.
        QCOMPARE(triggered.size(), 0);
        QTRY_COMPARE(triggered.size(), 1);
        QCOMPARE(triggered.at(0).at(0).toInt(), 102);
        QVERIFY2(!other->isChecked(), "the TrayMenu decides what is checked");

        mirror.setMenu(shellMenu(102));
        QVERIFY(other->isChecked());
        QVERIFY(!coinMenu(mirror.qmenu())->actions().at(0)->isChecked());
    }

    void changedLabelsUpdateInPlaceAndNewEntriesRebuild()
    {
        TrayMenuMirror mirror;
        mirror.setMenu(shellMenu());
        QAction *settings = mirror.qmenu()->actions().at(2);

        TrayMenu renamed = shellMenu();
        renamed.setLabel(2, QStringLiteral("Preferences"));
        renamed.setEnabled(3, true);
        mirror.setMenu(renamed);
        QCOMPARE(mirror.qmenu()->actions().at(2), settings);
        QCOMPARE(settings->text(), QStringLiteral("Preferences"));
        QVERIFY(mirror.qmenu()->actions().at(3)->isEnabled());

        TrayMenu longer = renamed;
        longer.addAction(4, QStringLiteral("Quit"));
        mirror.setMenu(longer);
        QCOMPARE(mirror.qmenu()->actions().size(), 5);
        QCOMPARE(mirror.qmenu()->actions().at(4)->text(), QStringLiteral("Quit"));
    }

    void xembedItemShowsTitleInItsToolTipAndMirrorsTheMenu()
    {
        XEmbedStatusItem item({.applicationId = QStringLiteral("org.vantrell.Test")});
        QCOMPARE(item.toolTip(), QStringLiteral("Vantrell"));

        StatusPresentation presentation;
        presentation.kind = StatusPresentation::Kind::title;
        presentation.text = QStringLiteral(" ETH 3,210.5 ");
        presentation.plain = false;
        presentation.textColor = PriceColor::of(Qt::white);
        presentation.background = kFallRed;
        presentation.cornerRadius = 4;
        presentation.coinSymbol = QStringLiteral("ETH");
        presentation.coinName = QStringLiteral("Ethereum");
        presentation.change24hPercent = -1.5;
        presentation.price = 3210.5;
        item.present(presentation);
        QCOMPARE(item.toolTip(), QStringLiteral("ETH 3,210.5\nEthereum -1.50%"));
        const QImage icon = item.icon().pixmap(QSize(32, 32)).toImage();
        QCOMPARE(icon.size(), QSize(32, 32));
        // The square price icon, on its background in the price colour.
        QCOMPARE(icon.pixelColor(0, 16).toRgb(), kFallRed);
        // Drawn for the size the tray asks for, not scaled from a near one.
        QCOMPARE(item.icon().pixmap(QSize(26, 26)).size(), QSize(26, 26));

        // The background keeps the price colour on a dark theme; the change is announced.
        QSignalSpy appearance(&item, &TrayItem::appearanceChanged);
        const QPalette light = QGuiApplication::palette();
        QGuiApplication::setPalette(QPalette(QColor(0x20, 0x20, 0x20)));
        QVERIFY(item.isDarkAppearance());
        QCOMPARE(appearance.size(), 1);
        QCOMPARE(item.icon().pixmap(QSize(32, 32)).toImage().pixelColor(0, 16).toRgb(), kFallRed);
        QGuiApplication::setPalette(light);
        QCOMPARE(appearance.size(), 2);

        item.setMenu(shellMenu());
        QCOMPARE(item.menu(), shellMenu());
        QSignalSpy triggered(&item, &TrayItem::menuItemTriggered);
        item.contextMenu()->actions().at(2)->trigger();
        QTRY_COMPARE(triggered.size(), 1);
        QCOMPARE(triggered.at(0).at(0).toInt(), 2);
    }
};

QTEST_MAIN(TestTrayMenuMirror)
#include "tst_traymenumirror.moc"
