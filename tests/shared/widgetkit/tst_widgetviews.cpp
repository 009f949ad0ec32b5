// SPDX-License-Identifier: GPL-3.0-or-later
#include "paintrecorder.h"
#include "platform/bundle.h"
#include "widgetkit/priceformatter.h"
#include "widgetkit/widgetviews.h"

#include <QDir>
#include <QPainter>
#include <QTemporaryDir>
#include <QTest>

using namespace Vantrell;

namespace {

const QDateTime kUpdated(QDate(2026, 3, 1), QTime(12, 0), Qt::UTC);
const QColor kRise(0x2C, 0xBD, 0x84);
const QColor kFall(0xF6, 0x46, 0x5D);

WidgetEntryContent sampleContent(int rowCount, AppLanguage language = AppLanguage::en)
{
    const QList<WidgetRow> all {
        {QStringLiteral("bitcoin"), QStringLiteral("BTC"), QStringLiteral("Bitcoin"), QStringLiteral("coin-bitcoin"),
            true, 97342.6, 2.31},
        {QStringLiteral("ethereum"), QStringLiteral("ETH"), QStringLiteral("Ethereum"), QStringLiteral("coin-ethereum"),
            true, 3421.07, -1.27},
        {QStringLiteral("dogecoin"), QStringLiteral("DOGE"), QStringLiteral("Dogecoin"), std::nullopt, true, 0.38214,
            0.0},
        {QStringLiteral("terra-luna"), QStringLiteral("LUNC"), QStringLiteral("Terra Classic"), std::nullopt, false,
            std::nullopt, std::nullopt},
        {QStringLiteral("solana"), QStringLiteral("SOL"), QStringLiteral("Solana"), std::nullopt, true, 187.4, 5.72},
        {QStringLiteral("ripple"), QStringLiteral("XRP"), QStringLiteral("XRP"), std::nullopt, true, 2.41, -0.5},
        {QStringLiteral("wrapped-long-name"), QStringLiteral("BTCUP"),
            QStringLiteral("A coin with a name far too long for any widget row"), std::nullopt, true, 1234567.89,
            -12.5},
        {QStringLiteral("toncoin"), QStringLiteral("TON"), QStringLiteral("Toncoin"), std::nullopt, true, std::nullopt,
            std::nullopt},
    };
    WidgetEntryContent content;
    content.rows = all.mid(0, rowCount);
    content.currency = BaseCurrency::usd;
    content.updatedAt = kUpdated;
    content.language = language;
    return content;
}

QPalette darkPalette()
{
    QPalette palette;
    palette.setColor(QPalette::Window, QColor(0x1E, 0x1E, 0x1E));
    palette.setColor(QPalette::WindowText, Qt::white);
    palette.setColor(QPalette::Highlight, QColor(0x0A, 0x84, 0xFF));
    return palette;
}

QString outputDirectory()
{
    const QString path = QDir::temp().filePath(QStringLiteral("vantrell-widget-views"));
    QDir().mkpath(path);
    return path;
}

} // namespace

class TestWidgetViews final : public QObject
{
    Q_OBJECT

    QTemporaryDir m_logoCache;
    std::unique_ptr<WidgetResources> m_resources;

    // Paints the list into `rect` of a recorder and returns what it drew.
    std::unique_ptr<Test::PaintRecorder> record(const WidgetEntryContent &content, const QRectF &rect, bool large,
        const WidgetEnvironment &environment, const QDateTime &now = kUpdated)
    {
        auto recorder = std::make_unique<Test::PaintRecorder>(QSize(400, 420));
        QPainter painter(recorder.get());
        WidgetListView::paint(painter, rect, content, now, large, *m_resources, environment);
        return recorder;
    }

private Q_SLOTS:
    void init()
    {
        m_resources = std::make_unique<WidgetResources>(
            Bundle(QStringLiteral(VANTRELL_BUILD_BUNDLE_DIR)), CoinLogoCache {m_logoCache.path()});
    }

    void listShowsEveryRowInItsPlace_data()
    {
        QTest::addColumn<int>("rowCount");
        QTest::addColumn<bool>("large");
        QTest::addColumn<qreal>("boost");
        QTest::addColumn<AppLanguage>("language");
        QTest::addColumn<QString>("title");

        QTest::newRow("1 row") << 1 << false << 0.0 << AppLanguage::en << "Watchlist";
        QTest::newRow("4 rows, simplified chinese") << 4 << false << 0.0 << AppLanguage::zhHans << "自选";
        QTest::newRow("8 rows, large") << 8 << true << 0.0 << AppLanguage::en << "Watchlist";
        QTest::newRow("8 rows, large, boosted, traditional") << 8 << true << 2.0 << AppLanguage::zhHant << "觀察清單";
    }

