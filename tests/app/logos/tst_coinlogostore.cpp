// SPDX-License-Identifier: GPL-3.0-or-later
#include "fakehttpclient.h"
#include "logcapture.h"
#include "logos/coinlogostore.h"
#include "testenvironment.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

using namespace Vantrell;

namespace {

QByteArray pngBytes(QColor color = Qt::red, QSize size = {16, 16})
{
    QImage image(size, QImage::Format_ARGB32);
    image.fill(color);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

// An SVG logo padded with blanks to exactly `size` bytes.
QByteArray svgOfSize(qsizetype size)
{
    QByteArray svg = QByteArrayLiteral(R"(<svg xmlns="http://www.w3.org/2000/svg" viewBox="0 0 32 32">)"
                                       R"(<circle cx="16" cy="16" r="16" fill="#345D9D"/></svg>)");
    svg.append(QByteArray(size - svg.size(), ' '));
    return svg;
}

QString logoAddress(const QString &id)
{
    return QStringLiteral("https://assets.coingecko.com/coins/images/1/large/%1.png?1547033579").arg(id);
}

CoinMetadata coin(const QString &id, std::optional<QString> logoURL = {}, QString assetName = {})
{
    CoinMetadata metadata;
    metadata.id = id;
    metadata.symbol = id.left(4).toUpper();
    metadata.name = id;
    metadata.logoURL = logoURL ? logoURL : std::optional<QString>(logoAddress(id));
    metadata.logoAssetName = std::move(assetName);
    return metadata;
}

QUrl urlOf(const CoinMetadata &metadata)
{
    return QUrl(*metadata.logoURL);
}

bool writeFile(const QString &path, const QByteArray &data)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(data) == data.size();
}

QStringList messages(const Test::LogCapture &log, QtMsgType type)
{
    QStringList found;
    for (const auto &record : log.records(QStringLiteral("CoinLogos"))) {
        if (record.type == type)
            found.append(record.message);
    }
    return found;
}

// Lets queued answers of the fake client arrive.
void settle()
{
    for (int i = 0; i < 3; ++i)
        QCoreApplication::processEvents();
}

} // namespace

class TestCoinLogoStore final : public QObject
{
    Q_OBJECT

    Test::IsolatedXdg m_xdg;
    std::unique_ptr<QTemporaryDir> m_root;
    QString m_directory;

    CoinLogoCache cache() const { return CoinLogoCache {m_directory}; }
    QString fileOf(const QString &id) const { return m_directory + QLatin1Char('/') + id + QStringLiteral(".img"); }

private Q_SLOTS:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void init()
    {
        m_root = std::make_unique<QTemporaryDir>();
        m_directory = m_root->filePath(QStringLiteral("vantrell-test/CoinLogos"));
    }

    void answers_data()
    {
        QTest::addColumn<int>("status");
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<bool>("stored");

        QTest::newRow("200 png") << 200 << pngBytes() << true;
        QTest::newRow("200 svg") << 200 << svgOfSize(300) << true;
        QTest::newRow("200 of exactly 512 KiB") << 200 << svgOfSize(524288) << true;
        QTest::newRow("200 one byte over 512 KiB") << 200 << svgOfSize(524289) << false;
        QTest::newRow("304 not modified") << 304 << pngBytes() << false;
        QTest::newRow("206 partial content") << 206 << pngBytes() << false;
        QTest::newRow("201 created") << 201 << pngBytes() << false;
        QTest::newRow("404") << 404 << pngBytes() << false;
        QTest::newRow("200 empty") << 200 << QByteArray() << false;
        QTest::newRow("200 html") << 200 << QByteArray("<html><body>Too Many Requests</body></html>") << false;
        QTest::newRow("200 truncated png") << 200 << pngBytes().left(60) << false;
    }

