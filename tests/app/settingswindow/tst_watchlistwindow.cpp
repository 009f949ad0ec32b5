// SPDX-License-Identifier: GPL-3.0-or-later
// The Watchlist tab driven like a user would, through the real window, with
// the settings written to a real appSettings.json after every step.
#include "../popover/popovertestsupport.h"
#include "accessiblelabels.h"
#include "i18n/localizationmanager.h"
#include "market/coincatalog.h"
#include "memorysettingsstore.h"
#include "platform/bundle.h"
#include "platform/timer.h"
#include "settingsstore/settingsdatastorage.h"
#include "settingsstore/settingsstore.h"
#include "settingsstore/settingsviewmodel.h"
#include "settingswindow/settingswindow.h"
#include "settingswindow/settingswindowcontroller.h"
#include "updates/updatecontroller.h"
#include "watchlist/watchlistaddcoinpanel.h"
#include "watchlist/watchlistrow.h"
#include "watchlist/watchlistview.h"
#include "watchlist/watchlistviewmodel.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLineEdit>
#include <QListView>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

using namespace Vantrell;

namespace {

struct StoredEntry
{
    QString coinId;
    QString alertKind;
    double threshold = 0;
    QJsonValue holding;
    QJsonValue averageCostUSD;
};

class TestWatchlistWindow final : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    QtTimerFactory m_timers;
    std::unique_ptr<FileSettingsDataStorage> m_storage;
    std::unique_ptr<UserDefaultsSettingsStore> m_store;
    std::unique_ptr<SettingsViewModel> m_settings;
    std::unique_ptr<CoinCatalog> m_catalog;
    Test::FakeCoinListFeed m_coins;
    UpdateController m_updates;
    std::unique_ptr<SettingsWindowController> m_controller;
    WatchlistView *m_view = nullptr;
    int m_reloads = 0;

    QList<StoredEntry> stored() const
    {
        QFile file(m_storage->filePath(QStringLiteral("appSettings")));
        if (!file.open(QIODevice::ReadOnly))
            return {};
        QList<StoredEntry> entries;
        for (const QJsonValue &value : QJsonDocument::fromJson(file.readAll())[u"addedCoins"].toArray()) {
            const QJsonObject entry = value.toObject();
            entries.append({entry[u"coinId"].toString(), entry[u"alertKind"].toString(),
                entry[u"notificationThreshold"].toDouble(), entry[u"holding"], entry[u"averageCostUSD"]});
        }
        return entries;
    }
    QStringList storedIds() const
    {
        QStringList ids;
        for (const StoredEntry &entry : stored())
            ids.append(entry.coinId);
        return ids;
    }
    StoredEntry entry(const QString &coinId) const
    {
        for (const StoredEntry &entry : stored()) {
            if (entry.coinId == coinId)
                return entry;
        }
        return {};
    }
    WatchlistRow *row(const QString &coinId) const
    {
        for (WatchlistRow *row : m_view->rows()) {
            if (row->coinId() == coinId)
                return row;
        }
        return nullptr;
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        LocalizationManager::shared().setBundle(
            LocalizationManager::bundle(AppLanguage::en, Bundle(QStringLiteral(VANTRELL_BUILD_BUNDLE_DIR)), {}));
        m_storage = std::make_unique<FileSettingsDataStorage>(m_dir.filePath(QStringLiteral("config")));
        m_store = std::make_unique<UserDefaultsSettingsStore>(*m_storage);
        m_settings = std::make_unique<SettingsViewModel>(*m_store);
        m_settings->update([](AppSettings &s) { s.baseCurrency = BaseCurrency::eur; });
        m_catalog = CoinCatalog::load(Bundle::embedded());
        m_coins.setCoins(Test::sampleCoins(3));
        m_coins.setUsdToTargetRate(0.8);

        const auto createWindow = [this]() -> QWidget * {
            auto *model = new WatchlistViewModel(
                *m_catalog, Bundle::embedded(), *m_settings, [this] { ++m_reloads; }, m_timers, systemClock());
            m_view = new WatchlistView(*model, *m_settings, m_coins, nullptr);
            model->setParent(m_view);
            auto *window = new SettingsWindow(*m_settings, new QWidget, m_view, new QWidget);
            connect(window, &SettingsWindow::addCoinToggled, m_view,
                [view = m_view] { view->setShowAddCoin(!view->showAddCoin()); });
            return window;
        };
        m_controller = std::make_unique<SettingsWindowController>(
            *m_settings, createWindow, m_dir.filePath(QStringLiteral("state/settings-window.json")));
        m_controller->openSettings(SettingsTab::watchlist);
        QVERIFY(QTest::qWaitForWindowExposed(m_controller->window()));
        QCOMPARE(storedIds(), (QStringList {QStringLiteral("bitcoin"), QStringLiteral("ethereum")}));
    }

