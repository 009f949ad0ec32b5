// SPDX-License-Identifier: GPL-3.0-or-later
#include "fakestatusnotifierwatcher.h"
#include "logcapture.h"
#include "platform/bundle.h"
#include "testenvironment.h"
#include "tray/statusnotifieritem.h"
#include "tray/trayfactory.h"

#include <QDBusObjectPath>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QMenu>
#include <QPainter>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <sys/prctl.h>

using namespace Vantrell;
using Watcher = Test::FakeStatusNotifierWatcher;

Q_DECLARE_METATYPE(std::optional<Vantrell::TrayForm>)

namespace {
const QString kAppId = QStringLiteral("org.vantrell.Test");

StatusPresentation bitcoinTitle(QColor background = kFallRed)
{
    StatusPresentation presentation;
    presentation.kind = StatusPresentation::Kind::title;
    presentation.text = QStringLiteral(" BTC 97,342 ");
    presentation.plain = false;
    presentation.textColor = PriceColor::of(Qt::white);
    presentation.background = background;
    presentation.cornerRadius = 4;
    presentation.coinSymbol = QStringLiteral("BTC");
    presentation.coinName = QStringLiteral("Bitcoin <wrapped> & co");
    presentation.price = 97342.0;
    presentation.change24hPercent = 2.314;
    return presentation;
}

bool near(QColor a, QColor b)
{
    return qAbs(a.red() - b.red()) <= 8 && qAbs(a.green() - b.green()) <= 8 && qAbs(a.blue() - b.blue()) <= 8
        && qAbs(a.alpha() - b.alpha()) <= 8;
}

// The name /proc/<pid>/comm gives for this process, which owns the fake
// watcher; restored when it goes.
class ProcessName final
{
public:
    explicit ProcessName(const char *name)
    {
        prctl(PR_GET_NAME, m_saved);
        prctl(PR_SET_NAME, name);
    }
    ~ProcessName() { prctl(PR_SET_NAME, m_saved); }

private:
    char m_saved[17] = {};
};
} // namespace

Q_DECLARE_METATYPE(Vantrell::StatusNotifierItem::Exported)
Q_DECLARE_METATYPE(Vantrell::StatusNotifierItem::Announcements)

class TestStatusNotifierItem final : public QObject
{
    Q_OBJECT

private:
    Test::IsolatedXdg m_xdg;
    QTemporaryDir m_dir;
    QString m_logoPath;
    Watcher m_watcher;

    std::unique_ptr<StatusNotifierItem> startItem(std::optional<TrayForm> form = std::nullopt)
    {
        auto item = std::make_unique<StatusNotifierItem>(QDBusConnection::sessionBus(),
            StatusNotifierItem::Options {
                .applicationId = kAppId,
                .logoPath = m_logoPath,
                .formOverride = form,
                .iconFileDirectory = m_dir.path() + QStringLiteral("/icons"),
            });
        if (!item->start())
            return nullptr;
        return item;
    }

    bool waitForRegistration(const StatusNotifierItem &item)
    {
        return QTest::qWaitFor([&] {
            return item.isRegisteredWithWatcher() && m_watcher.item() == item.serviceName()
                && !item.panelProcessName().isEmpty();
        });
    }

private Q_SLOTS:
    void initTestCase()
    {
        QImage logo(20, 20, QImage::Format_ARGB32);
        logo.fill(Qt::transparent);
        QPainter painter(&logo);
        painter.fillRect(2, 2, 16, 16, Qt::black);
        painter.end();
        m_logoPath = m_dir.path() + QStringLiteral("/logo.png");
        QVERIFY(logo.save(m_logoPath));
    }

    void init() { QVERIFY(m_watcher.start()); }
    void cleanup() { m_watcher.stop(); }

    void registersAndPublishesItsIdentity_data()
    {
        QTest::addColumn<QString>("property");
        QTest::addColumn<QVariant>("expected");

        QTest::newRow("Category") << "Category" << QVariant(QStringLiteral("ApplicationStatus"));
        QTest::newRow("Id") << "Id" << QVariant(kAppId);
        QTest::newRow("Title") << "Title" << QVariant(QStringLiteral("Vantrell"));
        QTest::newRow("Status") << "Status" << QVariant(QStringLiteral("Active"));
        QTest::newRow("ItemIsMenu") << "ItemIsMenu" << QVariant(false);
        QTest::newRow("WindowId") << "WindowId" << QVariant(0);
        QTest::newRow("Menu") << "Menu" << QVariant::fromValue(QDBusObjectPath(QStringLiteral("/MenuBar")));
        QTest::newRow("IconAccessibleDesc") << "IconAccessibleDesc" << QVariant(QStringLiteral("Vantrell"));
        QTest::newRow("AttentionAccessibleDesc") << "AttentionAccessibleDesc" << QVariant(QStringLiteral("Vantrell"));
    }

