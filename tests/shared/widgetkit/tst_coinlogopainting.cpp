// SPDX-License-Identifier: GPL-3.0-or-later
#include "testenvironment.h"
#include "widgetkit/bundledlogoimages.h"
#include "widgetkit/coinlogopainting.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QPainter>
#include <QTemporaryDir>
#include <QTest>

using namespace Vantrell;

namespace {

const QColor kAccent(0x0A, 0x84, 0xFF);

QImage canvas(int side)
{
    QImage image(side, side, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    return image;
}

// The box of the pixels drawn nearly opaque: the text, not the 15 % fill.
QRect inkBox(const QImage &image)
{
    QRect box;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (image.pixelColor(x, y).alpha() > 160)
                box |= QRect(x, y, 1, 1);
        }
    }
    return box;
}

QFont badgeFont(int pixelSize)
{
    QFont font = QGuiApplication::font();
    font.setPixelSize(pixelSize);
    font.setBold(true);
    return font;
}

bool near(const QColor &a, const QColor &b, int tolerance = 3)
{
    return std::abs(a.red() - b.red()) <= tolerance && std::abs(a.green() - b.green()) <= tolerance
        && std::abs(a.blue() - b.blue()) <= tolerance && std::abs(a.alpha() - b.alpha()) <= tolerance;
}

// Raw strings stay out of the test class: moc's lexer does not know them.
QByteArray orangeSquareSvg()
{
    return QByteArrayLiteral(R"(<svg xmlns="http://www.w3.org/2000/svg" viewBox="0 0 32 32">)"
                             R"(<rect width="32" height="32" fill="#F7931A"/></svg>)");
}

void writeFile(const QString &path, const QByteArray &data)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(data);
}

} // namespace