    void addCoinBySearch()
    {
        auto *window = qobject_cast<SettingsWindow *>(m_controller->window());
        QTest::mouseClick(window->addCoinButton(), Qt::LeftButton);
        WatchlistAddCoinPanel *panel = m_view->addCoinPanel();
        QVERIFY(panel->isVisible());
        QTRY_VERIFY(panel->searchField()->hasFocus());

        // An input method composing in the field keeps Escape for itself.
        QInputMethodEvent composing(QStringLiteral("do"), {});
        QCoreApplication::sendEvent(panel->searchField(), &composing);
        QTest::keyClick(panel->searchField(), Qt::Key_Escape);
        QVERIFY(panel->isVisible());
        QInputMethodEvent committed;
        committed.setCommitString(QStringLiteral("Doge"));
        QCoreApplication::sendEvent(panel->searchField(), &committed);
        QCOMPARE(panel->searchField()->text(), QStringLiteral("Doge"));
        // From every coin to a few: the panel shrinks to them, the search bar keeps its height.
        QWidget *searchBar = panel->searchField()->parentWidget();
        QCOMPARE(searchBar->height(), searchBar->sizeHint().height());

        // Return adds the first result not yet added and keeps the panel open.
        QTest::keyClick(panel->searchField(), Qt::Key_Return);
        QVERIFY(panel->isVisible());
        QCOMPARE(stored().last().coinId, QStringLiteral("dogecoin"));
        QCOMPARE(stored().last().alertKind, QStringLiteral("change"));
        QCOMPARE(stored().last().threshold, 2.0);
        QCOMPARE(m_reloads, 1);
        QVERIFY(row(QStringLiteral("dogecoin")));

        // A click on a result removes an added coin again; Escape closes and clears.
        panel->searchField()->setText(QStringLiteral("bitcoin"));
        QListView *results = panel->resultsView();
        QTest::mouseClick(
            results->viewport(), Qt::LeftButton, {}, results->visualRect(results->model()->index(0, 0)).center());
        QVERIFY(!storedIds().contains(QStringLiteral("bitcoin")));
        QTest::mouseClick(
            results->viewport(), Qt::LeftButton, {}, results->visualRect(results->model()->index(0, 0)).center());
        QCOMPARE(storedIds().last(), QStringLiteral("bitcoin"));
        QTest::keyClick(panel->searchField(), Qt::Key_Escape);
        QVERIFY(!panel->isVisible());
        QCOMPARE(panel->searchField()->text(), QString());
    }

    void setAboveAlertInEuro()
    {
        WatchlistRow *doge = row(QStringLiteral("dogecoin"));
        QVERIFY(doge);
        // The kind menu proposes 2 % above the price (0.38214 € → 0.389783 €, stored in dollars).
        doge->kindMenu()->setFocus();
        // Off, Above, Below, Change: two steps up from Change.
        QTest::keyClick(doge->kindMenu(), Qt::Key_Up);
        QCOMPARE(entry(QStringLiteral("dogecoin")).alertKind, QStringLiteral("below"));
        QTest::keyClick(doge->kindMenu(), Qt::Key_Up);
        QCOMPARE(entry(QStringLiteral("dogecoin")).alertKind, QStringLiteral("above"));
        QCOMPARE(entry(QStringLiteral("dogecoin")).threshold, 0.38214 * 1.02 / 0.8);
        QCOMPARE(doge->thresholdField()->text(), QStringLiteral("0.389783"));

        // Typed with a comma and stray letters; a new price does not touch the text being typed.
        QLineEdit *field = doge->thresholdField();
        field->setFocus();
        field->selectAll();
        QTest::keyClicks(field, QStringLiteral("0,5x1"));
        QCOMPARE(field->text(), QStringLiteral("0.51"));
        m_coins.setCoins(Test::sampleCoins(3));
        QCOMPARE(field->text(), QStringLiteral("0.51"));
        QTest::keyClick(field, Qt::Key_Return);
        QCOMPARE(entry(QStringLiteral("dogecoin")).threshold, 0.51 / 0.8);

        // A text that does not parse reverts and stores nothing.
        field->selectAll();
        QTest::keyClicks(field, QStringLiteral("."));
        QTest::keyClick(field, Qt::Key_Tab);
        QCOMPARE(field->text(), QStringLiteral("0.5100"));
        QCOMPARE(entry(QStringLiteral("dogecoin")).threshold, 0.51 / 0.8);

        // Entered and left without typing (Qt then reports no end of the edit),
        // the field still follows the stored dollars at the current rate, and a
        // later Return stores nothing stale.
        field->setFocus();
        QTRY_VERIFY(field->hasFocus());
        doge->kindMenu()->setFocus();
        QTRY_VERIFY(!field->hasFocus());
        m_coins.setUsdToTargetRate(0.4);
        m_coins.setCoins(Test::sampleCoins(3));
        QCOMPARE(field->text(), QStringLiteral("0.2550"));
        field->setFocus();
        QTRY_VERIFY(field->hasFocus());
        m_coins.setUsdToTargetRate(0.8);
        m_coins.setCoins(Test::sampleCoins(3));
        QCOMPARE(field->text(), QStringLiteral("0.5100"));
        QTest::keyClick(field, Qt::Key_Return);
        QCOMPARE(entry(QStringLiteral("dogecoin")).threshold, 0.51 / 0.8);
    }

