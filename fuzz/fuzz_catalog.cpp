// SPDX-License-Identifier: GPL-3.0-or-later
// Feeds arbitrary bytes to the coin catalog's decoder and validator, and runs
// what the program does with a file that passes: indexing, sorting, listing
// and moving a watchlist through the migrations.
#include "market/coincatalog.h"
#include "platform/bundle.h"

#include <cstddef>
#include <cstdint>

using namespace Vantrell;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char *>(data), qsizetype(size));

    // Validation runs on every decodable document, whatever its content.
    if (const auto file = CoinCatalog::decode(bytes)) {
        const QStringList problems = CoinCatalog::validate(file->schemaVersion, file->coins);
        if (problems.isEmpty() != CoinCatalog::parse(bytes).has_value())
            __builtin_trap();
        (void)CatalogError {problems}.description();

        // The index and migration must cope with unvalidated records too.
        const CoinCatalog catalog(file->coins, Bundle());
        AppSettings settings;
        settings.watchlistCoins.clear();
        for (const auto &coin : file->coins) {
            settings.watchlistCoins.append(WatchlistCoin {coin.id, CoinAlertKind::above, 1.0});
            if (coin.migratedTo)
                settings.watchlistCoins.append(WatchlistCoin {*coin.migratedTo, CoinAlertKind::below, 1.0});
        }
        if (!file->coins.isEmpty())
            settings.displayedCoinId = file->coins.constFirst().id;
        if (const auto migrated = catalog.migratedSettings(settings)) {
            if (migrated->watchlistCoins.size() > settings.watchlistCoins.size())
                __builtin_trap();
        }
        (void)catalog.listedCoins();
    } else {
        if (CoinCatalog::parse(bytes).has_value())
            __builtin_trap();
    }
    return 0;
}
