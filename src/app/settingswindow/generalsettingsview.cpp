// SPDX-License-Identifier: GPL-3.0-or-later
#include "generalsettingsview.h"

#include "coinlist/coinlistfeed.h"
#include "colorpickerrow.h"
#include "i18n/localizationmanager.h"
#include "segmentedcontrol.h"
#include "settingsstore/settingsviewmodel.h"
#include "settingswindowmodel.h"
#include "ui/notificationcenter.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QSignalBlocker>
#include <QSlider>
#include <QVBoxLayout>

namespace Vantrell {

namespace {

constexpr int kPickerWidth = 220;
constexpr int kTextSizeWidth = 160;
constexpr int kSliderWidth = 176;
constexpr int kPercentWidth = 40;

QFormLayout *formOf(QGroupBox *section)
{
    auto *form = new QFormLayout(section);
    form->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);
    form->setFormAlignment(Qt::AlignLeft | Qt::AlignTop);
    form->setLabelAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    form->setRowWrapPolicy(QFormLayout::DontWrapRows);
    return form;
}

// Controls pushed to the trailing edge of their row. A layout, not a widget:
// the controls stay siblings of the row's label, which is the only way Qt hands
// a screen reader the label (a LABELLED_BY relation from QLabel::setBuddy).
QHBoxLayout *trailing(std::initializer_list<QWidget *> controls)
{
    auto *layout = new QHBoxLayout;
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addStretch(1);
    for (QWidget *control : controls)
        layout->addWidget(control);
    return layout;
}

template<typename E>
void fillCombo(QComboBox *combo)
{
    const int current = combo->currentIndex();
    combo->clear();
    for (const E value : allCases<E>())
        combo->addItem(displayName(value), rawValue(value));
    combo->setCurrentIndex(current);
}

template<typename E>
QStringList displayNames()
{
    QStringList names;
    for (const E value : allCases<E>())
        names.append(displayName(value));
    return names;
}

template<typename E>
int indexOf(E value)
{
    const auto cases = allCases<E>();
    return int(std::find(cases.begin(), cases.end(), value) - cases.begin());
}

} // namespace