class TestCoinLogoPainting final : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void placeholderText_data()
    {
        QTest::addColumn<QString>("symbol");
        QTest::addColumn<QString>("text");
        QTest::newRow("four letters") << QStringLiteral("DOGE") << QStringLiteral("DOG");
        QTest::newRow("three letters") << QStringLiteral("BTC") << QStringLiteral("BTC");
        QTest::newRow("leveraged token") << QStringLiteral("BTCUP") << QStringLiteral("BTC");
        QTest::newRow("digits") << QStringLiteral("1INCH") << QStringLiteral("1IN");
        QTest::newRow("one letter") << QStringLiteral("T") << QStringLiteral("T");
        QTest::newRow("empty") << QString() << QString();
        // A reader's characters, not UTF-16 units: a surrogate pair stays whole.
        QTest::newRow("astral characters") << QStringLiteral("\U0001D539\U0001D54A\U0001D54B\U0001D54C")
                                           << QStringLiteral("\U0001D539\U0001D54A\U0001D54B");
        QTest::newRow("combining mark") << QStringLiteral("E\u0301TH") << QStringLiteral("E\u0301TH");
    }

    void placeholderText()
    {
        QFETCH(QString, symbol);
        QFETCH(QString, text);
        QCOMPARE(coinLogoPlaceholderText(symbol), text);
    }

    void placeholderPixels_data()
    {
        QTest::addColumn<QString>("symbol");
        QTest::addColumn<QString>("shown");
        QTest::newRow("DOGE shows DOG") << QStringLiteral("DOGE") << QStringLiteral("DOG");
        QTest::newRow("BTC shows BTC") << QStringLiteral("BTC") << QStringLiteral("BTC");
        QTest::newRow("BTCUP shows BTC") << QStringLiteral("BTCUP") << QStringLiteral("BTC");
        QTest::newRow("no symbol, only the circle") << QString() << QString();
    }

    void placeholderPixels()
    {
        QFETCH(QString, symbol);
        QFETCH(QString, shown);
        // At 128 pixels the text is 32 pixels high, as 8 is at 32.
        constexpr int side = 128;
        QImage image = canvas(side);
        {
            QPainter painter(&image);
            paintCoinLogoPlaceholder(painter, QRectF(0, 0, side, side), symbol, kAccent);
        }

        // The fill: the accent at 15 % inside the circle, nothing outside it.
        QColor fill = kAccent;
        fill.setAlpha(38);
        QVERIFY2(
            near(image.pixelColor(side / 2, 3), fill), qPrintable(image.pixelColor(side / 2, 3).name(QColor::HexArgb)));
        QVERIFY(near(image.pixelColor(8, side / 2), fill));
        QCOMPARE(image.pixelColor(2, 2).alpha(), 0);
        QCOMPARE(image.pixelColor(side - 3, side - 3).alpha(), 0);

        const QRect ink = inkBox(image);
        if (shown.isEmpty()) {
            QVERIFY(ink.isNull());
            return;
        }
        // The text is drawn in the accent colour, centred, and as wide as the shown characters.
        const QFontMetricsF metrics(badgeFont(32));
        const QRectF expected = metrics.tightBoundingRect(shown);
        QVERIFY2(std::abs(ink.width() - expected.width()) <= 3,
            qPrintable(QStringLiteral("ink %1 wide, \"%2\" is %3").arg(ink.width()).arg(shown).arg(expected.width())));
        QVERIFY2(std::abs(ink.center().x() - side / 2) <= 3, qPrintable(QString::number(ink.center().x())));
        QVERIFY2(std::abs(ink.center().y() - side / 2) <= 4, qPrintable(QString::number(ink.center().y())));
        if (shown != symbol)
            QVERIFY(metrics.tightBoundingRect(symbol).width() > ink.width() + 5);
        int accentPixels = 0;
        for (int y = ink.top(); y <= ink.bottom(); ++y) {
            for (int x = ink.left(); x <= ink.right(); ++x)
                accentPixels += near(image.pixelColor(x, y), kAccent, 2) ? 1 : 0;
        }
        QVERIFY(accentPixels > 20);
    }

    void placeholderTextScalesWithTheBadge()
    {
        QImage small = canvas(64);
        QImage large = canvas(128);
        for (QImage *image : {&small, &large}) {
            QPainter painter(image);
            paintCoinLogoPlaceholder(
                painter, QRectF(0, 0, image->width(), image->height()), QStringLiteral("ETH"), kAccent);
        }
        const int smallHeight = inkBox(small).height();
        const int largeHeight = inkBox(large).height();
        QVERIFY2(std::abs(largeHeight - 2 * smallHeight) <= 3,
            qPrintable(QStringLiteral("%1 vs %2").arg(smallHeight).arg(largeHeight)));
    }

    void imagesAreStretchedAndRound()
    {
        // Left half red, right half blue, and not square: stretched, not fitted.
        QImage logo(40, 20, QImage::Format_ARGB32);
        logo.fill(Qt::red);
        for (int y = 0; y < 20; ++y) {
            for (int x = 20; x < 40; ++x)
                logo.setPixelColor(x, y, Qt::blue);
        }
        QImage image = canvas(64);
        {
            QPainter painter(&image);
            paintCircularLogo(painter, QRectF(0, 0, 64, 64), logo);
        }
        QCOMPARE(image.pixelColor(16, 32), QColor(Qt::red));
        QCOMPARE(image.pixelColor(48, 32), QColor(Qt::blue));
        // Top and bottom of the circle are covered: the image fills the height.
        QCOMPARE(image.pixelColor(16, 10).alpha(), 255);
        QCOMPARE(image.pixelColor(48, 54).alpha(), 255);
        // Corners lie outside the circle.
        for (const QPoint corner : {QPoint(1, 1), QPoint(62, 1), QPoint(1, 62), QPoint(62, 62)})
            QCOMPARE(image.pixelColor(corner).alpha(), 0);
    }

    void largeImagesShrinkCleanly()
    {
        // A fine checkerboard shrunk eightfold averages to grey, not to whichever pixels a sampler hits.
        QImage logo(256, 256, QImage::Format_ARGB32);
        for (int y = 0; y < 256; ++y) {
            for (int x = 0; x < 256; ++x)
                logo.setPixelColor(x, y, (x + y) % 2 ? Qt::white : Qt::black);
        }
        QImage image = canvas(32);
        {
            QPainter painter(&image);
            paintCircularLogo(painter, QRectF(0, 0, 32, 32), logo);
        }
        const QColor centre = image.pixelColor(16, 16);
        QVERIFY2(std::abs(centre.red() - 128) < 24, qPrintable(centre.name()));
    }

    void bundledImages()
    {
        QTemporaryDir dir;
        Test::writeTestBundle(dir.path());
        writeFile(dir.filePath(QStringLiteral("images/coin-alpha.svg")), orangeSquareSvg());
        QImage png(10, 6, QImage::Format_ARGB32);
        png.fill(Qt::green);
        QDir().mkpath(dir.filePath(QStringLiteral("images")));
        QVERIFY(png.save(dir.filePath(QStringLiteral("images/coin-beta.png"))));
        writeFile(dir.filePath(QStringLiteral("images/coin-broken.svg")), "<svg");

        BundledLogoImages images {Bundle(dir.path())};
        const QImage alpha = images.image(QStringLiteral("coin-alpha"), 64);
        QCOMPARE(alpha.size(), QSize(64, 64));
        QCOMPARE(alpha.pixelColor(32, 32), QColor(0xF7, 0x93, 0x1A));
        QCOMPARE(images.image(QStringLiteral("coin-alpha"), 20).size(), QSize(20, 20));
        QCOMPARE(images.image(QStringLiteral("coin-beta"), 64).size(), QSize(10, 6));
        QVERIFY(images.image(QStringLiteral("coin-gamma"), 64).isNull());
        QVERIFY(images.image(QStringLiteral("coin-broken"), 64).isNull());
        QVERIFY(images.image(QString(), 64).isNull());
        QVERIFY(images.image(QStringLiteral("coin-alpha"), 0).isNull());
    }
};

QTEST_MAIN(TestCoinLogoPainting)
#include "tst_coinlogopainting.moc"
