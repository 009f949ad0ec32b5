// SPDX-License-Identifier: GPL-3.0-or-later
#include "fakestatusnotifierwatcher.h"
#include "tray/dbusmenuexporter.h"
#include "tray/traydbustypes.h"

#include <QDBusArgument>
#include <QSignalSpy>
#include <QTest>

using namespace Vantrell;
using Node = Test::FakeStatusNotifierWatcher::MenuNode;

namespace {
const QString kMenuInterface = QStringLiteral("com.canonical.dbusmenu");
const QString kInvalidArgs = QStringLiteral("org.freedesktop.DBus.Error.InvalidArgs");
const QString kUnknownMethod = QStringLiteral("org.freedesktop.DBus.Error.UnknownMethod");

TrayMenu shellMenu()
{
    TrayMenu menu;
    menu.addSubmenu(1, QStringLiteral("Change coin"));
    menu.addRadio(101, QStringLiteral("BTC - Bitcoin"), true, 1);
    menu.addRadio(102, QStringLiteral("WBTC - Wrapped_Bitcoin"), false, 1);
    menu.addSeparator();
    menu.addAction(2, QStringLiteral("Settings"));
    menu.addAction(3, QStringLiteral("Check for Updates"), false);
    menu.addSeparator();
    menu.addAction(4, QStringLiteral("Quit"));
    return menu;
}

// The tree as text: ids, "-" for separators (by their ids), children in brackets.
QString shape(const Node &node)
{
    QString text = node.id > TrayMenu::kMaxItemId ? QStringLiteral("-") : QString::number(node.id);
    if (!node.children.isEmpty()) {
        QStringList children;
        for (const Node &child : node.children)
            children.append(shape(child));
        text += QLatin1Char('(') + children.join(QLatin1Char(',')) + QLatin1Char(')');
    }
    return text;
}
} // namespace

class TestDBusMenuExporter final : public QObject
{
    Q_OBJECT

private:
    Test::FakeStatusNotifierWatcher m_host;
    std::unique_ptr<DBusMenuExporter> m_exporter;

    QDBusMessage callMenu(const QString &method, const QVariantList &arguments = {})
    {
        return m_host.call(
            QDBusConnection::sessionBus().baseService(), QStringLiteral("/MenuBar"), kMenuInterface, method, arguments);
    }

    std::optional<Node> layout(
        int parentId = 0, int depth = -1, const QStringList &properties = {}, uint *revision = nullptr)
    {
        const QDBusMessage reply = callMenu(QStringLiteral("GetLayout"), {parentId, depth, properties});
        if (reply.type() != QDBusMessage::ReplyMessage || reply.signature() != QLatin1String("u(ia{sv}av)"))
            return std::nullopt;
        if (revision)
            *revision = reply.arguments().at(0).toUInt();
        return Test::FakeStatusNotifierWatcher::decodeMenuNode(reply.arguments().at(1));
    }

    // Lets signals already sent arrive.
    void settle()
    {
        callMenu(QStringLiteral("AboutToShow"), {0});
        QTest::qWait(50);
    }

private Q_SLOTS:
    void initTestCase() { QVERIFY(m_host.start()); }

    void init()
    {
        m_exporter = std::make_unique<DBusMenuExporter>();
        m_exporter->setMenu(shellMenu());
        QVERIFY(m_exporter->registerOn(QDBusConnection::sessionBus()));
        m_host.clearSignals();
    }

    void cleanup() { m_exporter.reset(); }

    void layoutCarriesEveryEntry()
    {
        uint revision = 0;
        const std::optional<Node> root = layout(0, -1, {}, &revision);
        QVERIFY(root);
        QCOMPARE(revision, m_exporter->layoutRevision());
        QCOMPARE(shape(*root), QStringLiteral("0(1(101,102),-,2,3,-,4)"));
        QCOMPARE(root->properties.value(QStringLiteral("children-display")), QVariant(QStringLiteral("submenu")));

        const Node *coins = root->find(1);
        QCOMPARE(coins->label(), QStringLiteral("Change coin"));
        QCOMPARE(coins->properties.value(QStringLiteral("children-display")), QVariant(QStringLiteral("submenu")));
        const Node *btc = root->find(101);
        QCOMPARE(btc->properties.value(QStringLiteral("toggle-type")), QVariant(QStringLiteral("radio")));
        QCOMPARE(btc->properties.value(QStringLiteral("toggle-state")), QVariant(1));
        QCOMPARE(root->find(102)->properties.value(QStringLiteral("toggle-state")), QVariant(0));
        // An underscore would otherwise mark an access key and vanish.
        QCOMPARE(root->find(102)->label(), QStringLiteral("WBTC - Wrapped__Bitcoin"));
        QCOMPARE(root->find(2)->properties.value(QStringLiteral("enabled")), QVariant(true));
        QCOMPARE(root->find(3)->properties.value(QStringLiteral("enabled")), QVariant(false));
        QVERIFY(!root->find(2)->properties.contains(QStringLiteral("toggle-type")));
    }