    void answers()
    {
        QFETCH(int, status);
        QFETCH(QByteArray, body);
        QFETCH(bool, stored);

        Test::FakeHTTPClient client;
        Test::LogCapture log;
        const CoinMetadata bitcoin = coin(QStringLiteral("bitcoin"));
        client.enqueue(urlOf(bitcoin), status, body);
        CoinLogoStore store(cache(), client);
        QSignalSpy changed(&store, &CoinLogoStore::cachedIDsChanged);

        store.sync({bitcoin});
        QVERIFY(store.isDownloading(QStringLiteral("bitcoin")));
        QTRY_VERIFY(!store.isDownloading(QStringLiteral("bitcoin")));

        QCOMPARE(client.calls().size(), 1);
        const HttpRequest request = client.calls().first().request;
        QCOMPARE(request.url, urlOf(bitcoin));
        QCOMPARE(request.inactivityTimeout, std::chrono::milliseconds(15000));
        QCOMPARE(request.maxBodySize, qint64(524288));

        QCOMPARE(store.cachedIDs().contains(QStringLiteral("bitcoin")), stored);
        QCOMPARE(changed.count(), stored ? 1 : 0);
        QCOMPARE(QFile::exists(fileOf(QStringLiteral("bitcoin"))), stored);
        if (stored) {
            QFile file(fileOf(QStringLiteral("bitcoin")));
            QVERIFY(file.open(QIODevice::ReadOnly));
            QCOMPARE(file.readAll(), body);
            QVERIFY(!store.image(QStringLiteral("bitcoin")).isNull());
        }
        // Rejected answers are dropped without a word.
        QCOMPARE(messages(log, QtCriticalMsg), QStringList {});
    }

    void nothingToDownload_data()
    {
        QTest::addColumn<bool>("withDirectory");
        QTest::addColumn<CoinMetadata>("metadata");

        QTest::newRow("logo ships in the bundle")
            << true << coin(QStringLiteral("bitcoin"), std::nullopt, QStringLiteral("coin-bitcoin"));
        QTest::newRow("plain http on an allowed host")
            << true
            << coin(QStringLiteral("tether"),
                   QStringLiteral("http://assets.coingecko.com/coins/images/325/large/t.png"));
        QTest::newRow("other host") << true
                                    << coin(QStringLiteral("tether"), QStringLiteral("https://example.org/t.png"));
        QTest::newRow("look-alike host") << true
                                         << coin(QStringLiteral("tether"),
                                                QStringLiteral("https://assets.coingecko.com.evil.org/t.png"));
        QTest::newRow("empty address") << true << coin(QStringLiteral("tether"), QString());
        QTest::newRow("id that is no file name") << true << coin(QStringLiteral("../settings"));
        QTest::newRow("no shared container") << false << coin(QStringLiteral("bitcoin"));
    }

    void nothingToDownload()
    {
        QFETCH(bool, withDirectory);
        QFETCH(CoinMetadata, metadata);
        Test::FakeHTTPClient client;
        CoinLogoStore store(CoinLogoCache {withDirectory ? std::optional<QString>(m_directory) : std::nullopt}, client);
        store.sync({metadata});
        store.ensureLogo(metadata);
        settle();
        QCOMPARE(client.calls().size(), 0);
        QVERIFY(store.cachedIDs().isEmpty());
        QVERIFY(!QDir(m_directory).exists() || QDir(m_directory).isEmpty());
    }

    void existingCopiesAreNotDownloadedAgain()
    {
        QVERIFY(writeFile(fileOf(QStringLiteral("bitcoin")), pngBytes()));
        Test::FakeHTTPClient client;
        CoinLogoStore store(cache(), client);
        QCOMPARE(store.cachedIDs(), QSet<QString> {QStringLiteral("bitcoin")});
        store.sync({coin(QStringLiteral("bitcoin"))});
        settle();
        QCOMPARE(client.calls().size(), 0);
    }

    void quickSyncsStartOneDownload()
    {
        Test::FakeHTTPClient client;
        client.setHolding(true);
        const CoinMetadata bitcoin = coin(QStringLiteral("bitcoin"));
        const CoinMetadata ethereum = coin(QStringLiteral("ethereum"));
        client.setStanding(urlOf(bitcoin), 200, pngBytes());
        client.setStanding(urlOf(ethereum), 200, pngBytes(Qt::blue));
        CoinLogoStore store(cache(), client);

        store.sync({bitcoin, ethereum});
        store.sync({bitcoin, ethereum});
        store.ensureLogo(bitcoin);
        QCOMPARE(client.requestCount(urlOf(bitcoin)), 1);
        QCOMPARE(client.requestCount(urlOf(ethereum)), 1);
        // Watchlist order is download order.
        QCOMPARE(client.requestedUrls(), (QList<QUrl> {urlOf(bitcoin), urlOf(ethereum)}));

        QCOMPARE(client.release(), 2);
        QTRY_COMPARE(store.cachedIDs().size(), 2);
        store.sync({bitcoin, ethereum});
        settle();
        QCOMPARE(client.calls().size(), 2);
    }

