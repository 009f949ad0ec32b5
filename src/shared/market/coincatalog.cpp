// SPDX-License-Identifier: GPL-3.0-or-later
#include "coincatalog.h"

#include "platform/bundle.h"
#include "platform/logging.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonParseError>
#include <QJsonValue>
#include <QTextBoundaryFinder>
#include <QUrl>

#include <algorithm>
#include <limits>

namespace Vantrell {

namespace {

constexpr qint64 supportedSchemaVersion = 1;
constexpr qsizetype minListedCount = 200;
constexpr qsizetype maxListedCount = 1000;
constexpr qsizetype maxIdLength = 80;
constexpr qsizetype maxSymbolLength = 15;
constexpr qsizetype maxNameLength = 60;
// Price-level alerts mean nothing for another coin; a migrated entry gets this change alert instead.
constexpr double migratedChangeThreshold = 2.0;

const char *const requiredTradableIds[] = {"bitcoin", "ethereum"};

bool isLowerAlnum(char16_t c)
{
    return (c >= u'a' && c <= u'z') || (c >= u'0' && c <= u'9');
}

bool isUpperAlnum(char16_t c)
{
    return (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9');
}

// [a-z0-9][a-z0-9-]{0,79}
bool isValidId(const QString &id)
{
    if (id.isEmpty() || id.size() > maxIdLength || !isLowerAlnum(id.front().unicode()))
        return false;
    return std::all_of(id.cbegin(), id.cend(), [](QChar c) { return isLowerAlnum(c.unicode()) || c == u'-'; });
}

// [A-Z0-9]{1,15}
bool isValidSymbol(const QString &symbol)
{
    if (symbol.isEmpty() || symbol.size() > maxSymbolLength)
        return false;
    return std::all_of(symbol.cbegin(), symbol.cend(), [](QChar c) { return isUpperAlnum(c.unicode()); });
}

// 1 to 60 user-perceived characters (grapheme clusters).
bool isValidName(const QString &name)
{
    if (name.isEmpty())
        return false;
    // Every cluster spans at least one UTF-16 unit, so short names need no segmentation.
    if (name.size() <= maxNameLength)
        return true;
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, name);
    qsizetype clusters = 0;
    while (finder.toNextBoundary() != -1) {
        if (++clusters > maxNameLength)
            return false;
    }
    return true;
}

bool hasAllowedLogoHost(const QString &address)
{
    const QUrl url(address, QUrl::StrictMode);
    if (!url.isValid())
        return false;
    const QString host = url.host();
    return !host.isEmpty() && CoinCatalog::allowedLogoHosts().contains(host);
}

// A string literal as a program would write it, so that quotes, line breaks and
// other control characters in a problem cannot break up or forge log lines.
QString quoted(const QString &text)
{
    QString out;
    out.reserve(text.size() + 2);
    out += QLatin1Char('"');
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        switch (u) {
        case u'"':
            out += QLatin1String("\\\"");
            break;
        case u'\\':
            out += QLatin1String("\\\\");
            break;
        case u'\n':
            out += QLatin1String("\\n");
            break;
        case u'\r':
            out += QLatin1String("\\r");
            break;
        case u'\t':
            out += QLatin1String("\\t");
            break;
        default:
            if (u < 0x20 || (u >= 0x7f && u <= 0x9f) || u == 0x2028 || u == 0x2029)
                out += QLatin1String("\\u{") + QString::number(u, 16) + QLatin1Char('}');
            else
                out += c;
        }
    }
    out += QLatin1Char('"');
    return out;
}

// A JSON number that is a whole number representable as a signed 64-bit integer.
std::optional<qint64> wholeNumber(const QJsonValue &value)
{
    if (!value.isDouble())
        return std::nullopt;
    // toInteger() falls back to its argument for fractions and out-of-range values.
    const qint64 low = value.toInteger(0);
    if (low != value.toInteger(1))
        return std::nullopt;
    return low;
}

// Reads the keys of one record; the first failure is kept in `error`.
class RecordReader final
{
public:
    RecordReader(const QJsonObject &object, qsizetype index, QString &error)
        : m_object(object)
        , m_index(index)
        , m_error(error)
    { }

    bool requiredString(QLatin1String key, QString &field)
    {
        const QJsonValue value = m_object.value(key);
        if (value.isUndefined())
            return fail(key, QStringLiteral("missing"));
        if (!value.isString())
            return fail(key, QStringLiteral("not a string"));
        field = value.toString();
        return true;
    }