    // The holding in coins, the cost in euros stored as dollars; emptied, each is removed.
    void enterHoldingsInEuro()
    {
        const int reloads = m_reloads;
        WatchlistRow *doge = row(QStringLiteral("dogecoin"));
        QLineEdit *holding = doge->holdingField();
        holding->setFocus();
        QTest::keyClicks(holding, QStringLiteral("1200,5x"));
        QCOMPARE(holding->text(), QStringLiteral("1200.5"));
        QTest::keyClick(holding, Qt::Key_Tab);
        QCOMPARE(entry(QStringLiteral("dogecoin")).holding, QJsonValue(1200.5));
        QLineEdit *cost = doge->averageCostField();
        QTRY_VERIFY(cost->hasFocus());
        QTest::keyClicks(cost, QStringLiteral("0,3"));
        QTest::keyClick(cost, Qt::Key_Return);
        QCOMPARE(entry(QStringLiteral("dogecoin")).averageCostUSD.toDouble(), 0.3 / 0.8);
        QCOMPARE(cost->text(), QStringLiteral("0.3000"));

        holding->setFocus();
        holding->selectAll();
        QTest::keyClick(holding, Qt::Key_Delete);
        QTest::keyClick(holding, Qt::Key_Return);
        QVERIFY(entry(QStringLiteral("dogecoin")).holding.isUndefined());
        QCOMPARE(entry(QStringLiteral("dogecoin")).averageCostUSD.toDouble(), 0.3 / 0.8);
        // Holdings do not make the coin list poll again.
        QCOMPARE(m_reloads, reloads);

        // Hidden balances: a field shows dots until it takes the focus.
        m_settings->update([](AppSettings &s) { s.hideBalances = true; });
        QCOMPARE(cost->text(), QString());
        QCOMPARE(cost->placeholderText(), QStringLiteral("••••"));
        QCOMPARE(holding->placeholderText(), QStringLiteral("Amount"));
        cost->setFocus();
        QTRY_COMPARE(cost->text(), QStringLiteral("0.3000"));
        doge->kindMenu()->setFocus();
        QTRY_COMPARE(cost->text(), QString());
        QCOMPARE(entry(QStringLiteral("dogecoin")).averageCostUSD.toDouble(), 0.3 / 0.8);
        m_settings->update([](AppSettings &s) { s.hideBalances = false; });
        QCOMPARE(cost->text(), QStringLiteral("0.3000"));
    }

    void reorder()
    {
        // Keyboard: Alt+Up on the row moves it one place.
        QCOMPARE(storedIds(),
            (QStringList {QStringLiteral("ethereum"), QStringLiteral("dogecoin"), QStringLiteral("bitcoin")}));
        QTest::keyClick(row(QStringLiteral("dogecoin"))->kindMenu(), Qt::Key_Up, Qt::AltModifier);
        QCOMPARE(storedIds(),
            (QStringList {QStringLiteral("dogecoin"), QStringLiteral("ethereum"), QStringLiteral("bitcoin")}));
        QCOMPARE(entry(QStringLiteral("dogecoin")).alertKind, QStringLiteral("above"));

        // Pointer: drag the first row's handle two pitches down.
        WatchlistHandle *handle = m_view->rows().first()->handle();
        const QPoint start = handle->rect().center();
        QTest::mousePress(handle, Qt::LeftButton, {}, start);
        for (int dy = 10; dy <= 92; dy += 10)
            QTest::mouseMove(handle, start + QPoint(0, dy));
        QTest::mouseMove(handle, start + QPoint(0, 92));
        QTest::mouseRelease(handle, Qt::LeftButton, {}, start + QPoint(0, 92));
        QTRY_COMPARE(storedIds(),
            (QStringList {QStringLiteral("ethereum"), QStringLiteral("bitcoin"), QStringLiteral("dogecoin")}));
        QTRY_COMPARE(m_view->rows().last()->coinId(), QStringLiteral("dogecoin"));

        // Deleting needs no confirmation; the displayed coin moves on.
        m_settings->update([](AppSettings &s) { s.displayedCoinId = QStringLiteral("dogecoin"); });
        QTest::mouseClick(row(QStringLiteral("dogecoin"))->deleteButton(), Qt::LeftButton);
        QCOMPARE(storedIds(), (QStringList {QStringLiteral("ethereum"), QStringLiteral("bitcoin")}));
        QCOMPARE(m_settings->settings().displayedCoinId, QStringLiteral("ethereum"));
    }