    void removalDeletesTheCopyAndCancelsTheDownload()
    {
        QVERIFY(writeFile(fileOf(QStringLiteral("bitcoin")), pngBytes()));
        QVERIFY(writeFile(fileOf(QStringLiteral("ethereum")), pngBytes(Qt::blue)));
        Test::FakeHTTPClient client;
        client.setHolding(true);
        const CoinMetadata bitcoin = coin(QStringLiteral("bitcoin"));
        const CoinMetadata ethereum = coin(QStringLiteral("ethereum"));
        const CoinMetadata solana = coin(QStringLiteral("solana"));
        client.setStanding(urlOf(solana), 200, pngBytes(Qt::green));
        CoinLogoStore store(cache(), client);
        QSignalSpy changed(&store, &CoinLogoStore::cachedIDsChanged);

        store.sync({bitcoin, ethereum, solana});
        QVERIFY(!store.image(QStringLiteral("bitcoin")).isNull());
        QVERIFY(store.isDownloading(QStringLiteral("solana")));

        // Only Ethereum stays: Bitcoin's file goes, Solana's download stops.
        store.sync({ethereum});
        QCOMPARE(store.cachedIDs(), QSet<QString> {QStringLiteral("ethereum")});
        QCOMPARE(changed.count(), 1);
        QVERIFY(!QFile::exists(fileOf(QStringLiteral("bitcoin"))));
        QVERIFY(QFile::exists(fileOf(QStringLiteral("ethereum"))));
        QVERIFY(!store.isDownloading(QStringLiteral("solana")));
        QCOMPARE(client.cancelledCount(), 1);
        QVERIFY(store.image(QStringLiteral("bitcoin")).isNull());
        client.release();
        settle();
        QVERIFY(!QFile::exists(fileOf(QStringLiteral("solana"))));

        // Added again, both are downloaded again.
        client.setStanding(urlOf(bitcoin), 200, pngBytes());
        store.sync({ethereum, bitcoin, solana});
        QCOMPARE(client.requestCount(urlOf(bitcoin)), 1);
        QCOMPARE(client.requestCount(urlOf(solana)), 2);
        client.release();
        QTRY_COMPARE(store.cachedIDs().size(), 3);

        // An empty watchlist prunes everything.
        changed.clear();
        store.sync({});
        QVERIFY(store.cachedIDs().isEmpty());
        QCOMPARE(changed.count(), 1);
        QCOMPARE(QDir(m_directory).entryList(QDir::Files | QDir::Hidden), QStringList {});
    }

    void writeFailureIsLoggedAndNotCached()
    {
        // A file where the directory should be: the copy cannot be written.
        QVERIFY(writeFile(m_directory, "in the way"));
        Test::FakeHTTPClient client;
        Test::LogCapture log;
        const CoinMetadata bitcoin = coin(QStringLiteral("bitcoin"));
        client.setStanding(urlOf(bitcoin), 200, pngBytes());
        CoinLogoStore store(cache(), client);
        QSignalSpy changed(&store, &CoinLogoStore::cachedIDsChanged);

        store.sync({bitcoin});
        QTRY_VERIFY(!store.isDownloading(QStringLiteral("bitcoin")));
        const QStringList errors = messages(log, QtCriticalMsg);
        QCOMPARE(errors.size(), 1);
        QVERIFY2(errors.first().startsWith(QStringLiteral("Logo cache write failed: ")), qPrintable(errors.first()));
        QVERIFY(errors.first().size() > QStringLiteral("Logo cache write failed: ").size());
        QVERIFY(store.cachedIDs().isEmpty());
        QCOMPARE(changed.count(), 0);
        QVERIFY(store.image(QStringLiteral("bitcoin")).isNull());

        // Not retried by itself; the next sync tries again.
        settle();
        QCOMPARE(client.calls().size(), 1);
        store.sync({bitcoin});
        QCOMPARE(client.calls().size(), 2);
    }

    void downloadFailureIsLogged_data()
    {
        QTest::addColumn<int>("code");
        QTest::newRow("no network") << int(MarketError::Code::cannotLoadFromNetwork);
        QTest::newRow("timeout") << int(MarketError::Code::timedOut);
        QTest::newRow("oversized body") << int(MarketError::Code::badServerResponse);
    }