    bool optionalString(QLatin1String key, std::optional<QString> &field)
    {
        const QJsonValue value = m_object.value(key);
        if (value.isUndefined() || value.isNull())
            return true;
        if (!value.isString())
            return fail(key, QStringLiteral("not a string"));
        field = value.toString();
        return true;
    }

    bool requiredBool(QLatin1String key, bool &field)
    {
        const QJsonValue value = m_object.value(key);
        if (value.isUndefined())
            return fail(key, QStringLiteral("missing"));
        if (!value.isBool())
            return fail(key, QStringLiteral("not a boolean"));
        field = value.toBool();
        return true;
    }

    bool optionalWholeNumber(QLatin1String key, std::optional<qint64> &field)
    {
        const QJsonValue value = m_object.value(key);
        if (value.isUndefined() || value.isNull())
            return true;
        field = wholeNumber(value);
        return field ? true : fail(key, QStringLiteral("not a whole number within 64 bits"));
    }

    bool status(QLatin1String key, CoinStatus &field)
    {
        QString raw;
        if (!requiredString(key, raw))
            return false;
        const auto parsed = coinStatusFromRawValue(raw);
        if (!parsed)
            return fail(key, QStringLiteral("unknown status ") + quoted(raw));
        field = *parsed;
        return true;
    }

private:
    bool fail(QLatin1String key, const QString &what)
    {
        m_error = QStringLiteral("coins[%1].").arg(m_index) + key + QLatin1String(": ") + what;
        return false;
    }

    const QJsonObject &m_object;
    qsizetype m_index;
    QString &m_error;
};

bool decodeRecord(const QJsonValue &value, qsizetype index, CoinMetadata &coin, QString &error)
{
    if (!value.isObject()) {
        error = QStringLiteral("coins[%1]: not an object").arg(index);
        return false;
    }
    const QJsonObject object = value.toObject();
    RecordReader reader(object, index, error);
    return reader.requiredString(QLatin1String("id"), coin.id)
        && reader.requiredString(QLatin1String("symbol"), coin.symbol)
        && reader.requiredString(QLatin1String("name"), coin.name)
        && reader.optionalWholeNumber(QLatin1String("rank"), coin.rank)
        && reader.optionalString(QLatin1String("logoURL"), coin.logoURL)
        && reader.status(QLatin1String("status"), coin.status)
        && reader.requiredBool(QLatin1String("listed"), coin.listed)
        && reader.optionalString(QLatin1String("migratedTo"), coin.migratedTo);
}

void setError(QString *errorString, const QString &text)
{
    if (errorString)
        *errorString = text;
}

// The bundle's coins.json, decoded and validated.
std::optional<QList<CoinMetadata>> readBundledCoins(const Bundle &bundle, QString *errorString)
{
    const auto path = bundle.resourcePath(QStringLiteral("coins"), QStringLiteral("json"));
    if (!path) {
        setError(errorString, CatalogError {{QStringLiteral("coins.json missing from bundle")}}.description());
        return std::nullopt;
    }
    QFile file(*path);
    if (!file.open(QIODevice::ReadOnly)) {
        setError(errorString, QStringLiteral("coins.json unreadable: ") + file.errorString());
        return std::nullopt;
    }
    const QByteArray data = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        setError(errorString, QStringLiteral("coins.json unreadable: ") + file.errorString());
        return std::nullopt;
    }
    return CoinCatalog::parse(data, errorString);
}

} // namespace

QString coinStatusRawValue(CoinStatus status)
{
    switch (status) {
    case CoinStatus::active:
        return QStringLiteral("active");
    case CoinStatus::delisted:
        return QStringLiteral("delisted");
    case CoinStatus::migrated:
        return QStringLiteral("migrated");
    }
    Q_UNREACHABLE();
}

std::optional<CoinStatus> coinStatusFromRawValue(QStringView raw)
{
    if (raw == u"active")
        return CoinStatus::active;
    if (raw == u"delisted")
        return CoinStatus::delisted;
    if (raw == u"migrated")
        return CoinStatus::migrated;
    return std::nullopt;
}

QString CatalogError::description() const
{
    QString out = QStringLiteral("invalid([");
    for (qsizetype i = 0; i < problems.size(); ++i) {
        if (i > 0)
            out += QLatin1String(", ");
        out += quoted(problems.at(i));
    }
    out += QLatin1String("])");
    return out;
}

CoinCatalog::CoinCatalog(QObject *parent)
    : QObject(parent)
{ }

