// SPDX-License-Identifier: GPL-3.0-or-later
#include "i18n/localizationmanager.h"
#include "platform/bundle.h"
#include "popover/coinpopoverview.h"
#include "popover/popoverlayout.h"
#include "popover/popoverwindow.h"
#include "popovertestsupport.h"
#include "settingsstore/settingsviewmodel.h"
#include "testenvironment.h"
#include "ui/notificationcenter.h"

#include <QApplication>
#include <QCursor>
#include <QDir>
#include <QPainter>
#include <QScreen>
#include <QSignalSpy>
#include <QTest>

using namespace Vantrell;
using namespace std::chrono_literals;

namespace {

StringBundle strings(AppLanguage language)
{
    return LocalizationManager::bundle(language, Bundle(QStringLiteral(VANTRELL_BUILD_BUNDLE_DIR)), {});
}

// A popover window over fakes, with a clock the test moves.
struct Fixture
{
    Test::MemorySettingsStore store;
    SettingsViewModel settings {store};
    Test::FakeCoinListFeed coins;
    UpdateController updates;
    AppNotificationCenter notifications;
    std::chrono::milliseconds now {100s};
    PopoverWindow window;

    explicit Fixture(PopoverWindow::Mode mode = PopoverWindow::Mode::popup, bool compositing = false)
        : window(new CoinPopoverView(coins, settings, updates, notifications, nullptr), mode, [this] { return now; })
    {
        coins.setCoins(Test::sampleCoins(3));
        window.setCompositingProbe([compositing] { return compositing; });
    }

    QRect contentRect() const { return QRect(window.content()->mapToGlobal(QPoint(0, 0)), window.content()->size()); }
};

QRect screenGeometry()
{
    return QGuiApplication::primaryScreen()->geometry();
}

QRect availableGeometry()
{
    return QGuiApplication::primaryScreen()->availableGeometry();
}

} // namespace

class TestPopoverWindow final : public QObject
{
    Q_OBJECT

private:
    Test::IsolatedXdg m_xdg;

private Q_SLOTS:
    void initTestCase()
    {
        QApplication::setFont(QFont(QStringLiteral("DejaVu Sans"), 10));
        LocalizationManager::shared().setBundle(strings(AppLanguage::en));
    }

    void cleanup() { LocalizationManager::shared().setBundle(strings(AppLanguage::en)); }

    void reopenGuard_data()
    {
        QTest::addColumn<QString>("closedBy");
        QTest::addColumn<int>("delayMs");
        QTest::addColumn<bool>("reopens");
        QTest::newRow("outside click, same instant") << QStringLiteral("outside") << 0 << false;
        QTest::newRow("outside click, 249 ms later") << QStringLiteral("outside") << 249 << false;
        QTest::newRow("outside click, 250 ms later") << QStringLiteral("outside") << 250 << true;
        QTest::newRow("outside click, 2 s later") << QStringLiteral("outside") << 2000 << true;
        QTest::newRow("tray click") << QStringLiteral("toggle") << 0 << true;
        QTest::newRow("escape") << QStringLiteral("escape") << 0 << true;
        QTest::newRow("shell") << QStringLiteral("dismiss") << 0 << true;
    }

    void reopenGuard()
    {
        QFETCH(QString, closedBy);
        QFETCH(int, delayMs);
        QFETCH(bool, reopens);

        Fixture fixture;
        const QPoint anchor(400, 5);
        fixture.window.toggle(anchor);
        QVERIFY(fixture.window.isShown());
        fixture.now += 5s;

        if (closedBy == QLatin1String("outside"))
            fixture.window.close(); // what Qt does to a popup on a click outside it
        else if (closedBy == QLatin1String("toggle"))
            fixture.window.toggle(anchor);
        else if (closedBy == QLatin1String("escape"))
            QTest::keyClick(&fixture.window, Qt::Key_Escape);
        else
            fixture.window.dismiss();
        QVERIFY(!fixture.window.isShown());

        fixture.now += std::chrono::milliseconds(delayMs);
        fixture.window.toggle(anchor);
        QCOMPARE(fixture.window.isShown(), reopens);
    }

    void clickOutsideClosesAndIsNotTakenForAToggle_data()
    {
        QTest::addColumn<bool>("onTheShadow");
        QTest::newRow("on another window") << false;
        QTest::newRow("on the popover's shadow") << true;
    }

