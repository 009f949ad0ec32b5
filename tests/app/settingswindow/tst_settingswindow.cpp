// SPDX-License-Identifier: GPL-3.0-or-later
#include "../popover/popovertestsupport.h"
#include "accessiblelabels.h"
#include "i18n/localizationmanager.h"
#include "memorysettingsstore.h"
#include "platform/bundle.h"
#include "settingsstore/settingsviewmodel.h"
#include "settingswindow/aboutview.h"
#include "settingswindow/colorpickerrow.h"
#include "settingswindow/generalsettingsview.h"
#include "settingswindow/settingswindow.h"
#include "settingswindow/settingswindowcontroller.h"
#include "settingswindow/settingswindowmodel.h"
#include "ui/notificationcenter.h"
#include "updates/updatecontroller.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSignalSpy>
#include <QSlider>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

using namespace Vantrell;

namespace {

StringBundle strings(AppLanguage language)
{
    return LocalizationManager::bundle(language, Bundle(QStringLiteral(VANTRELL_BUILD_BUNDLE_DIR)), {});
}

template<typename W>
W *withText(QWidget *root, const QString &text)
{
    for (W *widget : root->findChildren<W *>()) {
        if (widget->text() == text)
            return widget;
    }
    return nullptr;
}

struct Fixture
{
    explicit Fixture(AppSettings initial = AppSettings())
        : store(initial)
        , settings(store)
    {
        coins.setCoins(Test::sampleCoins(2));
        view = std::make_unique<GeneralSettingsView>(
            settings, coins, notifications, [this](bool on) { loginItem.append(on); });
        view->resize(560, 900);
        view->show();
    }

    Test::MemorySettingsStore store;
    SettingsViewModel settings;
    Test::FakeCoinListFeed coins;
    AppNotificationCenter notifications;
    QList<bool> loginItem;
    std::unique_ptr<GeneralSettingsView> view;
};

QString outputDirectory()
{
    const QString path = QDir::temp().filePath(QStringLiteral("vantrell-settings-window"));
    QDir().mkpath(path);
    return path;
}

} // namespace

