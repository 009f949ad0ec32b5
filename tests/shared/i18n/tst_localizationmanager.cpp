// SPDX-License-Identifier: GPL-3.0-or-later
#include "i18n/languagetags.h"
#include "i18n/localizationmanager.h"
#include "platform/bundle.h"
#include "testenvironment.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using namespace Vantrell;

Q_DECLARE_METATYPE(Vantrell::AppLanguage)

namespace {

const QString kBuildBundle = QStringLiteral(VANTRELL_BUILD_BUNDLE_DIR);

// A bundle root with Info.json and the compiled tables of `codes` only.
void writeBundleWithTables(const QString &root, const QStringList &codes)
{
    Test::writeTestBundle(root);
    QDir(root).mkpath(QStringLiteral("i18n"));
    for (const QString &code : codes) {
        const QString name = QStringLiteral("/i18n/vantrell_") + code + QStringLiteral(".qm");
        QVERIFY2(QFile::copy(kBuildBundle + name, root + name), qPrintable(name));
    }
}

} // namespace

class TestLocalizationManager final : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY2(Bundle(kBuildBundle).translationPath(QStringLiteral("en")), "build the vantrell_translations target");
    }

    void cleanup() { LocalizationManager::shared().setBundle(StringBundle()); }

    void canonicalTag_data()
    {
        QTest::addColumn<QString>("tag");
        QTest::addColumn<QString>("expected");

        QTest::newRow("POSIX name with codeset") << QStringLiteral("zh_TW.UTF-8") << QStringLiteral("zh-TW");
        QTest::newRow("POSIX name with modifier") << QStringLiteral("sr_RS@latin") << QStringLiteral("sr-RS");
        QTest::newRow("lower-case script and region") << QStringLiteral("zh-hant-tw") << QStringLiteral("zh-Hant-TW");
        QTest::newRow("upper-case language") << QStringLiteral("EN-us") << QStringLiteral("en-US");
        QTest::newRow("numeric region") << QStringLiteral("es-419") << QStringLiteral("es-419");
        QTest::newRow("variant") << QStringLiteral("de-DE-1996") << QStringLiteral("de-DE-1996");
        QTest::newRow("private use stays lower case")
            << QStringLiteral("zh-Hant-x-tw") << QStringLiteral("zh-Hant-x-tw");
        QTest::newRow("surrounding blanks") << QStringLiteral(" en ") << QStringLiteral("en");
        QTest::newRow("C") << QStringLiteral("C") << QString();
        QTest::newRow("C.UTF-8") << QStringLiteral("C.UTF-8") << QString();
        QTest::newRow("POSIX") << QStringLiteral("POSIX") << QString();
        QTest::newRow("empty") << QString() << QString();
        QTest::newRow("digit language") << QStringLiteral("1x-TW") << QString();
        QTest::newRow("empty subtag") << QStringLiteral("zh--TW") << QString();
        QTest::newRow("subtag too long") << QStringLiteral("zh-abcdefghi") << QString();
        QTest::newRow("not ASCII") << QStringLiteral("zh-\u53F0\u7063") << QString();
    }

    void canonicalTag()
    {
        QFETCH(QString, tag);
        QFETCH(QString, expected);
        QCOMPARE(LanguageTags::canonical(tag), expected);
    }

    void resolvedLanguage_data()
    {
        QTest::addColumn<AppLanguage>("setting");
        QTest::addColumn<QStringList>("preferred");
        QTest::addColumn<AppLanguage>("expected");

        const auto system = AppLanguage::system;
        const auto en = AppLanguage::en;
        const auto hans = AppLanguage::zhHans;
        const auto hant = AppLanguage::zhHant;
        const auto list = [](const char *tags) { return QString::fromUtf8(tags).split(u',', Qt::SkipEmptyParts); };

        QTest::newRow("en while the system is Chinese") << en << list("zh-CN,zh-Hans-CN") << en;
        QTest::newRow("zh-Hant whatever the system") << hant << list("en-US") << hant;
        QTest::newRow("zh-Hans with no preferences") << hans << QStringList() << hans;

        QTest::newRow("zh-HK") << system << list("zh-HK") << hant;
        QTest::newRow("zh-Hans-CN") << system << list("zh-Hans-CN") << hans;
        QTest::newRow("zh-Hant-TW") << system << list("zh-Hant-TW") << hant;
        QTest::newRow("fr-FR") << system << list("fr-FR") << en;
        QTest::newRow("no preferences") << system << QStringList() << en;

        // What Qt reports for the usual Linux locales.
        QTest::newRow("LANG=zh_TW") << system << list("zh-TW,zh-Hant-TW") << hant;
        QTest::newRow("LANG=zh_HK") << system << list("zh-HK,zh-Hant-HK") << hant;
        QTest::newRow("LANG=zh_MO") << system << list("zh-MO,zh-Hant-MO") << hant;
        QTest::newRow("LANG=zh_CN") << system << list("zh-CN,zh-Hans-CN,zh") << hans;
        QTest::newRow("LANG=zh_SG") << system << list("zh-SG,zh-Hans-SG") << hans;
        QTest::newRow("LANG=zh") << system << list("zh,zh-Hans-CN,zh-CN") << hans;
        QTest::newRow("LANG=fr_FR") << system << list("fr-FR,fr-Latn-FR,fr") << en;
        QTest::newRow("LANG=en_US") << system << list("en-US,en-Latn-US,en") << en;
        QTest::newRow("LANG=C") << system << list("C") << en;

        QTest::newRow("script decides over region") << system << list("zh-Hans-TW") << hans;
        QTest::newRow("Hant outside the Hant regions") << system << list("zh-Hant-CN") << hant;
        QTest::newRow("POSIX spelling") << system << list("zh_TW.UTF-8") << hant;
        QTest::newRow("lower-case region") << system << list("zh-tw") << hant;
        QTest::newRow("Macao with script") << system << list("zh-Hant-MO") << hant;
        QTest::newRow("Zhuang is not Chinese") << system << list("zha-CN") << en;
        QTest::newRow("Cantonese is not offered") << system << list("yue-Hant-HK") << en;

        // LANGUAGE is a chain of fallbacks: a language without a table gives way.
        QTest::newRow("French, else Chinese") << system << list("fr,fr-Latn-FR,fr-FR,zh-CN,zh-Hans-CN,zh") << hans;
        QTest::newRow("German, else Traditional") << system << list("de-DE,zh-TW") << hant;
        QTest::newRow("English before Chinese") << system << list("en-GB,zh-TW") << en;
        QTest::newRow("junk before Chinese") << system << list("C,zh-HK") << hant;
    }

    void resolvedLanguage()
    {
        QFETCH(AppLanguage, setting);
        QFETCH(QStringList, preferred);
        QFETCH(AppLanguage, expected);
        QCOMPARE(LocalizationManager::resolvedLanguage(setting, preferred), expected);
    }

    void bundleForLanguage_data()
    {
        QTest::addColumn<AppLanguage>("setting");
        QTest::addColumn<QStringList>("preferred");
        QTest::addColumn<QString>("language");
        QTest::addColumn<QString>("quit");

        QTest::newRow("en") << AppLanguage::en << QStringList {QStringLiteral("zh-TW")} << QStringLiteral("en")
                            << QStringLiteral("Quit Vantrell");
        QTest::newRow("zh-Hans") << AppLanguage::zhHans << QStringList() << QStringLiteral("zh-Hans")
                                 << QStringLiteral("退出 Vantrell");
        QTest::newRow("zh-Hant") << AppLanguage::zhHant << QStringList() << QStringLiteral("zh-Hant")
                                 << QStringLiteral("結束 Vantrell");
        QTest::newRow("system in Hong Kong") << AppLanguage::system << QStringList {QStringLiteral("zh-HK")}
                                             << QStringLiteral("zh-Hant") << QStringLiteral("結束 Vantrell");
        QTest::newRow("system in France") << AppLanguage::system << QStringList {QStringLiteral("fr-FR")}
                                          << QStringLiteral("en") << QStringLiteral("Quit Vantrell");
    }

    void bundleForLanguage()
    {
        QFETCH(AppLanguage, setting);
        QFETCH(QStringList, preferred);
        QFETCH(QString, language);
        QFETCH(QString, quit);

        const StringBundle bundle = LocalizationManager::bundle(setting, Bundle(kBuildBundle), preferred);
        QCOMPARE(bundle.language(), language);
        QCOMPARE(bundle.tableLanguage(), language);
        QVERIFY(!bundle.isMainBundle());
        QCOMPARE(bundle.string(QStringLiteral("menu.quit")), quit);
        QCOMPARE(bundle.string(QStringLiteral("no.such.key")), QStringLiteral("no.such.key"));
        QCOMPARE(bundle.string(QString()), QString());
    }

    void missingTableFallsBackToMainBundle_data()
    {
        QTest::addColumn<QStringList>("tables");
        QTest::addColumn<AppLanguage>("setting");
        QTest::addColumn<QStringList>("preferred");
        QTest::addColumn<QString>("expectedTable"); // "" for none

        const QStringList withoutHant {QStringLiteral("en"), QStringLiteral("zh-Hans")};
        QTest::newRow("no zh-Hant, system prefers Chinese")
            << withoutHant << AppLanguage::zhHant << QStringList {QStringLiteral("zh-TW"), QStringLiteral("zh-CN")}
            << QStringLiteral("zh-Hans");
        QTest::newRow("no zh-Hant, system prefers French")
            << withoutHant << AppLanguage::zhHant << QStringList {QStringLiteral("fr-FR")} << QStringLiteral("en");
        QTest::newRow("no zh-Hant, system in Taiwan only")
            << withoutHant << AppLanguage::system << QStringList {QStringLiteral("zh-TW")} << QStringLiteral("en");
        QTest::newRow("only zh-Hant") << QStringList {QStringLiteral("zh-Hant")} << AppLanguage::en
                                      << QStringList {QStringLiteral("fr-FR")} << QStringLiteral("zh-Hant");
        QTest::newRow("no tables at all") << QStringList() << AppLanguage::zhHans << QStringList() << QString();
    }

    void missingTableFallsBackToMainBundle()
    {
        QFETCH(QStringList, tables);
        QFETCH(AppLanguage, setting);
        QFETCH(QStringList, preferred);
        QFETCH(QString, expectedTable);

        QTemporaryDir dir;
        writeBundleWithTables(dir.path(), tables);
        const StringBundle bundle = LocalizationManager::bundle(setting, Bundle(dir.path()), preferred);
        QVERIFY(bundle.isMainBundle());
        QCOMPARE(bundle.language(), QString());
        QCOMPARE(bundle.tableLanguage(), expectedTable);
        if (expectedTable.isEmpty())
            QCOMPARE(bundle.string(QStringLiteral("menu.quit")), QStringLiteral("menu.quit"));
        else
            QVERIFY(bundle.string(QStringLiteral("menu.quit")) != QStringLiteral("menu.quit"));
    }

    void unreadableTableCountsAsMissing()
    {
        QTemporaryDir dir;
        writeBundleWithTables(dir.path(), {QStringLiteral("en")});
        QFile broken(dir.filePath(QStringLiteral("i18n/vantrell_zh-Hant.qm")));
        QVERIFY(broken.open(QIODevice::WriteOnly));
        broken.write("not a compiled string table");
        broken.close();

        QVERIFY(!StringBundle::load(Bundle(dir.path()), QStringLiteral("zh-Hant")));
        const StringBundle bundle = LocalizationManager::bundle(AppLanguage::zhHant, Bundle(dir.path()), {});
        QVERIFY(bundle.isMainBundle());
        QCOMPARE(bundle.tableLanguage(), QStringLiteral("en"));
    }

    void executableBundle()
    {
        // The test embeds the bundle like the application does, and runs under LANG=C.UTF-8.
        QVERIFY(LocalizationManager::preferredLanguages().isEmpty());
        const StringBundle main;
        QVERIFY(main.isMainBundle());
        QCOMPARE(main.tableLanguage(), QStringLiteral("en"));
        QCOMPARE(main.string(QStringLiteral("menu.quit")), QStringLiteral("Quit Vantrell"));

        const StringBundle hant = LocalizationManager::bundle(AppLanguage::zhHant);
        QCOMPARE(hant.language(), QStringLiteral("zh-Hant"));
        QCOMPARE(hant.string(QStringLiteral("menu.quit")), QStringLiteral("結束 Vantrell"));
        // Tables compiled into the executable are loaded once and shared.
        QVERIFY(LocalizationManager::bundle(AppLanguage::zhHant) == hant);
        QVERIFY(LocalizationManager::bundle(AppLanguage::system) == LocalizationManager::bundle(AppLanguage::en));
    }

    void sharedBundleStartsAsMainBundle()
    {
        QVERIFY(LocalizationManager::shared().bundle().isMainBundle());
        QCOMPARE(localizedString(QStringLiteral("menu.quit")), QStringLiteral("Quit Vantrell"));
        QCOMPARE(localizedString(QStringLiteral("no.such.key")), QStringLiteral("no.such.key"));
    }

    void displayNamesFollowTheSharedBundle()
    {
        auto &manager = LocalizationManager::shared();
        QSignalSpy changed(&manager, &LocalizationManager::bundleChanged);
        const Bundle resources(kBuildBundle);

        manager.setBundle(LocalizationManager::bundle(AppLanguage::zhHans, resources, {}));
        QCOMPARE(changed.count(), 1);
        QCOMPARE(displayName(CoinAlertKind::above), QStringLiteral("高于"));
        QCOMPARE(displayName(PriceColorScheme::custom), QStringLiteral("自定义"));
        QCOMPARE(displayName(BaseCurrency::eur), QStringLiteral("EUR"));

        manager.setBundle(LocalizationManager::bundle(AppLanguage::zhHant, resources, {}));
        QCOMPARE(changed.count(), 2);
        QCOMPARE(displayName(CoinAlertKind::above), QStringLiteral("高於"));
        QCOMPARE(displayName(PriceColorScheme::custom), QStringLiteral("自訂"));
        QCOMPARE(displayName(MenuBarContent::icon), QStringLiteral("圖示"));
        QCOMPARE(displayName(BaseCurrency::twd), QStringLiteral("TWD"));

        // Setting the same table again is no change.
        manager.setBundle(LocalizationManager::bundle(AppLanguage::zhHant, resources, {}));
        QCOMPARE(changed.count(), 2);

        manager.setBundle(LocalizationManager::bundle(AppLanguage::en, resources, {}));
        QCOMPARE(changed.count(), 3);
        QCOMPARE(displayName(CoinAlertKind::above), QStringLiteral("Above"));
        QCOMPARE(displayName(DesktopOverlayTextSize::large), QStringLiteral("Large"));
    }

    void languageNames_data()
    {
        QTest::addColumn<AppLanguage>("interfaceLanguage");
        QTest::addColumn<QString>("system");

        QTest::newRow("en") << AppLanguage::en << QStringLiteral("System Default");
        QTest::newRow("zh-Hans") << AppLanguage::zhHans << QStringLiteral("跟随系统");
        QTest::newRow("zh-Hant") << AppLanguage::zhHant << QStringLiteral("系統預設");
    }

    void languageNames()
    {
        QFETCH(AppLanguage, interfaceLanguage);
        QFETCH(QString, system);

        LocalizationManager::shared().setBundle(
            LocalizationManager::bundle(interfaceLanguage, Bundle(kBuildBundle), {}));
        // The choices name each language in itself, so the list reads the same in every language.
        QCOMPARE(displayName(AppLanguage::en), QStringLiteral("English"));
        QCOMPARE(displayName(AppLanguage::zhHans), QStringLiteral("简体中文"));
        QCOMPARE(displayName(AppLanguage::zhHant), QStringLiteral("繁體中文"));
        QCOMPARE(displayName(AppLanguage::system), system);
    }

    void substituteArguments_data()
    {
        QTest::addColumn<QString>("format");
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("expected");

        const QStringList four {
            QStringLiteral("BTC"), QStringLiteral("down"), QStringLiteral("3.46%"), QStringLiteral("97,342")};
        QTest::newRow("in order") << QStringLiteral("%1 is %2 %3 — now %4") << four
                                  << QStringLiteral("BTC is down 3.46% — now 97,342");
        QTest::newRow("reordered") << QStringLiteral("%4: %1 %3 %2") << four
                                   << QStringLiteral("97,342: BTC 3.46% down");
        QTest::newRow("placeholder used twice") << QStringLiteral("%1/%1") << four << QStringLiteral("BTC/BTC");
        QTest::newRow("extra arguments ignored") << QStringLiteral("%1 only") << four << QStringLiteral("BTC only");
        QTest::newRow("missing key shown as is") << QStringLiteral("notification.priceAlert.change") << four
                                                 << QStringLiteral("notification.priceAlert.change");
        QTest::newRow("placeholder without argument stays")
            << QStringLiteral("%1 and %5") << four << QStringLiteral("BTC and %5");
        QTest::newRow("arguments are not substituted again")
            << QStringLiteral("%1 %2") << QStringList {QStringLiteral("%2"), QStringLiteral("x")}
            << QStringLiteral("%2 x");
        QTest::newRow("percent sign after placeholder")
            << QStringLiteral("%1%") << QStringList {QStringLiteral("5")} << QStringLiteral("5%");
        QTest::newRow("digit after placeholder")
            << QStringLiteral("%15%") << QStringList {QStringLiteral("2")} << QStringLiteral("25%");
        QTest::newRow("two-digit placeholder")
            << QStringLiteral("%12-%1")
            << QStringList {QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c"), QStringLiteral("d"),
                   QStringLiteral("e"), QStringLiteral("f"), QStringLiteral("g"), QStringLiteral("h"),
                   QStringLiteral("i"), QStringLiteral("j"), QStringLiteral("k"), QStringLiteral("l")}
            << QStringLiteral("l-a");
        QTest::newRow("%0 is no placeholder") << QStringLiteral("%0 %1") << four << QStringLiteral("%0 BTC");
        QTest::newRow("lone percent at the end") << QStringLiteral("100%") << four << QStringLiteral("100%");
    }

    void substituteArguments()
    {
        QFETCH(QString, format);
        QFETCH(QStringList, arguments);
        QFETCH(QString, expected);
        QCOMPARE(Vantrell::substituteArguments(format, arguments), expected);
    }

    void notificationTemplatesKeepArgumentOrder_data()
    {
        QTest::addColumn<AppLanguage>("language");
        QTest::addColumn<QString>("expected");

        QTest::newRow("en") << AppLanguage::en << QStringLiteral("ETH is down 3.46% — now 3,142.18");
        QTest::newRow("zh-Hans") << AppLanguage::zhHans << QStringLiteral("ETH 下跌 3.46%，现价 3,142.18");
        QTest::newRow("zh-Hant") << AppLanguage::zhHant << QStringLiteral("ETH 下跌 3.46%，現價 3,142.18");
    }

    void notificationTemplatesKeepArgumentOrder()
    {
        QFETCH(AppLanguage, language);
        QFETCH(QString, expected);

        LocalizationManager::shared().setBundle(LocalizationManager::bundle(language, Bundle(kBuildBundle), {}));
        const QString direction = localizedString(QStringLiteral("notification.direction.down"));
        QCOMPARE(localizedString(QStringLiteral("notification.priceAlert.change"),
                     {QStringLiteral("ETH"), direction, QStringLiteral("3.46%"), QStringLiteral("3,142.18")}),
            expected);
    }
};

QTEST_GUILESS_MAIN(TestLocalizationManager)
#include "tst_localizationmanager.moc"