    void registersAndPublishesItsIdentity()
    {
        QFETCH(QString, property);
        QFETCH(QVariant, expected);
        const auto item = startItem();
        QVERIFY(item);
        QVERIFY(waitForRegistration(*item));
        QVERIFY(QRegularExpression(
            QStringLiteral("^org\\.kde\\.StatusNotifierItem-%1-\\d+$").arg(QCoreApplication::applicationPid()))
                    .match(item->serviceName())
                    .hasMatch());
        QCOMPARE(m_watcher.itemProperty(property), expected);
    }

    void registersWhenAWatcherAppearsLater()
    {
        m_watcher.stop();
        const auto item = startItem();
        QVERIFY(item);
        QTest::qWait(100);
        QVERIFY(!item->isRegisteredWithWatcher());

        QSignalSpy registered(item.get(), &StatusNotifierItem::registeredWithWatcherChanged);
        QVERIFY(m_watcher.start());
        QVERIFY(waitForRegistration(*item));
        QCOMPARE(registered.size(), 1);
    }

    void registersAgainWhenTheWatcherRestarts()
    {
        const auto item = startItem();
        QVERIFY(waitForRegistration(*item));
        const qsizetype before = m_watcher.registrations().size();

        m_watcher.stop();
        QTRY_VERIFY(!item->isRegisteredWithWatcher());
        QVERIFY(m_watcher.start());
        QVERIFY(waitForRegistration(*item));
        QCOMPARE(m_watcher.registrations().size(), before + 1);

        // Only the panel's restart counts: the item does not register twice.
        QTest::qWait(100);
        QCOMPARE(m_watcher.registrations().size(), before + 1);
    }

    // A watcher that accepted the item but lost it (GNOME's AppIndicator
    // extension, now and then, while it sets the item up) gets it again; one
    // that keeps losing it is given up on.
    void registersAgainWhenTheWatcherLosesTheItem()
    {
        const qsizetype before = m_watcher.registrations().size();
        m_watcher.ignoreNextRegistration();
        const auto item = startItem();
        QVERIFY(waitForRegistration(*item));
        QTRY_COMPARE(m_watcher.registrations().size(), before + 2);
        QTRY_VERIFY(item->isRegisteredWithWatcher());
        QCOMPARE(m_watcher.itemProperty(QStringLiteral("Status")).toString(), QStringLiteral("Active"));

        // Another item's loss is not ours.
        m_watcher.dropItem(QStringLiteral("org.kde.StatusNotifierItem-1-1"));
        QTest::qWait(100);
        QCOMPARE(m_watcher.registrations().size(), before + 2);

        Test::LogCapture log;
        for (int drop = 1; drop <= 5; ++drop) {
            m_watcher.dropItem(item->serviceName() + QStringLiteral("/StatusNotifierItem"));
            QTRY_COMPARE(m_watcher.registrations().size(), before + 2 + std::min(drop, 4));
        }
        QTRY_VERIFY(!item->isRegisteredWithWatcher());
        QTest::qWait(100);
        QCOMPARE(m_watcher.registrations().size(), before + 6);
        QVERIFY(!log.records(QStringLiteral("Tray")).isEmpty());

        // A restarted panel starts afresh.
        m_watcher.stop();
        QVERIFY(m_watcher.start());
        QVERIFY(waitForRegistration(*item));
    }

    void watcherEntries_data()
    {
        QTest::addColumn<QString>("entry");
        QTest::addColumn<bool>("ours");

        QTest::newRow("bus name") << "org.kde.StatusNotifierItem-42-1" << true;
        QTest::newRow("bus name and path") << "org.kde.StatusNotifierItem-42-1/StatusNotifierItem" << true;
        QTest::newRow("connection and path") << ":1.7/StatusNotifierItem" << true;
        QTest::newRow("another item of ours") << "org.kde.StatusNotifierItem-42-12" << false;
        QTest::newRow("another connection") << ":1.77/StatusNotifierItem" << false;
        QTest::newRow("empty") << "" << false;
    }