CoinCatalog::CoinCatalog(QList<CoinMetadata> coins, const Bundle &bundle, QObject *parent)
    : QObject(parent)
{
    setCoins(std::move(coins), bundle);
}

std::unique_ptr<CoinCatalog> CoinCatalog::load(const Bundle &bundle)
{
    auto catalog = std::make_unique<CoinCatalog>();
    QString error;
    if (auto coins = readBundledCoins(bundle, &error))
        catalog->setCoins(std::move(*coins), bundle);
    else
        qCCritical(lcCoinCatalog, "Bundled coin catalog unusable: %s", qUtf8Printable(error));
    return catalog;
}

std::optional<CatalogFile> CoinCatalog::decode(const QByteArray &json, QString *errorString)
{
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(json, &parseError);
    if (parseError.error != QJsonParseError::NoError) {
        setError(errorString,
            QStringLiteral("not JSON: %1 at offset %2").arg(parseError.errorString()).arg(parseError.offset));
        return std::nullopt;
    }
    if (!document.isObject()) {
        setError(errorString, QStringLiteral("top level: not an object"));
        return std::nullopt;
    }
    const QJsonObject top = document.object();

    const QJsonValue version = top.value(QLatin1String("schemaVersion"));
    const auto schemaVersion = wholeNumber(version);
    if (!schemaVersion) {
        setError(errorString,
            version.isUndefined() ? QStringLiteral("schemaVersion: missing")
                                  : QStringLiteral("schemaVersion: not a whole number within 64 bits"));
        return std::nullopt;
    }

    const QJsonValue coinsValue = top.value(QLatin1String("coins"));
    if (!coinsValue.isArray()) {
        setError(errorString,
            coinsValue.isUndefined() ? QStringLiteral("coins: missing") : QStringLiteral("coins: not an array"));
        return std::nullopt;
    }
    const QJsonArray array = coinsValue.toArray();

    CatalogFile file;
    file.schemaVersion = *schemaVersion;
    file.coins.reserve(array.size());
    QString error;
    for (qsizetype i = 0; i < array.size(); ++i) {
        CoinMetadata coin;
        if (!decodeRecord(array.at(i), i, coin, error)) {
            setError(errorString, error);
            return std::nullopt;
        }
        file.coins.append(std::move(coin));
    }
    return file;
}

std::optional<QList<CoinMetadata>> CoinCatalog::parse(const QByteArray &json, QString *errorString)
{
    QString error;
    auto file = decode(json, &error);
    if (!file) {
        setError(errorString, QStringLiteral("decoding failed: ") + error);
        return std::nullopt;
    }
    const QStringList problems = validate(file->schemaVersion, file->coins);
    if (!problems.isEmpty()) {
        setError(errorString, CatalogError {problems}.description());
        return std::nullopt;
    }
    return std::move(file->coins);
}

QStringList CoinCatalog::validate(qint64 schemaVersion, const QList<CoinMetadata> &coins)
{
    if (schemaVersion != supportedSchemaVersion)
        return {QStringLiteral("schemaVersion ") + QString::number(schemaVersion)};

    // Walking backwards lets the first record of a duplicated id win.
    QHash<QString, const CoinMetadata *> index;
    index.reserve(coins.size());
    for (auto it = coins.crbegin(); it != coins.crend(); ++it)
        index.insert(it->id, &*it);

    QStringList problems;
    if (index.size() < coins.size())
        problems.append(QStringLiteral("duplicate id"));

    qsizetype listedCount = 0;
    qsizetype activeCount = 0;
    QSet<QString> activeSymbols;
    activeSymbols.reserve(coins.size());
    QStringList recordProblems;
    for (const CoinMetadata &coin : coins) {
        if (coin.listed)
            ++listedCount;
        if (coin.status == CoinStatus::active) {
            ++activeCount;
            activeSymbols.insert(coin.symbol);
        }

        const QString &id = coin.id;
        if (!isValidId(id))
            recordProblems.append(id + QLatin1String(": id"));
        if (!isValidSymbol(coin.symbol))
            recordProblems.append(id + QLatin1String(": symbol"));
        if (!isValidName(coin.name))
            recordProblems.append(id + QLatin1String(": name"));
        if (coin.rank && *coin.rank < 1)
            recordProblems.append(id + QLatin1String(": rank"));
        if (coin.logoURL && !hasAllowedLogoHost(*coin.logoURL))
            recordProblems.append(id + QLatin1String(": logo host"));
        if (coin.listed && coin.status != CoinStatus::active)
            recordProblems.append(id + QLatin1String(": listed but not active"));
        if (coin.status == CoinStatus::migrated) {
            const CoinMetadata *target = coin.migratedTo ? index.value(*coin.migratedTo) : nullptr;
            if (!target)
                recordProblems.append(id + QLatin1String(": migratedTo missing"));
            else if (target->status != CoinStatus::active)
                recordProblems.append(id + QLatin1String(": migration target not active"));
        }
    }

    if (listedCount < minListedCount || listedCount > maxListedCount)
        problems.append(QStringLiteral("listed count ") + QString::number(listedCount));
    for (const char *required : requiredTradableIds) {
        const QString requiredId = QLatin1String(required);
        const CoinMetadata *coin = index.value(requiredId);
        if (!coin || !coin->listed || coin->status != CoinStatus::active)
            problems.append(QStringLiteral("missing tradable ") + requiredId);
    }
    if (activeSymbols.size() < activeCount)
        problems.append(QStringLiteral("duplicate active symbol"));
    problems.append(recordProblems);
    return problems;
}