GeneralSettingsView::GeneralSettingsView(SettingsViewModel &settings, CoinListFeed &coins,
    AppNotificationCenter &notifications, std::function<void(bool)> applyLoginItem, QWidget *parent)
    : QWidget(parent)
    , m_settings(settings)
    , m_coins(coins)
    , m_notifications(notifications)
    , m_applyLoginItem(std::move(applyLoginItem))
{
    auto *content = new QWidget;
    auto *column = new QVBoxLayout(content);
    column->setContentsMargins(24, 20, 24, 24);
    column->setSpacing(14);

    // Launch
    m_launchSection = new QGroupBox(content);
    m_launchAtLogin = new QCheckBox(m_launchSection);
    formOf(m_launchSection)->addRow(m_launchAtLogin);
    connect(m_launchAtLogin, &QCheckBox::toggled, this, [this](bool on) {
        change([on](AppSettings &s) { s.launchAtLogin = on; });
        if (m_applyLoginItem)
            m_applyLoginItem(on);
    });

    // The panel's title
    m_menuBarSection = new QGroupBox(content);
    QFormLayout *menuBar = formOf(m_menuBarSection);
    m_menuBarForm = menuBar;
    m_contentLabel = new QLabel(m_menuBarSection);
    m_content = new SegmentedControl(int(allCases<MenuBarContent>().size()), m_menuBarSection);
    m_content->setFixedWidth(kPickerWidth);
    m_contentLabel->setBuddy(m_content);
    menuBar->addRow(m_contentLabel, trailing({m_content}));
    connect(m_content, &SegmentedControl::activated, this, [this](int index) {
        change([index](AppSettings &s) { s.menuBarContent = allCases<MenuBarContent>()[index]; });
    });

    m_coinLabel = new QLabel(m_menuBarSection);
    m_coin = new QComboBox(m_menuBarSection);
    m_coin->setFixedWidth(kPickerWidth);
    m_coinHint = new QLabel(m_menuBarSection);
    m_coinHint->setFixedWidth(kPickerWidth);
    m_coinHint->setWordWrap(true);
    m_coinHint->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    m_coinHint->setForegroundRole(QPalette::PlaceholderText);
    m_coinLabel->setBuddy(m_coin);
    menuBar->addRow(m_coinLabel, trailing({m_coin, m_coinHint}));
    connect(m_coin, &QComboBox::activated, this, [this](int index) {
        const QString id = m_coin->itemData(index).toString();
        change([id](AppSettings &s) { s.displayedCoinId = id; });
    });

    m_textColor = new QCheckBox(m_menuBarSection);
    menuBar->addRow(m_textColor);
    connect(m_textColor, &QCheckBox::toggled, this,
        [this](bool on) { change([on](AppSettings &s) { s.priceColorEnabled = on; }); });

    m_schemeLabel = new QLabel(m_menuBarSection);
    m_schemes = new QWidget(m_menuBarSection);
    auto *schemeLayout = new QVBoxLayout(m_schemes);
    schemeLayout->setContentsMargins(0, 0, 0, 0);
    for (const PriceColorScheme scheme : allCases<PriceColorScheme>()) {
        auto *button = new QRadioButton(m_schemes);
        schemeLayout->addWidget(button);
        m_schemeButtons.append(button);
        connect(button, &QRadioButton::clicked, this,
            [this, scheme] { change([scheme](AppSettings &s) { s.colorScheme = scheme; }); });
    }
    menuBar->addRow(m_schemeLabel, m_schemes);

    m_customColors = new QWidget(m_menuBarSection);
    auto *colors = new QHBoxLayout(m_customColors);
    colors->setContentsMargins(0, 0, 0, 0);
    colors->setSpacing(16);
    m_upColor = new ColorPickerRow(
        [this](const QString &hex) { change([hex](AppSettings &s) { s.customUpColorHex = hex; }); }, m_customColors);
    m_downColor = new ColorPickerRow(
        [this](const QString &hex) { change([hex](AppSettings &s) { s.customDownColorHex = hex; }); }, m_customColors);
    colors->addStretch(1);
    colors->addWidget(m_upColor);
    colors->addWidget(m_downColor);
    menuBar->addRow(m_customColors);

    m_textBackground = new QCheckBox(m_menuBarSection);
    menuBar->addRow(m_textBackground);
    connect(m_textBackground, &QCheckBox::toggled, this,
        [this](bool on) { change([on](AppSettings &s) { s.showMenuBarBackground = on; }); });

    // The desktop overlay
    m_desktopSection = new QGroupBox(content);
    QFormLayout *desktop = formOf(m_desktopSection);
    m_showOverlay = new QCheckBox(m_desktopSection);
    desktop->addRow(m_showOverlay);
    connect(m_showOverlay, &QCheckBox::toggled, this,
        [this](bool on) { change([on](AppSettings &s) { s.desktopOverlayEnabled = on; }); });
    m_textSizeLabel = new QLabel(m_desktopSection);
    m_textSize = new SegmentedControl(int(allCases<DesktopOverlayTextSize>().size()), m_desktopSection);
    m_textSize->setFixedWidth(kTextSizeWidth);
    m_textSizeLabel->setBuddy(m_textSize);
    desktop->addRow(m_textSizeLabel, trailing({m_textSize}));
    connect(m_textSize, &SegmentedControl::activated, this, [this](int index) {
        change([index](AppSettings &s) { s.desktopOverlayTextSize = allCases<DesktopOverlayTextSize>()[index]; });
    });
    m_opacityLabel = new QLabel(m_desktopSection);
    m_opacity = new QSlider(Qt::Horizontal, m_desktopSection);
    m_opacity->setRange(0, 100);
    m_opacity->setFixedWidth(kSliderWidth);
    m_opacityValue = new QLabel(m_desktopSection);
    m_opacityValue->setFixedWidth(kPercentWidth);
    m_opacityValue->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    m_opacityValue->setForegroundRole(QPalette::PlaceholderText);
    QFont digits = m_opacityValue->font();
    digits.setStyleHint(QFont::Monospace);
    digits.setFamily(QStringLiteral("monospace"));
    m_opacityValue->setFont(digits);
    m_opacityLabel->setBuddy(m_opacity);
    desktop->addRow(m_opacityLabel, trailing({m_opacity, m_opacityValue}));
    connect(m_opacity, &QSlider::valueChanged, this, [this](int percent) {
        change([percent](AppSettings &s) { s.desktopOverlayBackgroundOpacity = percent / 100.0; });
    });
    m_overlayCharts = new QCheckBox(m_desktopSection);
    desktop->addRow(m_overlayCharts);
    connect(m_overlayCharts, &QCheckBox::toggled, this,
        [this](bool on) { change([on](AppSettings &s) { s.desktopOverlayShowsCharts = on; }); });
    m_adjust = new QPushButton(m_desktopSection);
    desktop->addRow(trailing({m_adjust}));
    connect(m_adjust, &QPushButton::clicked, this,
        [this] { m_notifications.post(AppNotificationName::adjustDesktopOverlay); });

    // Prices
    m_pricesSection = new QGroupBox(content);
    m_currencyLabel = new QLabel(m_pricesSection);
    m_currency = new QComboBox(m_pricesSection);
    m_currency->setFixedWidth(kPickerWidth);
    m_currencyLabel->setBuddy(m_currency);
    QFormLayout *prices = formOf(m_pricesSection);
    prices->addRow(m_currencyLabel, trailing({m_currency}));
    connect(m_currency, &QComboBox::activated, this,
        [this](int index) { change([index](AppSettings &s) { s.baseCurrency = allCases<BaseCurrency>()[index]; }); });
    // One form per section: a second layout would not take the group box.
    m_charts = new QCheckBox(m_pricesSection);
    prices->addRow(m_charts);
    connect(m_charts, &QCheckBox::toggled, this,
        [this](bool on) { change([on](AppSettings &s) { s.show24hCharts = on; }); });
    m_hideBalances = new QCheckBox(m_pricesSection);
    prices->addRow(m_hideBalances);
    connect(m_hideBalances, &QCheckBox::toggled, this,
        [this](bool on) { change([on](AppSettings &s) { s.hideBalances = on; }); });

    // Notifications
    m_notificationSection = new QGroupBox(content);
    m_priceAlerts = new QCheckBox(m_notificationSection);
    formOf(m_notificationSection)->addRow(m_priceAlerts);
    connect(m_priceAlerts, &QCheckBox::toggled, this,
        [this](bool on) { change([on](AppSettings &s) { s.priceChangeNotificationEnabled = on; }); });

    // Language
    m_languageSection = new QGroupBox(content);
    m_languageLabel = new QLabel(m_languageSection);
    m_language = new QComboBox(m_languageSection);
    m_language->setFixedWidth(kPickerWidth);
    m_languageLabel->setBuddy(m_language);
    formOf(m_languageSection)->addRow(m_languageLabel, trailing({m_language}));
    connect(m_language, &QComboBox::activated, this,
        [this](int index) { change([index](AppSettings &s) { s.language = allCases<AppLanguage>()[index]; }); });

    for (QGroupBox *section : {m_launchSection, m_menuBarSection, m_desktopSection, m_pricesSection,
             m_notificationSection, m_languageSection})
        column->addWidget(section);
    column->addStretch(1);

    auto *scroll = new QScrollArea(this);
    // Not a stop of its own for Tab: the controls in it are, and it scrolls to them.
    scroll->setFocusPolicy(Qt::NoFocus);
    scroll->setWidget(content);
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(scroll);

    buildTexts();
    refresh(m_settings.settings());
    connect(&m_settings, &SettingsViewModel::settingsChanged, this, &GeneralSettingsView::refresh);
    connect(&m_coins, &CoinListFeed::coinsChanged, this, [this] { refresh(m_shown); });
    connect(&LocalizationManager::shared(), &LocalizationManager::bundleChanged, this, [this] {
        buildTexts();
        refresh(m_shown);
    });
}