    void watcherEntries()
    {
        QFETCH(QString, entry);
        QFETCH(bool, ours);
        QCOMPARE(StatusNotifierItem::watcherEntryNamesItem(
                     entry, QStringLiteral("org.kde.StatusNotifierItem-42-1"), QStringLiteral(":1.7")),
            ours);
    }

    void formDecidesLabelAndIcon_data()
    {
        QTest::addColumn<std::optional<TrayForm>>("form");
        QTest::addColumn<bool>("title");
        QTest::addColumn<QString>("label");
        QTest::addColumn<bool>("wide");
        QTest::addColumn<QColor>("edgeColor");

        const std::optional<TrayForm> panelDecides;
        QTest::newRow("label: dot in the price colour")
            << std::optional(TrayForm::label) << true << "BTC 97,342" << false << QColor(Qt::transparent);
        QTest::newRow("image: the drawn title") << std::optional(TrayForm::image) << true << "" << true << kFallRed;
        QTest::newRow("icon: the price in a square")
            << std::optional(TrayForm::icon) << true << "" << false << kFallRed;
        QTest::newRow("unknown panel: the price in a square") << panelDecides << true << "" << false << kFallRed;
        QTest::newRow("logo presentation has no label")
            << std::optional(TrayForm::label) << false << "" << false << QColor(Qt::transparent);
        QTest::newRow("logo presentation, unknown panel")
            << panelDecides << false << "" << false << QColor(Qt::transparent);
    }

    void formDecidesLabelAndIcon()
    {
        QFETCH(std::optional<TrayForm>, form);
        QFETCH(bool, title);
        QFETCH(QString, label);
        QFETCH(bool, wide);
        QFETCH(QColor, edgeColor);
        const auto item = startItem(form);
        QVERIFY(waitForRegistration(*item));
        item->present(title ? bitcoinTitle() : StatusPresentation());

        QCOMPARE(m_watcher.itemProperty(QStringLiteral("XAyatanaLabel")).toString(), label);
        QCOMPARE(m_watcher.itemProperty(QStringLiteral("XAyatanaLabelGuide")).toString(),
            label.isEmpty() ? QString() : QStringLiteral("BTC 88,888"));
        QCOMPARE(m_watcher.itemProperty(QStringLiteral("IconName")).toString(), QString());

        const QList<QImage> pixmaps = m_watcher.itemIconPixmaps();
        QList<int> heights;
        for (const QImage &image : pixmaps)
            heights.append(image.height());
        QCOMPARE(heights, (QList<int> {16, 22, 24, 32, 48}));
        const QImage &largest = pixmaps.constLast();
        QCOMPARE(largest.width() > 2 * largest.height(), wide);
        // Decoded from network byte order, the left edge shows the background.
        QVERIFY2(near(largest.pixelColor(0, largest.height() / 2), edgeColor),
            qPrintable(largest.pixelColor(0, largest.height() / 2).name(QColor::HexArgb)));

        const Watcher::ToolTip toolTip = m_watcher.itemToolTip();
        QCOMPARE(toolTip.title, title ? QStringLiteral("BTC 97,342") : QStringLiteral("Vantrell"));
        QCOMPARE(m_watcher.itemProperty(QStringLiteral("IconAccessibleDesc")).toString(), toolTip.title);
        QCOMPARE(toolTip.text, title ? QStringLiteral("Bitcoin &lt;wrapped&gt; &amp; co +2.31%") : QString());
    }

