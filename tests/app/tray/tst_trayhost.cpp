// SPDX-License-Identifier: GPL-3.0-or-later
#include "tray/trayhost.h"

#include <QCoreApplication>
#include <QTest>

using namespace Vantrell;

Q_DECLARE_METATYPE(std::optional<TrayForm>)
Q_DECLARE_METATYPE(std::optional<bool>)
Q_DECLARE_METATYPE(std::optional<QPoint>)

class TestTrayHost final : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void profileForPanel_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("executable");
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<TrayForm>("form");
        QTest::addColumn<bool>("loadsIconFromPath");
        QTest::addColumn<std::optional<bool>>("darkPanel");

        const std::optional<bool> anyLook;
        const auto list = [](std::initializer_list<const char *> items) {
            QStringList result;
            for (const char *item : items)
                result.append(QString::fromUtf8(item));
            return result;
        };
        const QString xfcePlugins = QStringLiteral("/usr/lib/x86_64-linux-gnu/xfce4/panel/");
        QTest::newRow("GNOME Shell") << "gnome-shell"
                                     << "/usr/bin/gnome-shell" << list({"/usr/bin/gnome-shell"}) << TrayForm::label
                                     << true << std::optional<bool>(true);
        QTest::newRow("Plasma shell") << "plasmashell"
                                      << "" << QStringList() << TrayForm::icon << false << anyLook;
        QTest::newRow("Plasma 5 watcher in kded") << "kded5"
                                                  << "" << QStringList() << TrayForm::icon << false << anyLook;
        QTest::newRow("Plasma 6 watcher in kded") << "kded6"
                                                  << "" << QStringList() << TrayForm::icon << false << anyLook;
        QTest::newRow("XFCE panel") << "xfce4-panel"
                                    << "" << QStringList() << TrayForm::icon << false << anyLook;
        QTest::newRow("XFCE 4.18 Status Tray plug-in")
            << "panel-2-systray" << QString(xfcePlugins + QLatin1String("wrapper-2.0"))
            << QStringList {xfcePlugins + QLatin1String("wrapper-2.0"),
                   xfcePlugins + QLatin1String("plugins/libsystray.so")}
                + list({"2", "16777223", "systray", "Status Tray Plugin"})
            << TrayForm::icon << false << anyLook;
        QTest::newRow("waybar") << "waybar"
                                << "" << QStringList() << TrayForm::image << false << anyLook;
        QTest::newRow("waybar known by its command line only")
            << ""
            << "" << list({"/usr/bin/waybar", "-c", "/home/u/.config/waybar/config"}) << TrayForm::image << false
            << anyLook;
        QTest::newRow("waybar upgraded while running")
            << ""
            << "/usr/bin/waybar (deleted)" << QStringList() << TrayForm::image << false << anyLook;
        QTest::newRow("Ayatana service, truncated by comm")
            << "ayatana-indicat"
            << "" << QStringList() << TrayForm::label << false << anyLook;
        QTest::newRow("Ayatana service by its executable")
            << "ayatana-indicat"
            << "/usr/libexec/ayatana-indicator-application/ayatana-indicator-application-service" << QStringList()
            << TrayForm::label << false << anyLook;
        QTest::newRow("older indicator service, name cut")
            << "indicator-appli"
            << "" << QStringList() << TrayForm::label << false << anyLook;
        QTest::newRow("trailing newline of comm") << "waybar\n"
                                                  << "" << QStringList() << TrayForm::image << false << anyLook;
        // Every panel we do not know gets the square icon.
        QTest::newRow("unknown panel") << "tint2"
                                       << "/usr/bin/tint2" << list({"tint2"}) << TrayForm::icon << false << anyLook;
        QTest::newRow("not found") << ""
                                   << "" << QStringList() << TrayForm::icon << false << anyLook;
        QTest::newRow("prefix of a known name") << "gnome"
                                                << "" << QStringList() << TrayForm::icon << false << anyLook;
        QTest::newRow("short name is not taken as cut") << "wayba"
                                                        << "" << QStringList() << TrayForm::icon << false << anyLook;
        QTest::newRow("known name inside another")
            << "my-waybar"
            << "/opt/my-waybar" << list({"my-waybar"}) << TrayForm::icon << false << anyLook;
        QTest::newRow("directory named like a panel")
            << ""
            << "/opt/gnome-shell/helper" << QStringList() << TrayForm::icon << false << anyLook;
    }

    void profileForPanel()
    {
        QFETCH(QString, name);
        QFETCH(QString, executable);
        QFETCH(QStringList, arguments);
        QFETCH(TrayForm, form);
        QFETCH(bool, loadsIconFromPath);
        QFETCH(std::optional<bool>, darkPanel);
        const TrayHostProfile profile = trayHostProfileFor({name, executable, arguments});
        QCOMPARE(profile.form, form);
        QCOMPARE(profile.loadsIconFromPath, loadsIconFromPath);
        QCOMPARE(profile.darkPanel, darkPanel);
    }

    void readsAProcess()
    {
        const TrayHostProcess self = readTrayHostProcess(QCoreApplication::applicationPid());
        QCOMPARE(self.executable, QCoreApplication::applicationFilePath());
        QCOMPARE(self.arguments, QCoreApplication::arguments());
        QVERIFY(QCoreApplication::applicationFilePath().endsWith(QLatin1Char('/') + self.name));

        QCOMPARE(readTrayHostProcess(-1), TrayHostProcess());
    }

    void parseUserChoice_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<std::optional<TrayForm>>("expected");

        QTest::newRow("label") << "label" << std::optional(TrayForm::label);
        QTest::newRow("image, upper case and blanks") << " IMAGE " << std::optional(TrayForm::image);
        QTest::newRow("icon") << "icon" << std::optional(TrayForm::icon);
        QTest::newRow("empty") << "" << std::optional<TrayForm>();
        QTest::newRow("internal form is not a choice") << "labelAndImage" << std::optional<TrayForm>();
        QTest::newRow("misspelt") << "lable" << std::optional<TrayForm>();
    }

    void parseUserChoice()
    {
        QFETCH(QString, text);
        QFETCH(std::optional<TrayForm>, expected);
        QCOMPARE(parseTrayForm(text), expected);
    }

    void panelPoints_data()
    {
        QTest::addColumn<QPoint>("panelPoint");
        QTest::addColumn<std::optional<QPoint>>("expected");

        // Left screen 1920x1080 at ratio 1; right screen 1280x720 logical at
        // ratio 2, i.e. 2560x1440 device pixels starting at x 1920.
        QTest::newRow("plain screen") << QPoint(100, 12) << std::optional(QPoint(100, 12));
        QTest::newRow("no position") << QPoint(0, 0) << std::optional<QPoint>();
        QTest::newRow("scaled screen, device pixels")
            << QPoint(1920 + 2000, 30) << std::optional(QPoint(1920 + 1000, 15));
        QTest::newRow("scaled screen, last device pixel")
            << QPoint(1920 + 2559, 1439) << std::optional(QPoint(1920 + 1279, 719));
        QTest::newRow("below the short screen") << QPoint(1920 + 10, 1500) << std::optional<QPoint>();
        QTest::newRow("left of every screen") << QPoint(-5, 10) << std::optional<QPoint>();
        QTest::newRow("far away") << QPoint(100000, 100000) << std::optional<QPoint>();
    }

    void panelPoints()
    {
        QFETCH(QPoint, panelPoint);
        QFETCH(std::optional<QPoint>, expected);
        const QList<ScreenArea> screens {{QRect(0, 0, 1920, 1080), 1.0}, {QRect(1920, 0, 1280, 720), 2.0}};
        QCOMPARE(panelPointToLogical(panelPoint, screens), expected);
    }
};

QTEST_GUILESS_MAIN(TestTrayHost)
#include "tst_trayhost.moc"
