// SPDX-License-Identifier: GPL-3.0-or-later
#include "settingswindow.h"

#include "i18n/localizationmanager.h"
#include "settingsstore/settingsviewmodel.h"
#include "settingswindowmodel.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QStackedWidget>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>

namespace Vantrell {

namespace {

constexpr int kSidebarWidth = 190;

QIcon tabIcon(const SettingsTabItem &item)
{
    // The desktop's icon theme first; Qt's own icons where the theme has none.
    const QStyle::StandardPixmap fallback = item.tab == SettingsTab::general ? QStyle::SP_FileDialogDetailedView
        : item.tab == SettingsTab::watchlist                                 ? QStyle::SP_FileDialogListView
                                                                             : QStyle::SP_MessageBoxInformation;
    return QIcon::fromTheme(QString::fromLatin1(item.iconName), QApplication::style()->standardIcon(fallback));
}

int indexOf(SettingsTab tab)
{
    const QList<SettingsTabItem> &items = settingsTabItems();
    for (int i = 0; i < items.size(); ++i) {
        if (items.at(i).tab == tab)
            return i;
    }
    return 0;
}

} // namespace

SettingsWindow::SettingsWindow(
    SettingsViewModel &settings, QWidget *general, QWidget *watchlist, QWidget *about, QWidget *parent)
    : QWidget(parent, Qt::Window)
    , m_settings(settings)
{
    setWindowIcon(QIcon::fromTheme(QStringLiteral(VANTRELL_APP_ID), QApplication::windowIcon()));
    setMinimumSize(600, 420);
    setMaximumSize(800, 500);

    m_sidebar = new QListWidget(this);
    m_sidebar->setFixedWidth(kSidebarWidth);
    m_sidebar->setFrameShape(QFrame::NoFrame);
    m_sidebar->setIconSize(QSize(18, 18));
    m_sidebar->setSpacing(2);
    QPalette sidebarPalette = m_sidebar->palette();
    sidebarPalette.setColor(QPalette::Base, palette().color(QPalette::Window));
    m_sidebar->setPalette(sidebarPalette);
    for (const SettingsTabItem &item : settingsTabItems())
        new QListWidgetItem(tabIcon(item), QString(), m_sidebar);

    m_title = new QLabel(this);
    QFont titleFont = m_title->font();
    titleFont.setBold(true);
    titleFont.setPointSizeF(titleFont.pointSizeF() * 1.15);
    m_title->setFont(titleFont);
    m_addCoin = new QToolButton(this);
    m_addCoin->setIcon(QIcon::fromTheme(QStringLiteral("list-add")));
    m_addCoin->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    // Pressing it while the add-coin panel is open must not count as a press outside the panel.
    m_addCoin->setProperty("togglesAddCoin", true);
    connect(m_addCoin, &QToolButton::clicked, this, &SettingsWindow::addCoinToggled);
    auto *topBar = new QHBoxLayout;
    topBar->setContentsMargins(24, 12, 16, 4);
    topBar->addWidget(m_title, 1);
    topBar->addWidget(m_addCoin);

    m_pages = new QStackedWidget(this);
    m_pages->addWidget(general);
    m_pages->addWidget(watchlist);
    m_pages->addWidget(about);

    auto *detail = new QVBoxLayout;
    detail->setContentsMargins(0, 0, 0, 0);
    detail->setSpacing(0);
    detail->addLayout(topBar);
    detail->addWidget(m_pages, 1);
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(m_sidebar);
    layout->addLayout(detail, 1);

    connect(m_sidebar, &QListWidget::currentRowChanged, this, [this](int row) {
        if (row < 0 || row >= settingsTabItems().size())
            return;
        const SettingsTab tab = settingsTabItems().at(row).tab;
        showTab(tab);
        m_settings.setSettingsWindowTab(tab);
    });
    connect(&m_settings, &SettingsViewModel::settingsWindowTabChanged, this, &SettingsWindow::showTab);
    connect(&LocalizationManager::shared(), &LocalizationManager::bundleChanged, this, &SettingsWindow::retranslate);
    retranslate();
    showTab(m_settings.settingsWindowTab());
}

SettingsTab SettingsWindow::selectedTab() const
{
    return settingsTabItems().at(std::max(0, m_sidebar->currentRow())).tab;
}

void SettingsWindow::showTab(SettingsTab tab)
{
    const int index = indexOf(tab);
    if (m_sidebar->currentRow() != index) {
        const QSignalBlocker blocker(m_sidebar);
        m_sidebar->setCurrentRow(index);
    }
    m_pages->setCurrentIndex(index);
    // Only the Watchlist tab has the button; elsewhere it is gone for assistive tools too.
    m_addCoin->setVisible(tab == SettingsTab::watchlist);
    retranslate();
}

void SettingsWindow::retranslate()
{
    const QList<SettingsTabItem> &items = settingsTabItems();
    for (int i = 0; i < items.size(); ++i) {
        const QString title = localizedString(QString::fromLatin1(items.at(i).titleKey));
        m_sidebar->item(i)->setText(title);
        m_sidebar->item(i)->setData(Qt::AccessibleTextRole, title);
    }
    const QString title = localizedString(QString::fromLatin1(items.at(indexOf(selectedTab())).titleKey));
    m_title->setText(title);
    setWindowTitle(title);
    m_sidebar->setAccessibleName(localizedString(QStringLiteral("window.settings.title")));
    const QString addCoin = localizedString(QStringLiteral("watchlist.addCoin"));
    m_addCoin->setText(addCoin);
    m_addCoin->setToolTip(addCoin);
    m_addCoin->setAccessibleName(addCoin);
}

} // namespace Vantrell