class TestSettingsWindow final : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init() { LocalizationManager::shared().setBundle(strings(AppLanguage::en)); }

    void pureRules()
    {
        QCOMPARE(opacityPercentText(0.125), QStringLiteral("13%"));
        QCOMPARE(opacityPercentText(0.0), QStringLiteral("0%"));
        QCOMPARE(opacityPercentText(1.0), QStringLiteral("100%"));
        QCOMPARE(opacityPercentText(0.005), QStringLiteral("1%"));
        QCOMPARE(clampSettingsWindowSize(QSize(1200, 300)), QSize(800, 420));
        QCOMPARE(clampSettingsWindowSize(QSize(700, 480)), QSize(700, 480));

        AppSettings settings;
        settings.watchlistCoins = {{QStringLiteral("bitcoin")}, {QStringLiteral("gone-coin")}};
        QCOMPARE(menuBarCoinOptions(settings, Test::sampleCoins(2)),
            (QList<MenuBarCoinOption> {{QStringLiteral("bitcoin"), QStringLiteral("BTC")},
                {QStringLiteral("gone-coin"), QStringLiteral("gone-coin")}}));
    }

    // Each control writes its field, published and saved at once.
    void controlsEditTheSettings()
    {
        Fixture f;
        withText<QCheckBox>(f.view.get(), QStringLiteral("Start Vantrell when you log in"))->click();
        QCOMPARE(f.store.stored->launchAtLogin, true);
        QCOMPARE(f.loginItem, QList<bool> {true});

        // Colours off hides the schemes; custom shows the two colour rows.
        QRadioButton *custom = withText<QRadioButton>(f.view.get(), displayName(PriceColorScheme::custom));
        QVERIFY(custom && custom->isVisible());
        QVERIFY(!f.view->findChild<ColorPickerRow *>()->isVisible());
        custom->click();
        QCOMPARE(f.store.stored->colorScheme, PriceColorScheme::custom);
        QVERIFY(f.view->findChild<ColorPickerRow *>()->isVisible());
        f.view->findChild<ColorPickerRow *>()->pick(QColor(0x12, 0x34, 0x56));
        QCOMPARE(f.store.stored->customUpColorHex, QStringLiteral("#123456"));
        withText<QCheckBox>(f.view.get(), QStringLiteral("Color prices by 24h change"))->click();
        QVERIFY(!custom->isVisible());

        // The overlay rows stay visible but unusable while it is off.
        auto *slider = f.view->findChild<QSlider *>();
        QVERIFY(slider->isVisible() && !slider->isEnabled());
        withText<QCheckBox>(f.view.get(), QStringLiteral("Show prices on the desktop"))->click();
        QVERIFY(slider->isEnabled());
        slider->setValue(42);
        QCOMPARE(f.store.stored->desktopOverlayBackgroundOpacity, 0.42);
        QVERIFY(withText<QLabel>(f.view.get(), QStringLiteral("42%")));
        QSignalSpy posted(&f.notifications, &AppNotificationCenter::posted);
        withText<QPushButton>(f.view.get(), QStringLiteral("Adjust Position…"))->click();
        QCOMPARE(posted.size(), 1);
        QCOMPARE(posted.first().first().toString(), QStringLiteral("vantrell.adjustDesktopOverlay"));

        withText<QCheckBox>(f.view.get(), QStringLiteral("Hide balances"))->click();
        QCOMPARE(f.store.stored->hideBalances, true);

        // The panel coin is picked from the watchlist by symbol.
        const QList<QComboBox *> combos = f.view->findChildren<QComboBox *>();
        QComboBox *coinPicker = combos.first();
        QCOMPARE(coinPicker->itemText(1), QStringLiteral("ETH"));
        coinPicker->setCurrentIndex(1);
        Q_EMIT coinPicker->activated(1);
        QCOMPARE(f.store.stored->displayedCoinId, QStringLiteral("ethereum"));
    }

    void emptyWatchlistShowsTheHint()
    {
        AppSettings empty;
        empty.watchlistCoins.clear();
        Fixture f(empty);
        QVERIFY(withText<QLabel>(f.view.get(), QStringLiteral("Add coins to your watchlist first"))->isVisible());
        QVERIFY(!f.view->findChildren<QComboBox *>().first()->isVisible());
    }

    // The language applies at once, to this window too.
    void followsTheLanguageLive()
    {
        Fixture f;
        QComboBox *language = f.view->findChildren<QComboBox *>().last();
        language->setCurrentIndex(2);
        Q_EMIT language->activated(2);
        QCOMPARE(f.store.stored->language, AppLanguage::zhHans);
        LocalizationManager::shared().setBundle(strings(AppLanguage::zhHans));
        QVERIFY(withText<QCheckBox>(f.view.get(), strings(AppLanguage::zhHans).string(QStringLiteral("desktop.show"))));
    }

    // The add-coin button only on the Watchlist tab; the tab follows the view model.
    void windowFollowsTheTab()
    {
        Fixture f;
        UpdateController updates;
        SettingsWindow window(f.settings, f.view.release(), new QLabel, new AboutView(updates, Bundle::embedded()));
        window.show();
        QVERIFY(!window.addCoinButton()->isVisible());
        f.settings.setSettingsWindowTab(SettingsTab::watchlist);
        QCOMPARE(window.selectedTab(), SettingsTab::watchlist);
        QVERIFY(window.addCoinButton()->isVisible());
        QCOMPARE(window.windowTitle(), QStringLiteral("Watchlist"));
        f.settings.setSettingsWindowTab(SettingsTab::about);
        QVERIFY(!window.addCoinButton()->isVisible());
        // Without an update backend the update controls cannot be used.
        QVERIFY(!withText<QPushButton>(&window, QStringLiteral("Check for Updates…"))->isEnabled());
    }

    void windowGeometry_data()
    {
        QTest::addColumn<std::optional<QRect>>("saved");
        QTest::addColumn<QRect>("expected");
        const QRect centred(QPoint(247, 150), QSize(786, 500));
        QTest::newRow("first open: centred") << std::optional<QRect>() << centred;
        QTest::newRow("where it was") << std::optional(QRect(10, 20, 700, 450)) << QRect(10, 20, 700, 450);
        QTest::newRow("too large is clamped") << std::optional(QRect(10, 20, 1500, 900)) << QRect(10, 20, 800, 500);
        QTest::newRow("too small is clamped") << std::optional(QRect(10, 20, 100, 100)) << QRect(10, 20, 600, 420);
        QTest::newRow("on a screen that is gone") << std::optional(QRect(3000, 20, 700, 450)) << centred;
    }

    void windowGeometry()
    {
        QFETCH(std::optional<QRect>, saved);
        QFETCH(QRect, expected);
        QCOMPARE(settingsWindowGeometry(saved, {QRect(0, 0, 1280, 800)}), expected);
    }

    // Built on first open, brought back while open, let go when closed; the
    // next open is a new window where the last one was.
    void controllerOpensReusesAndForgets()
    {
        Test::MemorySettingsStore store;
        SettingsViewModel settings(store);
        QTemporaryDir state;
        int built = 0;
        SettingsWindowController controller(
            settings,
            [&built] {
                ++built;
                return new QWidget;
            },
            state.filePath(QStringLiteral("window.json")));
        controller.openSettings(SettingsTab::about);
        controller.openSettings(SettingsTab::watchlist);
        QCOMPARE(built, 1);
        QCOMPARE(settings.settingsWindowTab(), SettingsTab::watchlist);
        QPointer<QWidget> first = controller.window();
        first->setGeometry(QRect(40, 50, 650, 430));
        first->close();
        QTRY_VERIFY(!first);
        controller.openSettings(SettingsTab::general);
        QCOMPARE(built, 2);
        QCOMPARE(controller.window()->geometry(), QRect(40, 50, 650, 430));

        // Quit with the window open: the next run opens it where it was.
        {
            SettingsWindowController quitting(
                settings, [] { return new QWidget; }, state.filePath(QStringLiteral("quit.json")));
            quitting.openSettings(SettingsTab::general);
            quitting.window()->setGeometry(QRect(60, 70, 700, 440));
        }
        SettingsWindowController next(
            settings, [] { return new QWidget; }, state.filePath(QStringLiteral("quit.json")));
        next.openSettings(SettingsTab::general);
        QCOMPARE(next.window()->geometry(), QRect(60, 70, 700, 440));
    }

    // Renders for a look, and checks what a screen reader hears: both tabs in
    // each language, every control with its label.
    void renders_data()
    {
        QTest::addColumn<AppLanguage>("language");
        QTest::newRow("en") << AppLanguage::en;
        QTest::newRow("zh-Hans") << AppLanguage::zhHans;
        QTest::newRow("zh-Hant") << AppLanguage::zhHant;
    }

    void renders()
    {
        QFETCH(AppLanguage, language);
        LocalizationManager::shared().setBundle(strings(language));
        Fixture f;
        UpdateController updates;
        SettingsWindow window(f.settings, f.view.release(), new QLabel, new AboutView(updates, Bundle::embedded()));
        window.resize(kSettingsWindowSize);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        const QString tag = QString::fromUtf8(QTest::currentDataTag());
        QVERIFY(window.grab().save(QStringLiteral("%1/general-%2.png").arg(outputDirectory(), tag)));
        // And scrolled to its end, where the prices and the language are.
        for (QScrollArea *area : window.findChildren<QScrollArea *>())
            area->verticalScrollBar()->setValue(area->verticalScrollBar()->maximum());
        QVERIFY(window.grab().save(QStringLiteral("%1/general-%2-end.png").arg(outputDirectory(), tag)));
        QVERIFY2(Test::unlabelledControls(&window).isEmpty(), qPrintable(Test::unlabelledControls(&window).join(u',')));
        // A combo box is heard by its value; its label comes only through the relation.
        const auto label = [&](const char *key) { return strings(language).string(QString::fromLatin1(key)); };
        QStringList comboLabels;
        for (QComboBox *combo : window.findChildren<QComboBox *>())
            comboLabels.append(Test::announcedLabel(combo));
        QCOMPARE(comboLabels,
            (QStringList {
                label("general.display.menubarCoin") + QStringLiteral(" | ") + label("general.section.menubar"),
                label("general.display.currency") + QStringLiteral(" | ") + label("general.section.prices"),
                label("general.language.label") + QStringLiteral(" | ") + label("general.section.language")}));
        f.settings.setSettingsWindowTab(SettingsTab::about);
        QVERIFY(window.grab().save(QStringLiteral("%1/about-%2.png").arg(outputDirectory(), tag)));
        QVERIFY2(Test::unlabelledControls(&window).isEmpty(), qPrintable(Test::unlabelledControls(&window).join(u',')));
    }
};

QTEST_MAIN(TestSettingsWindow)
#include "tst_settingswindow.moc"
