// SPDX-License-Identifier: GPL-3.0-or-later
#include "fakehttpclient.h"
#include "logos/coinlogopainter.h"
#include "logos/coinlogostore.h"
#include "logos/coinlogowidget.h"
#include "logos/remoteimageloader.h"
#include "testenvironment.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QPainter>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

using namespace Vantrell;
using Kind = CoinLogoPainter::Kind;

namespace {

const QColor kOrange(0xF7, 0x93, 0x1A);

QByteArray pngBytes(QColor color, QSize size = {16, 16})
{
    QImage image(size, QImage::Format_ARGB32);
    image.fill(color);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

// Raw strings stay out of the test class: moc's lexer does not know them.
QByteArray orangeSquareSvg()
{
    return QByteArrayLiteral(R"(<svg xmlns="http://www.w3.org/2000/svg" viewBox="0 0 32 32">)"
                             R"(<rect width="32" height="32" fill="#F7931A"/></svg>)");
}

bool writeFile(const QString &path, const QByteArray &data)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(data) == data.size();
}

const QString kRemote = QStringLiteral("https://assets.coingecko.com/coins/images/9/large/alpha.png?1");
const QString kBroken = QStringLiteral("https://assets.coingecko.com/coins/images/9/large/broken.png");

// Counts the paint events a widget receives.
class PaintCounter final : public QObject
{
public:
    int count = 0;

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint)
            ++count;
        return false;
    }
};

} // namespace

class TestCoinLogoPainter final : public QObject
{
    Q_OBJECT