void GeneralSettingsView::change(const std::function<void(AppSettings &)> &edit)
{
    m_settings.update(edit);
}

void GeneralSettingsView::buildTexts()
{
    const auto text = [](const char *key) { return localizedString(QString::fromLatin1(key)); };
    m_launchSection->setTitle(text("general.section.launch"));
    m_launchAtLogin->setText(text("general.launch.atLogin"));
    m_menuBarSection->setTitle(text("general.section.menubar"));
    m_contentLabel->setText(text("general.display.menubarContent"));
    m_content->setLabels(m_contentLabel->text(), displayNames<MenuBarContent>());
    m_coinLabel->setText(text("general.display.menubarCoin"));
    m_coinHint->setText(text("general.display.menubarCoin.hint"));
    m_textColor->setText(text("general.display.textColor"));
    m_schemeLabel->setText(text("general.display.colorScheme"));
    const auto schemes = allCases<PriceColorScheme>();
    for (int i = 0; i < m_schemeButtons.size(); ++i) {
        m_schemeButtons.at(i)->setText(displayName(schemes[i]));
        m_schemeButtons.at(i)->setAccessibleName(
            m_schemeLabel->text() + QStringLiteral(": ") + displayName(schemes[i]));
    }
    m_upColor->setLabel(text("general.priceColor.upColor"));
    m_downColor->setLabel(text("general.priceColor.downColor"));
    m_textBackground->setText(text("general.display.textBackground"));
    m_desktopSection->setTitle(text("general.section.desktop"));
    m_showOverlay->setText(text("desktop.show"));
    m_textSizeLabel->setText(text("desktop.textSize"));
    m_textSize->setLabels(m_textSizeLabel->text(), displayNames<DesktopOverlayTextSize>());
    m_opacityLabel->setText(text("desktop.opacity"));
    m_opacity->setAccessibleName(m_opacityLabel->text());
    m_adjust->setText(text("desktop.adjust"));
    m_overlayCharts->setText(text("desktop.charts"));
    m_charts->setText(text("general.charts.show"));
    m_pricesSection->setTitle(text("general.section.prices"));
    m_currencyLabel->setText(text("general.display.currency"));
    m_hideBalances->setText(text("general.hideBalances"));
    m_hideBalances->setToolTip(text("general.hideBalances.help"));
    fillCombo<BaseCurrency>(m_currency);
    m_notificationSection->setTitle(text("general.section.notification"));
    m_priceAlerts->setText(text("general.notification.priceAlert"));
    m_languageSection->setTitle(text("general.section.language"));
    m_languageLabel->setText(text("general.language.label"));
    fillCombo<AppLanguage>(m_language);
}

