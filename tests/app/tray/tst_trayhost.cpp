// SPDX-License-Identifier: GPL-3.0-or-later
#include "tray/trayhost.h"

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
        QTest::addColumn<QString>("process");
        QTest::addColumn<TrayForm>("form");
        QTest::addColumn<bool>("loadsIconFromPath");
        QTest::addColumn<std::optional<bool>>("darkPanel");

        QTest::newRow("GNOME Shell") << "gnome-shell" << TrayForm::label << true << std::optional<bool>(true);
        QTest::newRow("Plasma shell") << "plasmashell" << TrayForm::icon << false << std::optional<bool>();
        QTest::newRow("Plasma 5 watcher in kded") << "kded5" << TrayForm::icon << false << std::optional<bool>();
        QTest::newRow("Plasma 6 watcher in kded") << "kded6" << TrayForm::icon << false << std::optional<bool>();
        QTest::newRow("XFCE panel") << "xfce4-panel" << TrayForm::icon << false << std::optional<bool>();
        QTest::newRow("waybar") << "waybar" << TrayForm::image << false << std::optional<bool>();
        QTest::newRow("Ayatana service, truncated by comm")
            << "ayatana-indicat" << TrayForm::label << false << std::optional<bool>();
        QTest::newRow("trailing newline of comm") << "waybar\n" << TrayForm::image << false << std::optional<bool>();
        QTest::newRow("unknown panel") << "tint2" << TrayForm::labelAndImage << false << std::optional<bool>();
        QTest::newRow("not found") << "" << TrayForm::labelAndImage << false << std::optional<bool>();
        QTest::newRow("prefix of a known name") << "gnome" << TrayForm::labelAndImage << false << std::optional<bool>();
    }

    void profileForPanel()
    {
        QFETCH(QString, process);
        QFETCH(TrayForm, form);
        QFETCH(bool, loadsIconFromPath);
        QFETCH(std::optional<bool>, darkPanel);
        const TrayHostProfile profile = trayHostProfileForProcess(process);
        QCOMPARE(profile.form, form);
        QCOMPARE(profile.loadsIconFromPath, loadsIconFromPath);
        QCOMPARE(profile.darkPanel, darkPanel);
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
