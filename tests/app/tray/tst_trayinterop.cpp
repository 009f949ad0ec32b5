// SPDX-License-Identifier: GPL-3.0-or-later
#include "fakestatusnotifierwatcher.h"
#include "testenvironment.h"
#include "tray/statusnotifieritem.h"

#include <QProcess>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTest>

using namespace Vantrell;

// Reads the item with GLib's gdbus, an implementation of D-Bus that shares no
// code with QtDBus, as GNOME's panel would.
class TestTrayInterop final : public QObject
{
    Q_OBJECT

private:
    Test::IsolatedXdg m_xdg;
    Test::FakeStatusNotifierWatcher m_watcher;
    std::unique_ptr<StatusNotifierItem> m_item;

    // Runs gdbus without blocking this thread, which must answer it.
    QString gdbus(const QStringList &arguments)
    {
        QProcess process;
        process.start(QStringLiteral("gdbus"), arguments);
        [&] { QTRY_VERIFY_WITH_TIMEOUT(process.state() == QProcess::NotRunning, 20000); }();
        if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0) {
            qWarning() << "gdbus failed:" << process.readAllStandardError();
            return {};
        }
        return QString::fromUtf8(process.readAllStandardOutput()).trimmed();
    }

    QString call(const QString &path, const QString &method, const QStringList &arguments)
    {
        return gdbus(
            QStringList {QStringLiteral("call"), QStringLiteral("--session"), QStringLiteral("--dest"),
                m_item->serviceName(), QStringLiteral("--object-path"), path, QStringLiteral("--method"), method}
            + arguments);
    }

    QString property(const QString &name)
    {
        return call(QStringLiteral("/StatusNotifierItem"), QStringLiteral("org.freedesktop.DBus.Properties.Get"),
            {QStringLiteral("org.kde.StatusNotifierItem"), name});
    }

private Q_SLOTS:
    void initTestCase()
    {
        if (QStandardPaths::findExecutable(QStringLiteral("gdbus")).isEmpty())
            QSKIP("gdbus (libglib2.0-bin) is not installed");
        QVERIFY(m_watcher.start());
        m_item = std::make_unique<StatusNotifierItem>(QDBusConnection::sessionBus(),
            StatusNotifierItem::Options {
                .applicationId = QStringLiteral("org.vantrell.Test"),
                .formOverride = TrayForm::label,
            });
        QVERIFY(m_item->start());
        QTRY_VERIFY(m_item->isRegisteredWithWatcher());

        StatusPresentation presentation;
        presentation.kind = StatusPresentation::Kind::title;
        presentation.text = QStringLiteral("BTC 97,342");
        presentation.plain = false;
        presentation.textColor = PriceColor::of(kRiseGreen);
        presentation.coinName = QStringLiteral("Bitcoin");
        presentation.change24hPercent = 2.31;
        m_item->present(presentation);

        TrayMenu menu;
        menu.addAction(2, QStringLiteral("Settings"));
        menu.addSeparator();
        menu.addAction(4, QStringLiteral("Quit"));
        m_item->setMenu(menu);
    }

    void cleanupTestCase() { m_item.reset(); }

    void readsTheLabel() { QCOMPARE(property(QStringLiteral("XAyatanaLabel")), QStringLiteral("(<'BTC 97,342'>,)")); }

    void readsTheToolTip()
    {
        QCOMPARE(property(QStringLiteral("ToolTip")),
            QStringLiteral("(<('', @a(iiay) [], 'BTC 97,342', 'Bitcoin +2.31%')>,)"));
    }

    void readsTheIconPixmaps()
    {
        const QString pixmaps = property(QStringLiteral("IconPixmap"));
        QVERIFY2(pixmaps.startsWith(QLatin1String("(<[(16, 16, [byte ")), qPrintable(pixmaps.left(80)));
        QVERIFY(pixmaps.contains(QLatin1String("(48, 48, [")));
    }

    void introspectionDescribesTheInterfaces()
    {
        const QString xml = gdbus({QStringLiteral("introspect"), QStringLiteral("--session"), QStringLiteral("--dest"),
            m_item->serviceName(), QStringLiteral("--object-path"), QStringLiteral("/StatusNotifierItem")});
        for (const char *expected : {"interface org.kde.StatusNotifierItem", "readonly a(iiay) IconPixmap",
                 "readonly (sa(iiay)ss) ToolTip", "readonly o Menu", "XAyatanaNewLabel(", "Activate(in  i x,"})
            QVERIFY2(xml.contains(QLatin1String(expected)), expected);
    }

    void walksAndClicksTheMenu()
    {
        const QString layout = call(QStringLiteral("/MenuBar"), QStringLiteral("com.canonical.dbusmenu.GetLayout"),
            {QStringLiteral("--"), QStringLiteral("0"), QStringLiteral("-1"), QStringLiteral("[]")});
        QVERIFY2(layout.contains(QLatin1String("'label': <'Settings'>")), qPrintable(layout));
        QVERIFY(layout.contains(QLatin1String("'type': <'separator'>")));

        QSignalSpy triggered(m_item.get(), &TrayItem::menuItemTriggered);
        call(QStringLiteral("/MenuBar"), QStringLiteral("com.canonical.dbusmenu.Event"),
            {QStringLiteral("4"), QStringLiteral("clicked"), QStringLiteral("<''>"), QStringLiteral("0")});
        QTRY_COMPARE(triggered.size(), 1);
        QCOMPARE(triggered.at(0).at(0).toInt(), 4);
    }
};

QTEST_MAIN(TestTrayInterop)
#include "tst_trayinterop.moc"