    void signalsFollowPresent()
    {
        const auto item = startItem(TrayForm::label);
        QVERIFY(waitForRegistration(*item));
        m_watcher.clearSignals();

        item->present(bitcoinTitle());
        QTRY_COMPARE(m_watcher.signalsNamed(QStringLiteral("XAyatanaNewLabel")).size(), 1);
        QTRY_COMPARE(m_watcher.signalsNamed(QStringLiteral("NewIcon")).size(), 1);
        QTRY_COMPARE(m_watcher.signalsNamed(QStringLiteral("NewToolTip")).size(), 1);
        QCOMPARE(m_watcher.signalsNamed(QStringLiteral("XAyatanaNewLabel")).at(0).arguments(),
            (QVariantList {QStringLiteral("BTC 97,342"), QStringLiteral("BTC 88,888")}));

        // The same presentation again changes nothing, so nothing is announced.
        item->present(bitcoinTitle());
        // A new price colour changes the icon and nothing else.
        item->present(bitcoinTitle(kRiseGreen));
        QTRY_COMPARE(m_watcher.signalsNamed(QStringLiteral("NewIcon")).size(), 2);
        QTest::qWait(100);
        QCOMPARE(m_watcher.signalsNamed(QStringLiteral("XAyatanaNewLabel")).size(), 1);
        QCOMPARE(m_watcher.signalsNamed(QStringLiteral("NewToolTip")).size(), 1);

        item->present(StatusPresentation());
        QTRY_COMPARE(m_watcher.signalsNamed(QStringLiteral("XAyatanaNewLabel")).size(), 2);
        QCOMPARE(m_watcher.signalsNamed(QStringLiteral("XAyatanaNewLabel")).at(1).arguments(),
            (QVariantList {QString(), QString()}));
        QCOMPARE(m_watcher.itemProperty(QStringLiteral("XAyatanaLabel")).toString(), QString());
    }

    void announcements_data()
    {
        using E = StatusNotifierItem::Exported;
        using A = StatusNotifierItem::Announcements;
        QTest::addColumn<E>("after");
        QTest::addColumn<A>("expected");

        const E before {QStringLiteral("BTC 97,342"), QStringLiteral("BTC 88,888"), QString(),
            {DBusImage {2, 1, QByteArray(8, '\x10')}}, {QString(), {}, QStringLiteral("BTC 97,342"), QString()}};
        E same = before;
        QTest::newRow("nothing drawn differs") << same << A {};
        E pixels = before;
        pixels.iconPixmaps[0].pixels[3] = '\x20';
        QTest::newRow("one pixel of the icon") << pixels << A {.icon = true};
        E themeIcon = before;
        themeIcon.iconName = QStringLiteral("/tmp/icon.png");
        QTest::newRow("icon file instead") << themeIcon << A {.icon = true};
        E guide = before;
        guide.labelGuide = QStringLiteral("BTC 888,888");
        QTest::newRow("label guide alone") << guide << A {.label = true};
        E tip = before;
        tip.toolTip.title = QStringLiteral("BTC 97,343");
        QTest::newRow("tooltip title") << tip << A {.toolTip = true};
        E all = tip;
        all.label = QStringLiteral("BTC 97,343");
        all.iconPixmaps.clear();
        QTest::newRow("all three") << all << A {.icon = true, .label = true, .toolTip = true};
    }

    void announcements()
    {
        QFETCH(StatusNotifierItem::Exported, after);
        QFETCH(StatusNotifierItem::Announcements, expected);
        const StatusNotifierItem::Exported before {QStringLiteral("BTC 97,342"), QStringLiteral("BTC 88,888"),
            QString(), {DBusImage {2, 1, QByteArray(8, '\x10')}},
            {QString(), {}, QStringLiteral("BTC 97,342"), QString()}};
        QCOMPARE(StatusNotifierItem::announcementsFor(before, after), expected);
    }

    // An hour of polls every 10 s with the price moving inside "43.7k": the
    // square icon is never sent again, only the tooltip with the full price.
    // Prints what the panel receives.
    void anHourOfSmallMovesSendsNoIcon()
    {
        const auto item = startItem(TrayForm::icon);
        QVERIFY(waitForRegistration(*item));
        StatusPresentation presentation = bitcoinTitle();
        presentation.background.reset();
        presentation.cornerRadius = 0;
        presentation.textColor = PriceColor::of(kRiseGreen);
        presentation.price = 43700.0;
        presentation.text = QStringLiteral("BTC 43,700");
        item->present(presentation);
        QTRY_COMPARE(m_watcher.signalsNamed(QStringLiteral("NewIcon")).size(), 1);
        m_watcher.clearSignals();

        constexpr int polls = 360;
        for (int i = 1; i <= polls; ++i) {
            // 43,651 … 43,749 back and forth: always "43.7k".
            const double price = 43700.0 + ((i * 37) % 99) - 49;
            presentation.price = price;
            presentation.text = QStringLiteral("BTC ") + QString::number(int(price));
            item->present(presentation);
        }
        // The last tooltip arrived, so every earlier signal did too.
        QTRY_VERIFY(m_watcher.itemToolTip().title == presentation.text);
        QTest::qWait(50);
        const qsizetype icons = m_watcher.signalsNamed(QStringLiteral("NewIcon")).size();
        const qsizetype toolTips = m_watcher.signalsNamed(QStringLiteral("NewToolTip")).size();
        const qsizetype labels = m_watcher.signalsNamed(QStringLiteral("XAyatanaNewLabel")).size();
        qInfo("An hour of %d price updates within one compact price: %lld NewIcon, %lld NewToolTip, %lld "
              "XAyatanaNewLabel",
            polls, qlonglong(icons), qlonglong(toolTips), qlonglong(labels));
        QCOMPARE(icons, 0);
        QCOMPARE(labels, 0);
    }