    void clickOutsideClosesAndIsNotTakenForAToggle()
    {
        QFETCH(bool, onTheShadow);

        QWidget elsewhere;
        elsewhere.setGeometry(availableGeometry());
        elsewhere.show();
        QVERIFY(QTest::qWaitForWindowExposed(&elsewhere));

        Fixture fixture(PopoverWindow::Mode::popup, onTheShadow);
        const QPoint anchor(100, 5);
        fixture.window.open(anchor);
        QVERIFY(QTest::qWaitForWindowExposed(&fixture.window));
        // Through the window system, as a real click comes, so that Qt routes
        // it to the open popup first.
        if (onTheShadow) {
            const QPoint belowContent = fixture.window.content()->geometry().bottomLeft() + QPoint(20, 10);
            QVERIFY(fixture.window.rect().contains(belowContent));
            QTest::mouseClick(fixture.window.windowHandle(), Qt::LeftButton, {}, belowContent);
        } else {
            const QPoint outside = elsewhere.mapFromGlobal(fixture.contentRect().bottomRight() + QPoint(40, 40));
            QTest::mouseClick(elsewhere.windowHandle(), Qt::LeftButton, {}, outside);
        }
        QVERIFY(!fixture.window.isShown());

        fixture.now += 100ms;
        fixture.window.toggle(anchor);
        QVERIFY(!fixture.window.isShown());
        fixture.now += 200ms;
        fixture.window.toggle(anchor);
        QVERIFY(fixture.window.isShown());
    }

    void opensAtTheAnchor_data()
    {
        QTest::addColumn<bool>("compositing");
        QTest::addColumn<QPoint>("anchor");
        const QRect screen = screenGeometry();
        for (const bool compositing : {false, true}) {
            const char *look = compositing ? "translucent" : "opaque";
            // (0, 0) itself is the null point, which stands for the cursor position.
            QTest::addRow("%s, top left", look) << compositing << screen.topLeft() + QPoint(1, 1);
            QTest::addRow("%s, top right", look) << compositing << screen.topRight();
            QTest::addRow("%s, bottom middle", look) << compositing << QPoint(screen.center().x(), screen.bottom());
            QTest::addRow("%s, off the screen", look) << compositing << screen.bottomRight() + QPoint(500, 500);
        }
    }

    void opensAtTheAnchor()
    {
        QFETCH(bool, compositing);
        QFETCH(QPoint, anchor);

        Fixture fixture(PopoverWindow::Mode::popup, compositing);
        fixture.window.open(anchor);
        QVERIFY(fixture.window.isShown());
        QCOMPARE(fixture.window.isTranslucent(), compositing);
        const QRect content = fixture.contentRect();
        QCOMPARE(content.topLeft(), popoverPlacement(anchor, QSize(320, 298), screenGeometry(), availableGeometry()));
        QVERIFY(availableGeometry().contains(content));
    }

    void nullAnchorOpensAtTheCursor()
    {
        Fixture fixture;
        const QPoint cursor = screenGeometry().center() + QPoint(-150, 120);
        QCursor::setPos(cursor);
        if (QCursor::pos() != cursor)
            QSKIP("the platform does not move the cursor");
        fixture.window.open();
        QCOMPARE(fixture.contentRect().topLeft(),
            popoverPlacement(cursor, QSize(320, 298), screenGeometry(), availableGeometry()));
    }

    void growsWithTheCoinListWhileShown()
    {
        Fixture fixture(PopoverWindow::Mode::popup, true);
        const QPoint anchor(screenGeometry().center().x(), screenGeometry().top());
        fixture.window.open(anchor);
        fixture.coins.setCoins(Test::sampleCoins(10));
        const QRect content = fixture.contentRect();
        QCOMPARE(content.size(), QSize(320, 506));
        QCOMPARE(content.topLeft(), popoverPlacement(anchor, QSize(320, 506), screenGeometry(), availableGeometry()));
        QCOMPARE(fixture.window.size(), QSize(320, 506).grownBy(popoverShadowMargins()));
    }