const QSet<QString> &CoinCatalog::allowedLogoHosts()
{
    // The logo store reads this from its own code paths; a function-local static is initialised once, thread-safely.
    static const QSet<QString> hosts {
        QStringLiteral("coin-images.coingecko.com"), QStringLiteral("assets.coingecko.com")};
    return hosts;
}

QList<CoinMetadata> CoinCatalog::listedCoins() const
{
    QList<CoinMetadata> listed;
    listed.reserve(m_coins.size());
    std::copy_if(m_coins.cbegin(), m_coins.cend(), std::back_inserter(listed),
        [](const CoinMetadata &coin) { return coin.listed; });
    return listed;
}

void CoinCatalog::setCoins(QList<CoinMetadata> coins, const Bundle &bundle)
{
    for (CoinMetadata &coin : coins) {
        QString assetName = QStringLiteral("coin-") + coin.id;
        coin.logoAssetName = bundle.hasImage(assetName) ? std::move(assetName) : QString();
    }

    std::stable_sort(coins.begin(), coins.end(), [](const CoinMetadata &a, const CoinMetadata &b) {
        constexpr qint64 unranked = std::numeric_limits<qint64>::max();
        const qint64 rankA = a.rank.value_or(unranked);
        const qint64 rankB = b.rank.value_or(unranked);
        if (rankA != rankB)
            return rankA < rankB;
        return a.id < b.id;
    });

    QHash<QString, CoinMetadata> byID;
    byID.reserve(coins.size());
    for (auto it = coins.crbegin(); it != coins.crend(); ++it)
        byID.insert(it->id, *it);

    m_coins = std::move(coins);
    m_byID = std::move(byID);
    Q_EMIT coinsChanged();
}

std::optional<AppSettings> CoinCatalog::migratedSettings(const AppSettings &settings) const
{
    if (settings.watchlistCoins.isEmpty() || m_coins.isEmpty())
        return std::nullopt;

    QList<WatchlistCoin> watchlist = settings.watchlistCoins;
    QString displayedCoinId = settings.displayedCoinId;
    bool changed = false;
    const auto findEntry = [&watchlist](const QString &coinId) {
        return std::find_if(watchlist.begin(), watchlist.end(),
            [&coinId](const WatchlistCoin &entry) { return entry.coinId == coinId; });
    };

    for (const WatchlistCoin &original : settings.watchlistCoins) {
        const auto record = m_byID.constFind(original.coinId);
        if (record == m_byID.cend() || record->status != CoinStatus::migrated || !record->migratedTo)
            continue;
        const QString targetId = *record->migratedTo;
        const auto target = m_byID.constFind(targetId);
        if (target == m_byID.cend() || target->status != CoinStatus::active)
            continue;

        const auto entry = findEntry(original.coinId);
        if (entry == watchlist.end())
            continue;
        if (findEntry(targetId) != watchlist.end()) {
            watchlist.erase(entry);
        } else {
            entry->coinId = targetId;
            if (entry->alertKind == CoinAlertKind::above || entry->alertKind == CoinAlertKind::below) {
                entry->alertKind = CoinAlertKind::change;
                entry->notificationThreshold = migratedChangeThreshold;
            }
        }
        if (displayedCoinId == original.coinId)
            displayedCoinId = targetId;
        changed = true;
    }

    if (!changed)
        return std::nullopt;
    AppSettings migrated = settings;
    migrated.watchlistCoins = std::move(watchlist);
    migrated.displayedCoinId = std::move(displayedCoinId);
    return migrated;
}

} // namespace Vantrell