    void layoutDepthAndPropertyFilter_data()
    {
        QTest::addColumn<int>("parentId");
        QTest::addColumn<int>("depth");
        QTest::addColumn<QStringList>("properties");
        QTest::addColumn<QString>("expectedShape");
        QTest::addColumn<QStringList>("expectedKeysOf2");

        const QStringList all {QStringLiteral("enabled"), QStringLiteral("label"), QStringLiteral("visible")};
        QTest::newRow("everything") << 0 << -1 << QStringList() << "0(1(101,102),-,2,3,-,4)" << all;
        QTest::newRow("any negative depth is everything")
            << 0 << -7 << QStringList() << "0(1(101,102),-,2,3,-,4)" << all;
        QTest::newRow("root only") << 0 << 0 << QStringList() << "0" << QStringList();
        QTest::newRow("one level") << 0 << 1 << QStringList() << "0(1,-,2,3,-,4)" << all;
        QTest::newRow("a submenu") << 1 << -1 << QStringList() << "1(101,102)" << QStringList();
        QTest::newRow("a leaf") << 2 << -1 << QStringList() << "2" << all;
        QTest::newRow("labels only") << 0 << -1 << QStringList {QStringLiteral("label")} << "0(1(101,102),-,2,3,-,4)"
                                     << QStringList {QStringLiteral("label")};
        QTest::newRow("unknown property")
            << 0 << 1 << QStringList {QStringLiteral("icon-name")} << "0(1,-,2,3,-,4)" << QStringList();
    }

    void layoutDepthAndPropertyFilter()
    {
        QFETCH(int, parentId);
        QFETCH(int, depth);
        QFETCH(QStringList, properties);
        QFETCH(QString, expectedShape);
        QFETCH(QStringList, expectedKeysOf2);

        const std::optional<Node> node = layout(parentId, depth, properties);
        QVERIFY(node);
        QCOMPARE(shape(*node), expectedShape);
        if (const Node *two = node->find(2))
            QCOMPARE(two->properties.keys(), expectedKeysOf2);
    }

    void events_data()
    {
        QTest::addColumn<int>("id");
        QTest::addColumn<QString>("eventId");
        QTest::addColumn<int>("triggered");
        QTest::addColumn<bool>("error");

        QTest::newRow("click on an action") << 2 << "clicked" << 2 << false;
        QTest::newRow("click on a coin") << 102 << "clicked" << 102 << false;
        QTest::newRow("click on a disabled entry") << 3 << "clicked" << 0 << false;
        QTest::newRow("click on a submenu") << 1 << "clicked" << 0 << false;
        QTest::newRow("click on a separator") << TrayMenu::kMaxItemId + 1 << "clicked" << 0 << false;
        QTest::newRow("hover") << 2 << "hovered" << 0 << false;
        QTest::newRow("root opened") << 0 << "opened" << 0 << false;
        QTest::newRow("unknown id") << 999 << "clicked" << 0 << true;
        QTest::newRow("negative id") << -1 << "clicked" << 0 << true;
    }

    void events()
    {
        QFETCH(int, id);
        QFETCH(QString, eventId);
        QFETCH(int, triggered);
        QFETCH(bool, error);
        QSignalSpy spy(m_exporter.get(), &DBusMenuExporter::menuItemTriggered);

        const QDBusMessage reply
            = callMenu(QStringLiteral("Event"), {id, eventId, QVariant::fromValue(QDBusVariant(0)), uint(12345)});
        QCOMPARE(reply.type(), error ? QDBusMessage::ErrorMessage : QDBusMessage::ReplyMessage);
        if (error)
            QCOMPARE(reply.errorName(), kInvalidArgs);
        QCOMPARE(spy.size(), triggered ? 1 : 0);
        if (triggered)
            QCOMPARE(spy.at(0).at(0).toInt(), triggered);
    }

    void nonsenseGetsAnErrorReply_data()
    {
        QTest::addColumn<QString>("method");
        QTest::addColumn<QVariantList>("arguments");
        QTest::addColumn<QString>("errorName");

        QTest::newRow("event id as a string") << "Event"
                                              << QVariantList {QStringLiteral("2"), QStringLiteral("clicked"),
                                                     QVariant::fromValue(QDBusVariant(0)), uint(0)}
                                              << kUnknownMethod;
        QTest::newRow("event without arguments") << "Event" << QVariantList() << kUnknownMethod;
        QTest::newRow("layout of an unknown entry")
            << "GetLayout" << QVariantList {999, -1, QStringList()} << kInvalidArgs;
        QTest::newRow("layout with a bad filter")
            << "GetLayout" << QVariantList {0, -1, QStringLiteral("label")} << kUnknownMethod;
        QTest::newRow("property of an unknown entry")
            << "GetProperty" << QVariantList {999, QStringLiteral("label")} << kInvalidArgs;
        QTest::newRow("unknown property")
            << "GetProperty" << QVariantList {2, QStringLiteral("x-frobnicate")} << kInvalidArgs;
        QTest::newRow("about to show an unknown entry") << "AboutToShow" << QVariantList {999} << kInvalidArgs;
        QTest::newRow("events for unknown entries only") << "EventGroup"
                                                         << QVariantList {QVariant::fromValue(QList<DBusMenuEvent> {
                                                                {998, QStringLiteral("clicked"), QDBusVariant(0), 0},
                                                                {999, QStringLiteral("clicked"), QDBusVariant(0), 0}})}
                                                         << kInvalidArgs;
        QTest::newRow("unknown method") << "Frobnicate" << QVariantList {1} << kUnknownMethod;
    }