    void openWhileShownKeepsItInPlace()
    {
        Fixture fixture;
        fixture.window.open(QPoint(100, 5));
        const QRect before = fixture.contentRect();
        QSignalSpy shown(&fixture.window, &PopoverWindow::shownChanged);
        fixture.window.open(QPoint(600, 5));
        QVERIFY(fixture.window.isShown());
        QCOMPARE(fixture.contentRect(), before);
        QCOMPARE(shown.count(), 0);
        fixture.window.dismiss();
        QCOMPARE(shown.count(), 1);
        QCOMPARE(shown.at(0).at(0).toBool(), false);
    }

    // Translucent: rounded corners show what lies beneath and a soft shadow
    // falls below. Opaque: the window is cut to the rounded shape.
    void looksRoundedEitherWay()
    {
        {
            Fixture fixture(PopoverWindow::Mode::popup, true);
            fixture.window.open(QPoint(300, 5));
            QVERIFY(QTest::qWaitForWindowExposed(&fixture.window));
            QVERIFY(fixture.window.testAttribute(Qt::WA_TranslucentBackground));
            const QMargins margins = popoverShadowMargins();
            QCOMPARE(fixture.window.size(), QSize(320, 298).grownBy(margins));
            const QImage image = fixture.window.grab().toImage();
            const auto alphaAt = [&image](int x, int y) { return qAlpha(image.pixel(x, y)); };
            // The corner of the content is cut round, with the shadow faint there.
            QVERIFY(alphaAt(margins.left() + 1, margins.top() + 1) < 60);
            QCOMPARE(alphaAt(0, 0), 0);
            // The middle is the content itself.
            QVERIFY(alphaAt(image.width() / 2, image.height() / 2) >= 240);
            // Below the content: a shadow, faint and fading.
            const int below = margins.top() + 298 + 6;
            QVERIFY(alphaAt(image.width() / 2, below) > 8);
            QVERIFY(alphaAt(image.width() / 2, below) <= 40);
            QVERIFY(alphaAt(image.width() / 2, below + 12) < alphaAt(image.width() / 2, below));

            // The look as a user sees it, over a plain desktop.
            QImage desktop(image.size(), QImage::Format_ARGB32_Premultiplied);
            desktop.fill(QColor(0x6A, 0x8C, 0xAF));
            QPainter(&desktop).drawImage(0, 0, image);
            const QString path = QDir::temp().filePath(QStringLiteral("vantrell-popover-views"));
            QDir().mkpath(path);
            QVERIFY(desktop.save(path + QStringLiteral("/popover-window-translucent.png")));

            fixture.window.dismiss();
            fixture.window.setCompositingProbe([] { return false; });
            fixture.window.open(QPoint(300, 5));
            QVERIFY(!fixture.window.isTranslucent());
            QVERIFY(!fixture.window.testAttribute(Qt::WA_TranslucentBackground));
            QCOMPARE(fixture.window.size(), QSize(320, 298));
        }
        {
            Fixture fixture(PopoverWindow::Mode::popup, false);
            fixture.window.open(QPoint(300, 5));
            const QRegion mask = fixture.window.mask();
            QVERIFY(!mask.isEmpty());
            QVERIFY(!mask.contains(QPoint(0, 0)));
            QVERIFY(!mask.contains(QPoint(319, 297)));
            QVERIFY(mask.contains(QPoint(160, 149)));
            QVERIFY(mask.contains(QPoint(12, 0)));
            QVERIFY(mask.contains(QPoint(0, 12)));
        }
    }

    void withoutATrayItIsANormalWindow()
    {
        Fixture fixture(PopoverWindow::Mode::window, true);
        QCOMPARE(fixture.window.windowType(), Qt::Window);
        QCOMPARE(fixture.window.windowTitle(), QStringLiteral("Vantrell Prices"));
        QCOMPARE(fixture.window.content()->frame(), CoinPopoverView::Frame::plain);

        fixture.window.open();
        QVERIFY(fixture.window.isShown());
        QVERIFY(!fixture.window.isTranslucent());
        QCOMPARE(fixture.window.size(), QSize(320, 298));
        QVERIFY(fixture.window.mask().isEmpty());

        // Closed like any window, it opens again at once.
        fixture.window.close();
        fixture.window.toggle();
        QVERIFY(fixture.window.isShown());

        LocalizationManager::shared().setBundle(strings(AppLanguage::zhHans));
        QCOMPARE(fixture.window.windowTitle(), QStringLiteral("Vantrell 行情"));
    }
};

QTEST_MAIN(TestPopoverWindow)
#include "tst_popoverwindow.moc"