void GeneralSettingsView::refresh(const AppSettings &settings)
{
    m_shown = settings;
    const QList<QWidget *> controls {m_launchAtLogin, m_content, m_coin, m_textColor, m_schemes, m_textBackground,
        m_showOverlay, m_textSize, m_opacity, m_overlayCharts, m_currency, m_charts, m_hideBalances, m_priceAlerts,
        m_language};
    QList<std::shared_ptr<QSignalBlocker>> blockers;
    for (QWidget *control : controls)
        blockers.append(std::make_shared<QSignalBlocker>(control));
    for (QRadioButton *button : std::as_const(m_schemeButtons))
        blockers.append(std::make_shared<QSignalBlocker>(button));

    m_launchAtLogin->setChecked(settings.launchAtLogin);
    m_content->setCurrentIndex(indexOf(settings.menuBarContent));

    const QList<MenuBarCoinOption> options = menuBarCoinOptions(settings, m_coins.coins());
    m_coin->clear();
    for (const MenuBarCoinOption &option : options)
        m_coin->addItem(option.label, option.coinId);
    m_coin->setCurrentIndex(m_coin->findData(settings.displayedCoinId));
    m_coin->setVisible(!options.isEmpty());
    m_coinHint->setVisible(options.isEmpty());

    m_textColor->setChecked(settings.priceColorEnabled);
    m_menuBarForm->setRowVisible(m_schemes, settings.priceColorEnabled);
    m_schemeButtons.at(indexOf(settings.colorScheme))->setChecked(true);
    m_menuBarForm->setRowVisible(
        m_customColors, settings.priceColorEnabled && settings.colorScheme == PriceColorScheme::custom);
    m_upColor->setHexColor(settings.customUpColorHex);
    m_downColor->setHexColor(settings.customDownColorHex);
    m_textBackground->setChecked(settings.showMenuBarBackground);

    m_showOverlay->setChecked(settings.desktopOverlayEnabled);
    for (QWidget *row : {static_cast<QWidget *>(m_textSizeLabel), static_cast<QWidget *>(m_textSize),
             static_cast<QWidget *>(m_opacityLabel), static_cast<QWidget *>(m_opacity),
             static_cast<QWidget *>(m_opacityValue), static_cast<QWidget *>(m_adjust)})
        row->setEnabled(settings.desktopOverlayEnabled);
    m_overlayCharts->setChecked(settings.desktopOverlayShowsCharts);
    m_overlayCharts->setEnabled(settings.desktopOverlayEnabled && settings.show24hCharts);
    m_charts->setChecked(settings.show24hCharts);
    m_textSize->setCurrentIndex(indexOf(settings.desktopOverlayTextSize));
    if (!m_opacity->isSliderDown())
        m_opacity->setValue(int(std::round(settings.desktopOverlayBackgroundOpacity * 100)));
    m_opacityValue->setText(opacityPercentText(settings.desktopOverlayBackgroundOpacity));

    m_currency->setCurrentIndex(indexOf(settings.baseCurrency));
    m_hideBalances->setChecked(settings.hideBalances);
    m_priceAlerts->setChecked(settings.priceChangeNotificationEnabled);
    m_language->setCurrentIndex(indexOf(settings.language));
}

} // namespace Vantrell