    Test::IsolatedXdg m_xdg;
    QTemporaryDir m_bundleDir;
    std::unique_ptr<QTemporaryDir> m_cacheRoot;
    QString m_directory;

private Q_SLOTS:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        Test::writeTestBundle(m_bundleDir.path());
        QVERIFY(writeFile(m_bundleDir.filePath(QStringLiteral("images/coin-alpha.svg")), orangeSquareSvg()));
    }

    void init()
    {
        m_cacheRoot = std::make_unique<QTemporaryDir>();
        m_directory = m_cacheRoot->filePath(QStringLiteral("CoinLogos"));
    }

    void contentOrder_data()
    {
        QTest::addColumn<QString>("assetName");
        QTest::addColumn<bool>("copyOnDisk");
        QTest::addColumn<QString>("urlString");
        QTest::addColumn<bool>("withStore");
        QTest::addColumn<bool>("withLoader");
        QTest::addColumn<Kind>("first");
        QTest::addColumn<Kind>("settled");
        QTest::addColumn<int>("requests");

        const QString asset = QStringLiteral("coin-alpha");
        QTest::newRow("bundled image before everything")
            << asset << true << kRemote << true << true << Kind::bundled << Kind::bundled << 0;
        QTest::newRow("bundled name without an image falls through")
            << QStringLiteral("coin-missing") << true << kRemote << true << true << Kind::cached << Kind::cached << 0;
        QTest::newRow("store copy before the remote image")
            << QString() << true << kRemote << true << true << Kind::cached << Kind::cached << 0;
        QTest::newRow("remote image until the copy lands")
            << QString() << false << kRemote << true << true << Kind::placeholder << Kind::remote << 1;
        QTest::newRow("views without the store go remote")
            << QString() << true << kRemote << false << true << Kind::placeholder << Kind::remote << 1;
        QTest::newRow("failed remote image leaves the placeholder")
            << QString() << false << kBroken << true << true << Kind::placeholder << Kind::placeholder << 1;
        QTest::newRow("plain http is never fetched")
            << QString() << false << QStringLiteral("http://assets.coingecko.com/coins/images/9/large/alpha.png")
            << true << true << Kind::placeholder << Kind::placeholder << 0;
        QTest::newRow("look-alike host is never fetched")
            << QString() << false << QStringLiteral("https://assets.coingecko.com.evil.org/alpha.png") << true << true
            << Kind::placeholder << Kind::placeholder << 0;
        QTest::newRow("no address") << QString() << false << QString() << true << true << Kind::placeholder
                                    << Kind::placeholder << 0;
        QTest::newRow("no remote loader")
            << QString() << false << kRemote << true << false << Kind::placeholder << Kind::placeholder << 0;
    }

    void contentOrder()
    {
        QFETCH(QString, assetName);
        QFETCH(bool, copyOnDisk);
        QFETCH(QString, urlString);
        QFETCH(bool, withStore);
        QFETCH(bool, withLoader);
        QFETCH(Kind, first);
        QFETCH(Kind, settled);
        QFETCH(int, requests);

        if (copyOnDisk)
            QVERIFY(writeFile(m_directory + QStringLiteral("/alpha.img"), pngBytes(Qt::green)));
        Test::FakeHTTPClient storeClient;
        Test::FakeHTTPClient remoteClient;
        remoteClient.setStanding(QUrl(kRemote), 200, pngBytes(Qt::blue));
        remoteClient.setStanding(QUrl(kBroken), 404, QByteArray("gone"));
        CoinLogoStore store(CoinLogoCache {m_directory}, storeClient);
        RemoteImageLoader loader(remoteClient);
        CoinLogoPainter painter(
            Bundle(m_bundleDir.path()), withStore ? &store : nullptr, withLoader ? &loader : nullptr);
        QSignalSpy changed(&painter, &CoinLogoPainter::changed);

        const CoinLogoSource source {QStringLiteral("alpha"), QStringLiteral("ALPHA"), assetName,
            urlString.isEmpty() ? std::nullopt : std::optional<QString>(urlString)};
        QCOMPARE(painter.content(source, 32).kind, first);
        QTRY_COMPARE(remoteClient.calls().size(), requests);
        QTRY_VERIFY(std::all_of(remoteClient.calls().cbegin(), remoteClient.calls().cend(),
            [](const auto &call) { return call.answered; }));
        QCoreApplication::processEvents();
        const CoinLogoPainter::Content content = painter.content(source, 32);
        QCOMPARE(content.kind, settled);
        QCOMPARE(remoteClient.calls().size(), requests);
        QCOMPARE(storeClient.calls().size(), 0);
        QCOMPARE(changed.count(), settled == Kind::remote ? 1 : 0);

        const QColor expected = settled == Kind::bundled ? kOrange
            : settled == Kind::cached                    ? QColor(Qt::green)
            : settled == Kind::remote                    ? QColor(Qt::blue)
                                                         : QColor();
        QCOMPARE(content.image.isNull(), settled == Kind::placeholder);
        if (!content.image.isNull())
            QCOMPARE(content.image.pixelColor(content.image.width() / 2, content.image.height() / 2), expected);
    }

    void remoteImageGivesWayToTheStoreCopy()
    {
        Test::FakeHTTPClient storeClient;
        Test::FakeHTTPClient remoteClient;
        storeClient.setHolding(true);
        storeClient.setStanding(QUrl(kRemote), 200, pngBytes(Qt::green));
        remoteClient.setStanding(QUrl(kRemote), 200, pngBytes(Qt::blue));
        CoinLogoStore store(CoinLogoCache {m_directory}, storeClient);
        RemoteImageLoader loader(remoteClient);
        CoinLogoPainter painter(Bundle(m_bundleDir.path()), &store, &loader);
        QSignalSpy changed(&painter, &CoinLogoPainter::changed);

        CoinMetadata alpha;
        alpha.id = QStringLiteral("alpha");
        alpha.symbol = QStringLiteral("ALPHA");
        alpha.logoURL = kRemote;
        const CoinLogoSource source = CoinLogoSource::of(alpha);
        store.sync({alpha});
        QCOMPARE(painter.content(source, 32).kind, Kind::placeholder);
        QTRY_COMPARE(painter.content(source, 32).kind, Kind::remote);
        storeClient.release();
        QTRY_COMPARE(changed.count(), 2);
        QCOMPARE(painter.content(source, 32).kind, Kind::cached);
    }

    void remoteLoaderAsksOncePerAddress()
    {
        Test::FakeHTTPClient client;
        client.setHolding(true);
        client.setStanding(QUrl(kRemote), 200, pngBytes(Qt::blue));
        RemoteImageLoader loader(client);
        QSignalSpy loaded(&loader, &RemoteImageLoader::imageLoaded);

        QCOMPARE(loader.state(QUrl(kRemote)), RemoteImageLoader::State::notRequested);
        QVERIFY(loader.image(QUrl(kRemote)).isNull());
        QVERIFY(loader.image(QUrl(kRemote)).isNull());
        QCOMPARE(loader.state(QUrl(kRemote)), RemoteImageLoader::State::loading);
        QCOMPARE(client.calls().size(), 1);
        QCOMPARE(client.calls().first().request.maxBodySize, qint64(524288));

        client.release();
        QTRY_COMPARE(loaded.count(), 1);
        QCOMPARE(loaded.first().first().toUrl(), QUrl(kRemote));
        QCOMPARE(loader.state(QUrl(kRemote)), RemoteImageLoader::State::loaded);
        QCOMPARE(loader.image(QUrl(kRemote)).pixelColor(8, 8), QColor(Qt::blue));
        QCOMPARE(client.calls().size(), 1);
    }

    void remoteFailuresAreRemembered_data()
    {
        QTest::addColumn<QVariant>("answer");
        QTest::newRow("404") << QVariant::fromValue(Test::FakeHTTPClient::response(404, pngBytes(Qt::blue)));
        QTest::newRow("304") << QVariant::fromValue(Test::FakeHTTPClient::response(304, pngBytes(Qt::blue)));
        QTest::newRow("not an image") << QVariant::fromValue(Test::FakeHTTPClient::response(200, "<html/>"));
        QTest::newRow("empty") << QVariant::fromValue(Test::FakeHTTPClient::response(200));
        QTest::newRow("over 512 KiB") << QVariant::fromValue(
            Test::FakeHTTPClient::response(200, pngBytes(Qt::blue) + QByteArray(524288, ' ')));
        QTest::newRow("network error") << QVariant();
    }

    void remoteFailuresAreRemembered()
    {
        QFETCH(QVariant, answer);
        Test::FakeHTTPClient client;
        if (answer.isValid())
            client.setStanding(QUrl(kRemote), answer.value<HttpResponse>());
        RemoteImageLoader loader(client);
        QSignalSpy loaded(&loader, &RemoteImageLoader::imageLoaded);

        QVERIFY(loader.image(QUrl(kRemote)).isNull());
        QTRY_COMPARE(loader.state(QUrl(kRemote)), RemoteImageLoader::State::failed);
        for (int repaint = 0; repaint < 3; ++repaint)
            QVERIFY(loader.image(QUrl(kRemote)).isNull());
        QCoreApplication::processEvents();
        QCOMPARE(client.calls().size(), 1);
        QCOMPARE(loaded.count(), 0);
    }

    void remoteLoaderRefusesOtherAddresses()
    {
        Test::FakeHTTPClient client;
        RemoteImageLoader loader(client);
        const QUrl plain(QStringLiteral("http://assets.coingecko.com/coins/images/9/large/alpha.png"));
        QVERIFY(loader.image(plain).isNull());
        QCOMPARE(loader.state(plain), RemoteImageLoader::State::failed);
        QCOMPARE(client.calls().size(), 0);
    }

    void widgetShowsTheLogoAndFollowsTheStore()
    {
        Test::FakeHTTPClient storeClient;
        storeClient.setHolding(true);
        storeClient.setStanding(QUrl(kBroken), 200, pngBytes(Qt::green));
        Test::FakeHTTPClient remoteClient;
        remoteClient.setStanding(QUrl(kBroken), 404);
        CoinLogoStore store(CoinLogoCache {m_directory}, storeClient);
        RemoteImageLoader loader(remoteClient);
        CoinLogoPainter painter(Bundle(m_bundleDir.path()), &store, &loader);

        CoinMetadata alpha;
        alpha.id = QStringLiteral("alpha");
        alpha.symbol = QStringLiteral("DOGE");
        alpha.logoURL = kBroken;

        CoinLogoWidget widget(&painter);
        QCOMPARE(widget.size(), QSize(32, 32));
        widget.setSource(CoinLogoSource::of(alpha));
        PaintCounter paints;
        widget.installEventFilter(&paints);
        widget.show();
        QVERIFY(QTest::qWaitForWindowExposed(&widget));

        // The placeholder: accent-tinted, no green.
        QImage shown = widget.grab().toImage();
        QVERIFY(shown.pixelColor(16, 16) != QColor(Qt::green));
        QVERIFY(shown.pixelColor(16, 3).alpha() > 0);

        store.sync({alpha});
        const int before = paints.count;
        storeClient.release();
        QTRY_VERIFY(paints.count > before);
        shown = widget.grab().toImage();
        QCOMPARE(shown.pixelColor(16, 16), QColor(Qt::green));
        QCOMPARE(shown.pixelColor(0, 0).alpha(), 0);

        widget.setSide(22);
        QCOMPARE(widget.size(), QSize(22, 22));
    }

    void shippedLogos_data()
    {
        QTest::addColumn<QString>("id");
        const QString resources = QStringLiteral(VANTRELL_RESOURCES_DIR);
        const QDir images(resources + QStringLiteral("/bundle/images"));
        const QStringList files = images.entryList({QStringLiteral("coin-*.svg")}, QDir::Files, QDir::Name);
        QVERIFY(files.size() >= 40);
        for (const QString &file : files) {
            const QString id = file.mid(5).chopped(4);
            QTest::newRow(qPrintable(id)) << id;
        }
    }

    void shippedLogos()
    {
        QFETCH(QString, id);
        const QString resources = QStringLiteral(VANTRELL_RESOURCES_DIR);
        static const QJsonArray coins = [&] {
            QFile file(resources + QStringLiteral("/bundle/coins.json"));
            file.open(QIODevice::ReadOnly);
            return QJsonDocument::fromJson(file.readAll()).object().value(QStringLiteral("coins")).toArray();
        }();
        static const QString cmakeList = [&] {
            QFile file(resources + QStringLiteral("/bundle/images/coinimages.cmake"));
            file.open(QIODevice::ReadOnly);
            return QString::fromUtf8(file.readAll());
        }();

        // Named after an active catalog coin, listed for the bundle, and drawable.
        const auto record = std::find_if(coins.begin(), coins.end(),
            [&](const QJsonValue &value) { return value.toObject().value(QStringLiteral("id")).toString() == id; });
        QVERIFY2(record != coins.end(), "no catalog coin of that id");
        QCOMPARE((*record).toObject().value(QStringLiteral("status")).toString(), QStringLiteral("active"));
        QVERIFY(cmakeList.contains(QStringLiteral("images/coin-") + id + QStringLiteral(".svg\n")));

        BundledLogoImages images {Bundle(resources + QStringLiteral("/bundle"))};
        const QImage image = images.image(QStringLiteral("coin-") + id, 32);
        QCOMPARE(image.size(), QSize(32, 32));
        QVERIFY(image.pixelColor(16, 16).alpha() > 0 || image.pixelColor(8, 16).alpha() > 0);
    }

    void shippedLogoList()
    {
        const QString resources = QStringLiteral(VANTRELL_RESOURCES_DIR);
        QFile list(resources + QStringLiteral("/bundle/images/coinimages.cmake"));
        QVERIFY(list.open(QIODevice::ReadOnly));
        const QString text = QString::fromUtf8(list.readAll());
        const QRegularExpression entry(QStringLiteral("images/coin-([a-z0-9-]+)\\.svg"));
        int listed = 0;
        for (auto it = entry.globalMatch(text); it.hasNext();) {
            const QString file
                = resources + QStringLiteral("/bundle/images/coin-") + it.next().captured(1) + QStringLiteral(".svg");
            QVERIFY2(QFile::exists(file), qPrintable(file));
            ++listed;
        }
        QCOMPARE(listed,
            QDir(resources + QStringLiteral("/bundle/images")).entryList({QStringLiteral("coin-*.svg")}).size());
        QFile license(resources + QStringLiteral("/bundle/licenses/cryptocurrency-icons.txt"));
        QVERIFY(license.open(QIODevice::ReadOnly));
        QVERIFY(license.readAll().contains("CC0 1.0 Universal"));
    }
};

QTEST_MAIN(TestCoinLogoPainter)
#include "tst_coinlogopainter.moc"