    void listShowsEveryRowInItsPlace()
    {
        QFETCH(int, rowCount);
        QFETCH(bool, large);
        QFETCH(qreal, boost);
        QFETCH(AppLanguage, language);
        QFETCH(QString, title);

        const WidgetEntryContent content = sampleContent(rowCount, language);
        const QRectF rect(14, 14, 336, WidgetListLayout::height(rowCount, large, boost));
        const auto recorder = record(content, rect, large, WidgetEnvironment {.textBoost = boost});
        const QString all = recorder->allText();

        QVERIFY2(recorder->find(title), qPrintable(all));
        // The symbol beside the logo (a logo badge may show the same letters).
        const auto symbolOf = [&](const WidgetRow &row) -> const Test::PaintRecorder::Text * {
            for (const Test::PaintRecorder::Text &text : recorder->texts()) {
                if (text.text == row.symbol && text.baselineStart.x() > rect.left() + 22)
                    return &text;
            }
            return nullptr;
        };
        const qreal pitch = WidgetListLayout::rowHeight(large, boost) + WidgetListLayout::dividerHeight;
        const Test::PaintRecorder::Text *first = symbolOf(content.rows.first());
        QVERIFY(first);
        for (int i = 0; i < rowCount; ++i) {
            const WidgetRow &row = content.rows.at(i);
            const Test::PaintRecorder::Text *symbol = symbolOf(row);
            QVERIFY2(symbol, qPrintable(row.symbol + QStringLiteral(" missing from ") + all));
            QCOMPARE(symbol->baselineStart.y(), first->baselineStart.y() + i * pitch);
            if (row.price)
                QVERIFY2(recorder->find(formatPrice(*row.price, content.currency, true)), qPrintable(all));
        }
        // Every text stays inside the rectangle, left of its right edge.
        for (const Test::PaintRecorder::Text &text : recorder->texts()) {
            const qreal right = text.baselineStart.x() + QFontMetricsF(text.font).horizontalAdvance(text.text);
            QVERIFY2(text.baselineStart.x() >= rect.left() - 0.5 && right <= rect.right() + 0.5, qPrintable(text.text));
            QVERIFY2(text.baselineStart.y() <= rect.bottom(), qPrintable(text.text));
        }
    }

    void changeAndSecondaryColours_data()
    {
        QTest::addColumn<bool>("halo");
        QTest::addColumn<bool>("colorByChange");
        QTest::addColumn<QString>("drawn");
        QTest::addColumn<QColor>("color");

        const QColor black(Qt::black);
        const QColor white(Qt::white);
        QTest::newRow("rise in the rise colour") << false << true << "▲ +2.31%" << kRise;
        QTest::newRow("fall in the fall colour") << false << true << "▼ -1.27%" << kFall;
        QTest::newRow("zero counts as a rise") << false << true << "▲ +0.00%" << kRise;
        QTest::newRow("colours off") << false << false << "▲ +2.31%" << black;
        QTest::newRow("halo colours only the symbol") << true << true << "▲ " << kRise;
        QTest::newRow("halo keeps the number in the text colour") << true << true << "+2.31%" << white;
        QTest::newRow("delisted is secondary") << false << true << "Delisted" << QColor(0, 0, 0, 128);
        QTest::newRow("secondary under the halo is light") << true << true << "Bitcoin" << QColor(255, 255, 255, 217);
    }

    void changeAndSecondaryColours()
    {
        QFETCH(bool, halo);
        QFETCH(bool, colorByChange);
        QFETCH(QString, drawn);
        QFETCH(QColor, color);

        WidgetEntryContent content = sampleContent(4);
        content.colorByChange = colorByChange;
        WidgetEnvironment environment {.textHalo = halo};
        if (halo)
            environment.textColor = Qt::white;
        Test::PaintRecorder recorder(QSize(400, 300));
        {
            QPainter painter(&recorder);
            WidgetListView::paint(painter, QRectF(0, 0, 364, 200), content, kUpdated, false, *m_resources, environment);
        }
        const Test::PaintRecorder::Text *text = nullptr;
        for (const Test::PaintRecorder::Text &candidate : recorder.texts()) {
            if (candidate.text == drawn)
                text = &candidate;
        }
        QVERIFY2(text, qPrintable(recorder.allText()));
        QCOMPARE(text->color, color);
    }

    void staleTimeWarnsInOrange()
    {
        const auto recorder
            = record(sampleContent(2), QRectF(0, 0, 336, 100), false, WidgetEnvironment {}, kUpdated.addSecs(1801));
        const Test::PaintRecorder::Text *warning = recorder->find(QStringLiteral("\u26A0\uFE0E"));
        QVERIFY2(warning, qPrintable(recorder->allText()));
        QCOMPARE(warning->color, QColor(0xFF, 0x95, 0x00));
    }