    void clicksReachTheApplication_data()
    {
        QTest::addColumn<QString>("method");
        QTest::addColumn<QPoint>("sent");
        QTest::addColumn<QPoint>("expected");

        // The offscreen platform has one 800 x 600 screen at ratio 1.
        QTest::newRow("left click") << "Activate" << QPoint(120, 10) << QPoint(120, 10);
        QTest::newRow("left click without position") << "Activate" << QPoint(0, 0) << QPoint();
        QTest::newRow("left click off every screen") << "Activate" << QPoint(5000, -20) << QPoint();
        QTest::newRow("menu wanted") << "ContextMenu" << QPoint(300, 590) << QPoint(300, 590);
        QTest::newRow("menu wanted off screen") << "ContextMenu" << QPoint(-1, -1) << QPoint();
    }

    void clicksReachTheApplication()
    {
        QFETCH(QString, method);
        QFETCH(QPoint, sent);
        QFETCH(QPoint, expected);
        const auto item = startItem();
        QVERIFY(waitForRegistration(*item));
        QSignalSpy activated(item.get(), &TrayItem::activated);
        QSignalSpy menu(item.get(), &TrayItem::contextMenuRequested);

        const QDBusMessage reply = m_watcher.callItem(method, {sent.x(), sent.y()});
        QCOMPARE(reply.type(), QDBusMessage::ReplyMessage);
        QSignalSpy &wanted = method == QLatin1String("Activate") ? activated : menu;
        QCOMPARE(wanted.size(), 1);
        QCOMPARE(wanted.at(0).at(0).toPoint(), expected);
        QCOMPARE(activated.size() + menu.size(), 1);

        QCOMPARE(m_watcher.callItem(QStringLiteral("SecondaryActivate"), {1, 1}).type(), QDBusMessage::ReplyMessage);
        QCOMPARE(m_watcher.callItem(QStringLiteral("Scroll"), {120, QStringLiteral("vertical")}).type(),
            QDBusMessage::ReplyMessage);
        QCOMPARE(activated.size() + menu.size(), 1);
    }

    void panelWalksTheMenuAndClicksACoin()
    {
        const auto item = startItem();
        QVERIFY(waitForRegistration(*item));
        TrayMenu menu;
        menu.addSubmenu(1, QStringLiteral("Change coin"));
        menu.addRadio(101, QStringLiteral("BTC - Bitcoin"), true, 1);
        menu.addRadio(102, QStringLiteral("ETH - Ethereum"), false, 1);
        menu.addSeparator();
        menu.addAction(5, QStringLiteral("Quit"));
        item->setMenu(menu);
        QCOMPARE(item->menu(), menu);
        QSignalSpy triggered(item.get(), &TrayItem::menuItemTriggered);

        const std::optional<Watcher::MenuNode> root = m_watcher.menuLayout();
        QVERIFY(root);
        QCOMPARE(root->children.size(), 3);
        const Watcher::MenuNode &coins = root->children.at(0);
        QCOMPARE(coins.label(), QStringLiteral("Change coin"));
        QCOMPARE(coins.children.size(), 2);
        const Watcher::MenuNode &ethereum = coins.children.at(1);
        QCOMPARE(ethereum.label(), QStringLiteral("ETH - Ethereum"));

        QCOMPARE(m_watcher.sendMenuEvent(ethereum.id).type(), QDBusMessage::ReplyMessage);
        QCOMPARE(triggered.size(), 1);
        QCOMPARE(triggered.at(0).at(0).toInt(), 102);
    }