    void downloadFailureIsLogged()
    {
        QFETCH(int, code);
        Test::FakeHTTPClient client;
        Test::LogCapture log;
        const CoinMetadata bitcoin = coin(QStringLiteral("bitcoin"));
        const auto error = MarketError::make(MarketError::Code(code), QStringLiteral("detail"));
        client.enqueue(urlOf(bitcoin), error);
        CoinLogoStore store(cache(), client);

        store.sync({bitcoin});
        QTRY_VERIFY(!store.isDownloading(QStringLiteral("bitcoin")));
        QCOMPARE(
            messages(log, QtCriticalMsg), QStringList {QStringLiteral("Logo download failed: ") + error.description()});
        QVERIFY(store.cachedIDs().isEmpty());
        QVERIFY(!QFile::exists(fileOf(QStringLiteral("bitcoin"))));
    }

    void imagesAreDecodedOnce()
    {
        QVERIFY(writeFile(fileOf(QStringLiteral("bitcoin")), pngBytes(Qt::red)));
        Test::FakeHTTPClient client;
        const CoinMetadata ethereum = coin(QStringLiteral("ethereum"));
        client.setStanding(urlOf(ethereum), 200, pngBytes(Qt::blue));
        CoinLogoStore store(cache(), client);

        QCOMPARE(store.image(QStringLiteral("bitcoin")).pixelColor(8, 8), QColor(Qt::red));
        // The memory copy serves later draws, even if the file changes underneath.
        QVERIFY(writeFile(fileOf(QStringLiteral("bitcoin")), pngBytes(Qt::green)));
        QCOMPARE(store.image(QStringLiteral("bitcoin")).pixelColor(8, 8), QColor(Qt::red));

        // A fresh download is shown without reading its file back.
        store.sync({coin(QStringLiteral("bitcoin")), ethereum});
        QTRY_VERIFY(store.cachedIDs().contains(QStringLiteral("ethereum")));
        QVERIFY(QFile::remove(fileOf(QStringLiteral("ethereum"))));
        QCOMPARE(store.image(QStringLiteral("ethereum")).pixelColor(8, 8), QColor(Qt::blue));

        QVERIFY(store.image(QStringLiteral("solana")).isNull());
    }

    void unreadableCopy()
    {
        QVERIFY(writeFile(fileOf(QStringLiteral("bitcoin")), "not an image"));
        QVERIFY(writeFile(fileOf(QStringLiteral("ethereum")), pngBytes()));
        Test::FakeHTTPClient client;
        client.setHolding(true);
        const CoinMetadata bitcoin = coin(QStringLiteral("bitcoin"));
        client.setStanding(urlOf(bitcoin), 200, pngBytes(Qt::blue));
        CoinLogoStore store(cache(), client);

        // Absent at draw time, but still listed until the next sync.
        QVERIFY(store.image(QStringLiteral("bitcoin")).isNull());
        QVERIFY(store.image(QStringLiteral("bitcoin")).isNull());
        QVERIFY(store.cachedIDs().contains(QStringLiteral("bitcoin")));

        // The next sync replaces it with a fresh download.
        store.sync({bitcoin, coin(QStringLiteral("ethereum"))});
        QVERIFY(!store.cachedIDs().contains(QStringLiteral("bitcoin")));
        QVERIFY(!QFile::exists(fileOf(QStringLiteral("bitcoin"))));
        QCOMPARE(client.requestCount(urlOf(bitcoin)), 1);
        QCOMPARE(client.calls().size(), 1);
        client.release();
        QTRY_VERIFY(store.cachedIDs().contains(QStringLiteral("bitcoin")));
        QCOMPARE(store.image(QStringLiteral("bitcoin")).pixelColor(8, 8), QColor(Qt::blue));
    }

    void destroyingTheStoreCancelsDownloads()
    {
        Test::FakeHTTPClient client;
        client.setHolding(true);
        const CoinMetadata bitcoin = coin(QStringLiteral("bitcoin"));
        client.setStanding(urlOf(bitcoin), 200, pngBytes());
        {
            CoinLogoStore store(cache(), client);
            store.sync({bitcoin});
        }
        QCOMPARE(client.cancelledCount(), 1);
        client.release();
        settle();
        QVERIFY(!QFile::exists(fileOf(QStringLiteral("bitcoin"))));
    }
};

QTEST_MAIN(TestCoinLogoStore)
#include "tst_coinlogostore.moc"