    // A redraw is skipped only when nothing drawn would differ.
    void drawsTheSame_data()
    {
        QTest::addColumn<WidgetEntryContent>("later");
        QTest::addColumn<qint64>("laterBySeconds"); // the moment it is drawn at
        QTest::addColumn<bool>("same");

        const WidgetEntryContent first = sampleContent(3);
        WidgetEntryContent sameMinute = first;
        sameMinute.updatedAt = kUpdated.addSecs(59);
        WidgetEntryContent nextMinute = first;
        nextMinute.updatedAt = kUpdated.addSecs(60);
        WidgetEntryContent moved = sameMinute;
        moved.rows[1].price = 3421.08;
        WidgetEntryContent newLine = sameMinute;
        newLine.rows[0].history24h.values = {97000, 97342.6};

        QTest::newRow("a poll that moved nothing") << sameMinute << qint64(59) << true;
        QTest::newRow("the shown minute turns") << nextMinute << qint64(60) << false;
        QTest::newRow("a price moved") << moved << qint64(59) << false;
        QTest::newRow("a new 24-hour line") << newLine << qint64(59) << false;
        QTest::newRow("the time goes stale") << first << qint64(1801) << false;
    }

    void drawsTheSame()
    {
        QFETCH(WidgetEntryContent, later);
        QFETCH(qint64, laterBySeconds);
        QFETCH(bool, same);
        QCOMPARE(widgetDrawsTheSame(sampleContent(3), kUpdated, later, kUpdated.addSecs(laterBySeconds)), same);
    }

    void emptyViewWithoutPrices_data()
    {
        QTest::addColumn<bool>("withTime");
        QTest::addColumn<AppLanguage>("language");
        QTest::addColumn<QString>("text");
        QTest::newRow("no time, english") << false << AppLanguage::en << "No prices yet";
        QTest::newRow("time but no price, traditional") << true << AppLanguage::zhHant << "尚無行情";
    }

    void emptyViewWithoutPrices()
    {
        QFETCH(bool, withTime);
        QFETCH(AppLanguage, language);
        QFETCH(QString, text);
        WidgetEntryContent content = sampleContent(withTime ? 1 : 3, language);
        if (withTime)
            content.rows.first().price.reset();
        else
            content.updatedAt.reset();
        const auto recorder = record(content, QRectF(0, 0, 170, 170), false, WidgetEnvironment {});
        QCOMPARE(recorder->allText(), text);
        const Test::PaintRecorder::Text &drawn = recorder->texts().first();
        const qreal width = QFontMetricsF(drawn.font).horizontalAdvance(drawn.text);
        QVERIFY(qAbs(drawn.baselineStart.x() + width / 2 - 85) < 1);
    }

    // Real pixels at 1× and 2×: the change text in its colour where the row
    // puts it, and logos drawn. The renders are kept for a look.
    void rendersCrisplyAtBothScales_data()
    {
        QTest::addColumn<qreal>("scale");
        QTest::addColumn<bool>("dark");
        QTest::newRow("1x light") << 1.0 << false;
        QTest::newRow("2x dark") << 2.0 << true;
    }

    void rendersCrisplyAtBothScales()
    {
        QFETCH(qreal, scale);
        QFETCH(bool, dark);
        const QSize size(364, 382);
        QImage image(size * scale, QImage::Format_ARGB32_Premultiplied);
        image.setDevicePixelRatio(scale);
        image.fill(dark ? QColor(0x1E, 0x1E, 0x1E) : QColor(Qt::white));
        const WidgetEnvironment environment
            = dark ? WidgetEnvironment::fromPalette(darkPalette()) : WidgetEnvironment::fromPalette(QPalette());
        {
            QPainter painter(&image);
            WidgetListView::paint(
                painter, QRectF(16, 16, 332, 350), sampleContent(8), kUpdated, true, *m_resources, environment);
        }
        const QString tag = QString::fromUtf8(QTest::currentDataTag()).replace(u' ', u'-');
        QVERIFY(image.save(QStringLiteral("%1/list-%2.png").arg(outputDirectory(), tag)));

        // First row: the change text (right end) and the logo (left end).
        const WidgetListLayout layout = WidgetListLayout::of(QRectF(16, 16, 332, 350), 8, true, 0);
        const QRectF firstRow = layout.rows.first();
        int risePixels = 0;
        for (int x = int((firstRow.right() - 74) * scale); x < int(firstRow.right() * scale); ++x) {
            for (int y = int(firstRow.top() * scale); y < int(firstRow.bottom() * scale); ++y) {
                const QColor pixel = image.pixelColor(x, y);
                risePixels += qAbs(pixel.red() - kRise.red()) < 16 && qAbs(pixel.green() - kRise.green()) < 16
                    && qAbs(pixel.blue() - kRise.blue()) < 16;
            }
        }
        QVERIFY2(risePixels > 20 * scale * scale, qPrintable(QString::number(risePixels)));
        const QColor logoCentre
            = image.pixelColor(int((firstRow.left() + 11) * scale), int(firstRow.center().y() * scale));
        QVERIFY2(logoCentre != image.pixelColor(0, 0), "no logo in the first row");
    }
};

QTEST_MAIN(TestWidgetViews)
#include "tst_widgetviews.moc"