    // Panels that do not draw the exported menu ask for it with ContextMenu:
    // the same entries, "&" shown as itself, one choice per radio group.
    void menuShownByTheApplicationMirrorsTheExportedOne()
    {
        const auto item = startItem();
        QVERIFY(waitForRegistration(*item));
        TrayMenu menu;
        menu.addSubmenu(1, QStringLiteral("Change coin"));
        menu.addRadio(101, QStringLiteral("BTC - Bitcoin"), true, 1);
        menu.addRadio(102, QStringLiteral("FISH - Fish & Chips"), false, 1);
        menu.addAction(5, QStringLiteral("Quit"));
        item->setMenu(menu);
        QSignalSpy triggered(item.get(), &TrayItem::menuItemTriggered);

        item->popupMenu(QPoint(100, 10));
        QMenu *shown = item->contextMenu();
        QVERIFY(shown);
        QTRY_VERIFY(shown->isVisible());
        const QList<QAction *> coins = shown->actions().at(0)->menu()->actions();
        QCOMPARE(coins.size(), 2);
        QCOMPARE(coins.at(1)->text(), QStringLiteral("FISH - Fish && Chips"));
        QVERIFY(coins.at(0)->isChecked());
        QVERIFY(coins.at(0)->actionGroup() && coins.at(0)->actionGroup() == coins.at(1)->actionGroup());

        coins.at(1)->trigger();
        QTRY_COMPARE(triggered.size(), 1);
        QCOMPARE(triggered.at(0).at(0).toInt(), 102);
        // The menu changes with the item's.
        menu.setLabel(5, QStringLiteral("Quit Vantrell"));
        item->setMenu(menu);
        QCOMPARE(shown->actions().at(1)->text(), QStringLiteral("Quit Vantrell"));
        shown->close();
    }

    void nonsenseGetsAnErrorReply_data()
    {
        QTest::addColumn<QString>("interface");
        QTest::addColumn<QString>("method");
        QTest::addColumn<QVariantList>("arguments");

        const QString item = QStringLiteral("org.kde.StatusNotifierItem");
        const QString properties = QStringLiteral("org.freedesktop.DBus.Properties");
        QTest::newRow("activate with strings")
            << item << "Activate" << QVariantList {QStringLiteral("x"), QStringLiteral("y")};
        QTest::newRow("activate without position") << item << "Activate" << QVariantList();
        QTest::newRow("scroll with swapped arguments") << item << "Scroll" << QVariantList {QStringLiteral("up"), 3};
        QTest::newRow("unknown method") << item << "Explode" << QVariantList();
        QTest::newRow("unknown property") << properties << "Get" << QVariantList {item, QStringLiteral("Nonsense")};
        QTest::newRow("property of an unknown interface")
            << properties << "Get" << QVariantList {QStringLiteral("org.example.None"), QStringLiteral("Title")};
        QTest::newRow("writing a property")
            << properties << "Set"
            << QVariantList {item, QStringLiteral("Title"), QVariant::fromValue(QDBusVariant(QStringLiteral("x")))};
    }

    void nonsenseGetsAnErrorReply()
    {
        QFETCH(QString, interface);
        QFETCH(QString, method);
        QFETCH(QVariantList, arguments);
        const auto item = startItem();
        QVERIFY(waitForRegistration(*item));
        QSignalSpy activated(item.get(), &TrayItem::activated);

        const QDBusMessage reply
            = m_watcher.call(item->serviceName(), QStringLiteral("/StatusNotifierItem"), interface, method, arguments);
        QCOMPARE(reply.type(), QDBusMessage::ErrorMessage);
        QCOMPARE(activated.size(), 0);
        QCOMPARE(m_watcher.itemProperty(QStringLiteral("Title")).toString(), QStringLiteral("Vantrell"));
    }

    void waybarGetsTheDrawnTitle()
    {
        const ProcessName name("waybar");
        const auto item = startItem();
        QVERIFY(waitForRegistration(*item));
        QCOMPARE(item->panelProcessName(), QStringLiteral("waybar"));
        QCOMPARE(item->form(), TrayForm::image);

        item->present(bitcoinTitle());
        QCOMPARE(m_watcher.itemProperty(QStringLiteral("XAyatanaLabel")).toString(), QString());
        const QImage icon = m_watcher.itemIconPixmaps().constLast();
        QVERIFY(icon.width() > 2 * icon.height());
    }