    void nonsenseGetsAnErrorReply()
    {
        QFETCH(QString, method);
        QFETCH(QVariantList, arguments);
        QFETCH(QString, errorName);
        QSignalSpy spy(m_exporter.get(), &DBusMenuExporter::menuItemTriggered);

        const QDBusMessage reply = callMenu(method, arguments);
        QCOMPARE(reply.type(), QDBusMessage::ErrorMessage);
        QCOMPARE(reply.errorName(), errorName);
        QCOMPARE(spy.size(), 0);
        QVERIFY2(layout(), "still answers");
    }

    void eventGroupHandlesTheKnownAndReportsTheRest()
    {
        QSignalSpy spy(m_exporter.get(), &DBusMenuExporter::menuItemTriggered);
        const QList<DBusMenuEvent> events {
            {2, QStringLiteral("clicked"), QDBusVariant(0), 0}, {999, QStringLiteral("clicked"), QDBusVariant(0), 0}};
        const QDBusMessage reply = callMenu(QStringLiteral("EventGroup"), {QVariant::fromValue(events)});
        QCOMPARE(reply.type(), QDBusMessage::ReplyMessage);
        QCOMPARE(qdbus_cast<QList<int>>(reply.arguments().at(0)), QList<int> {999});
        QCOMPARE(spy.size(), 1);
        QCOMPARE(spy.at(0).at(0).toInt(), 2);
    }

    void changesAreAnnounced_data()
    {
        QTest::addColumn<int>("change");
        QTest::addColumn<bool>("newLayout");
        QTest::addColumn<QList<int>>("updatedIds");

        QTest::newRow("nothing changed") << 0 << false << QList<int>();
        QTest::newRow("label") << 1 << false << QList<int> {2};
        QTest::newRow("other coin checked") << 2 << false << QList<int> {101, 102};
        QTest::newRow("entry added") << 3 << true << QList<int>();
        QTest::newRow("kind changed") << 4 << true << QList<int>();
    }

    void changesAreAnnounced()
    {
        QFETCH(int, change);
        QFETCH(bool, newLayout);
        QFETCH(QList<int>, updatedIds);
        const uint before = m_exporter->layoutRevision();

        TrayMenu menu = shellMenu();
        if (change == 1)
            menu.setLabel(2, QStringLiteral("Preferences"));
        if (change == 2)
            menu.setChecked(102, true);
        if (change == 3)
            menu.addAction(5, QStringLiteral("About"));
        if (change == 4) {
            menu = TrayMenu();
            menu.addSubmenu(1, QStringLiteral("Change coin"));
            menu.addRadio(101, QStringLiteral("BTC - Bitcoin"), true, 1);
            menu.addAction(102, QStringLiteral("WBTC - Wrapped_Bitcoin"), true, 1);
        }
        m_exporter->setMenu(menu);
        settle();

        const QList<QDBusMessage> layouts = m_host.signalsNamed(QStringLiteral("LayoutUpdated"));
        const QList<QDBusMessage> properties = m_host.signalsNamed(QStringLiteral("ItemsPropertiesUpdated"));
        QCOMPARE(layouts.size(), newLayout ? 1 : 0);
        QCOMPARE(m_exporter->layoutRevision(), newLayout ? before + 1 : before);
        if (newLayout) {
            QCOMPARE(layouts.at(0).arguments().at(0).toUInt(), before + 1);
            QCOMPARE(layouts.at(0).arguments().at(1).toInt(), 0);
            uint revision = 0;
            QVERIFY(layout(0, -1, {}, &revision));
            QCOMPARE(revision, before + 1);
        }
        QList<int> ids;
        for (const QDBusMessage &message : properties) {
            for (const DBusMenuItemProperties &entry :
                qdbus_cast<QList<DBusMenuItemProperties>>(message.arguments().at(0)))
                ids.append(entry.id);
        }
        QCOMPARE(ids, updatedIds);
    }
};

QTEST_GUILESS_MAIN(TestDBusMenuExporter)
#include "tst_dbusmenuexporter.moc"