    void closingLetsTheWindowGo()
    {
        QPointer<QWidget> window = m_controller->window();
        window->close();
        QTRY_VERIFY(!window);
        QVERIFY(QFile::exists(m_dir.filePath(QStringLiteral("state/settings-window.json"))));
        m_controller->openSettings(SettingsTab::about);
        QVERIFY(m_controller->window() && m_controller->window() != window);
        QCOMPARE(m_controller->window()->windowTitle(), QStringLiteral("About"));
    }

    // Renders for a look: each language, light and dark, empty and with 25
    // coins, with the add-coin panel open over the long list.
    void renders_data()
    {
        QTest::addColumn<AppLanguage>("language");
        QTest::addColumn<bool>("dark");
        for (const auto &[tag, language] : {std::pair {"en", AppLanguage::en},
                 std::pair {"zh-Hans", AppLanguage::zhHans}, std::pair {"zh-Hant", AppLanguage::zhHant}}) {
            QTest::addRow("%s-light", tag) << language << false;
            QTest::addRow("%s-dark", tag) << language << true;
        }
    }

    void renders()
    {
        QFETCH(AppLanguage, language);
        QFETCH(bool, dark);
        LocalizationManager::shared().setBundle(
            LocalizationManager::bundle(language, Bundle(QStringLiteral(VANTRELL_BUILD_BUNDLE_DIR)), {}));
        const QPalette light = QApplication::palette();
        if (dark)
            QApplication::setPalette(Test::darkPalette());
        const QString dir = QDir::temp().filePath(QStringLiteral("vantrell-settings-window"));
        QDir().mkpath(dir);
        const QString tag = QString::fromUtf8(QTest::currentDataTag());
        for (const bool full : {false, true}) {
            AppSettings initial;
            initial.watchlistCoins.clear();
            if (full) {
                // Some coins held, some with a cost, some without either.
                int i = 0;
                for (const CoinMetadata &coin : m_catalog->listedCoins().mid(0, 25)) {
                    ++i;
                    initial.watchlistCoins.append(
                        {coin.id, CoinAlertKind::above, 1234.5, i % 3 ? std::optional<double>(0.125 * i) : std::nullopt,
                            i % 2 ? std::optional<double>(1500.0 * i) : std::nullopt});
                }
            }
            Test::MemorySettingsStore store(initial);
            SettingsViewModel settings(store);
            settings.setSettingsWindowTab(SettingsTab::watchlist);
            WatchlistViewModel model(*m_catalog, Bundle::embedded(), settings, {}, m_timers, systemClock());
            auto *view = new WatchlistView(model, settings, m_coins, nullptr);
            SettingsWindow window(settings, new QWidget, view, new QWidget);
            window.resize(786, 500);
            window.show();
            QVERIFY(QTest::qWaitForWindowExposed(&window));
            const QString name = QStringLiteral("%1/watchlist-%2-%3").arg(dir, tag, full ? u"25" : u"empty");
            QVERIFY(window.grab().save(name + QStringLiteral(".png")));
            QVERIFY2(
                Test::unlabelledControls(&window).isEmpty(), qPrintable(Test::unlabelledControls(&window).join(u',')));
            // Each control of a row names its coin to a screen reader.
            for (WatchlistRow *row : view->rows()) {
                for (QWidget *control : std::initializer_list<QWidget *> {row->handle(), row->holdingField(),
                         row->averageCostField(), row->kindMenu(), row->thresholdField(), row->deleteButton()}) {
                    const QString announced = Test::announcedLabel(control);
                    QVERIFY2(announced.contains(row->symbol()), qPrintable(announced));
                }
            }
            if (full) {
                settings.update([](AppSettings &s) { s.hideBalances = true; });
                QVERIFY(window.grab().save(name + QStringLiteral("-hidden.png")));
                view->setShowAddCoin(true);
                view->addCoinPanel()->searchField()->setText(QStringLiteral("co"));
                QVERIFY(window.grab().save(name + QStringLiteral("-search.png")));
                QVERIFY2(Test::unlabelledControls(&window).isEmpty(),
                    qPrintable(Test::unlabelledControls(&window).join(u',')));
            }
        }
        QApplication::setPalette(light);
    }
};

} // namespace

QTEST_MAIN(TestWatchlistWindow)
#include "tst_watchlistwindow.moc"
