// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "market/coinmetadata.h"
#include "settings/appsettings.h"

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QObject>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QStringView>

#include <memory>
#include <optional>

namespace Vantrell {

class Bundle;

// Raw values of CoinStatus as coins.json spells them ("active", "delisted", "migrated").
QString coinStatusRawValue(CoinStatus status);
// Exact, case-sensitive match; nothing for any other text.
std::optional<CoinStatus> coinStatusFromRawValue(QStringView raw);

// The catalog file breaks its content rules. `problems` lists every broken
// rule in the order CoinCatalog::validate() checks them.
struct CatalogError
{
    QStringList problems;

    // `invalid(["listed count 12", "x: symbol"])`: the whole list, each entry
    // quoted and escaped so that a hostile id cannot forge log lines.
    QString description() const;

    bool operator==(const CatalogError &) const = default;
};

// The top-level object of coins.json.
struct CatalogFile
{
    qint64 schemaVersion = 0;
    QList<CoinMetadata> coins;
};

// The fixed list of coins the program knows, read once from the bundle's
// coins.json. All or nothing: a file that breaks any rule leaves the catalog
// empty for the whole run. Lives on the main thread.
class CoinCatalog final : public QObject
{
    Q_OBJECT

public:
    // An empty catalog.
    explicit CoinCatalog(QObject *parent = nullptr);
    // A catalog holding `coins`, prepared as setCoins() does.
    CoinCatalog(QList<CoinMetadata> coins, const Bundle &bundle, QObject *parent = nullptr);

    // Reads, decodes and validates the bundle's coins.json. Never fails: on any
    // problem it logs one critical line ("Bundled coin catalog unusable: …")
    // and returns an empty catalog.
    static std::unique_ptr<CoinCatalog> load(const Bundle &bundle);

    // Strict decoding of a coins.json document: a missing required key, a
    // value of the wrong type, an unknown status or a rank or schemaVersion
    // that is not a whole number within 64 bits fails the whole document.
    // Unknown keys are ignored; null counts as absent for the optional keys.
    // On failure `errorString` (when given) says where and why.
    static std::optional<CatalogFile> decode(const QByteArray &json, QString *errorString = nullptr);

    // decode() followed by validate(): the usable records, or nothing with the
    // description of why the document is unusable.
    static std::optional<QList<CoinMetadata>> parse(const QByteArray &json, QString *errorString = nullptr);

    // The content rules. Returns the problems in rule order; empty means valid.
    // A schemaVersion other than 1 is the only problem reported when present.
    static QStringList validate(qint64 schemaVersion, const QList<CoinMetadata> &coins);

    // The two CoinGecko image hosts logos may come from. Safe from any thread.
    static const QSet<QString> &allowedLogoHosts();

    // Sorted by rank (absent ranks last), then by id.
    const QList<CoinMetadata> &coins() const { return m_coins; }
    // The records by id.
    const QHash<QString, CoinMetadata> &byID() const { return m_byID; }
    // The records offered for adding to the watchlist, in catalog order.
    QList<CoinMetadata> listedCoins() const;
    bool isEmpty() const { return m_coins.isEmpty(); }

    // Replaces the records: sets each logoAssetName to "coin-<id>" when the
    // bundle has that image (else empty), sorts, rebuilds byID and only then
    // emits coinsChanged, so observers see a consistent catalog. With
    // duplicate ids (never in a validated file) byID keeps the first in
    // catalog order.
    void setCoins(QList<CoinMetadata> coins, const Bundle &bundle);

    // Moves watchlist entries of migrated coins to their active successors:
    // an entry whose successor is already watched is dropped, otherwise it is
    // rewritten in place, price-level alerts becoming a 2 % change alert. The
    // displayed coin follows. Nothing when no entry needed moving.
    std::optional<AppSettings> migratedSettings(const AppSettings &settings) const;

Q_SIGNALS:
    void coinsChanged();

private:
    QList<CoinMetadata> m_coins;
    QHash<QString, CoinMetadata> m_byID;
};

} // namespace Vantrell