    void gnomeShellGetsALabelAndAnIconFile()
    {
        const ProcessName name("gnome-shell");
        const QString iconDirectory = m_dir.path() + QStringLiteral("/icons");
        {
            const auto item = startItem();
            QVERIFY(!item->isDarkAppearance());
            QSignalSpy appearance(item.get(), &TrayItem::appearanceChanged);
            QVERIFY(waitForRegistration(*item));
            QCOMPARE(item->form(), TrayForm::label);
            // The top bar is dark whatever the desktop theme.
            QVERIFY(item->isDarkAppearance());
            QCOMPARE(appearance.size(), 1);

            item->present(bitcoinTitle(kRiseGreen));
            QCOMPARE(m_watcher.itemProperty(QStringLiteral("XAyatanaLabel")).toString(), QStringLiteral("BTC 97,342"));
            const QString first = m_watcher.itemProperty(QStringLiteral("IconName")).toString();
            QVERIFY2(first.startsWith(iconDirectory + QLatin1Char('/')), qPrintable(first));
            QImage file(first);
            QVERIFY(near(file.pixelColor(file.width() / 2, file.height() / 2), kRiseGreen));

            // A new image comes under a new path, so a panel that caches by path reloads it.
            item->present(bitcoinTitle(kFallRed));
            const QString second = m_watcher.itemProperty(QStringLiteral("IconName")).toString();
            QVERIFY(second != first);
            file = QImage(second);
            QVERIFY(near(file.pixelColor(file.width() / 2, file.height() / 2), kFallRed));
            QCOMPARE(QDir(iconDirectory).entryList(QDir::Files).size(), 2);
        }
        QCOMPARE(QDir(iconDirectory).entryList(QDir::Files).size(), 0);
    }

    void themeSwitchRedrawsTheLogo()
    {
        const auto item = startItem(TrayForm::icon);
        QVERIFY(waitForRegistration(*item));
        QVERIFY(!item->isDarkAppearance());
        QCOMPARE(m_watcher.itemIconPixmaps().constLast().pixelColor(24, 24).toRgb(), QColor(Qt::black));
        QSignalSpy appearance(item.get(), &TrayItem::appearanceChanged);
        m_watcher.clearSignals();

        const QPalette light = QGuiApplication::palette();
        QGuiApplication::setPalette(QPalette(QColor(0x20, 0x20, 0x20)));
        QVERIFY(item->isDarkAppearance());
        QCOMPARE(appearance.size(), 1);
        QTRY_COMPARE(m_watcher.signalsNamed(QStringLiteral("NewIcon")).size(), 1);
        QCOMPARE(m_watcher.itemIconPixmaps().constLast().pixelColor(24, 24).toRgb(), QColor(Qt::white));

        QGuiApplication::setPalette(light);
        QCOMPARE(appearance.size(), 2);
    }

    void userChoiceFromTheEnvironment_data()
    {
        QTest::addColumn<QByteArray>("value");
        QTest::addColumn<std::optional<TrayForm>>("expected");
        QTest::addColumn<bool>("warned");

        QTest::newRow("unset") << QByteArray() << std::optional<TrayForm>() << false;
        QTest::newRow("label") << QByteArray("label") << std::optional(TrayForm::label) << false;
        QTest::newRow("image") << QByteArray("Image") << std::optional(TrayForm::image) << false;
        QTest::newRow("nonsense") << QByteArray("wide") << std::optional<TrayForm>() << true;
    }

    void userChoiceFromTheEnvironment()
    {
        QFETCH(QByteArray, value);
        QFETCH(std::optional<TrayForm>, expected);
        QFETCH(bool, warned);
        qputenv(kTrayFormVariable, value);
        Test::LogCapture log;
        const TrayOptions options = applicationTrayOptions(Bundle::embedded());
        qunsetenv(kTrayFormVariable);
        QCOMPARE(options.formOverride, expected);
        QCOMPARE(!log.records(QStringLiteral("Tray")).isEmpty(), warned);
    }

    void factoryPicksTheStatusNotifierItemWhenAWatcherRuns()
    {
        const TrayOptions options {.applicationId = kAppId, .logoPath = m_logoPath};
        {
            const std::unique_ptr<TrayItem> item = createTrayItem(options);
            auto *sni = qobject_cast<StatusNotifierItem *>(item.get());
            QVERIFY(sni);
            QVERIFY(waitForRegistration(*sni));
        }
        m_watcher.stop();
        // No watcher, and the offscreen platform has no XEmbed tray either.
        QVERIFY(!createTrayItem(options));
    }
};

QTEST_MAIN(TestStatusNotifierItem)
#include "tst_statusnotifieritem.moc"
