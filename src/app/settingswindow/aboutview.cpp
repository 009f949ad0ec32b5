// SPDX-License-Identifier: GPL-3.0-or-later
#include "aboutview.h"

#include "i18n/localizationmanager.h"
#include "platform/bundle.h"
#include "settingswindowmodel.h"
#include "updates/updatecontroller.h"

#include <QCheckBox>
#include <QFrame>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QScrollArea>
#include <QSvgRenderer>
#include <QVBoxLayout>

namespace Vantrell {

namespace {

QString text(const char *key)
{
    return localizedString(QString::fromLatin1(key));
}

QLabel *heading(const QString &title, QWidget *parent)
{
    auto *label = new QLabel(title, parent);
    QFont font = label->font();
    font.setBold(true);
    label->setFont(font);
    return label;
}

QLabel *secondary(const QString &title, QWidget *parent, qreal scale = 0.92)
{
    auto *label = new QLabel(title, parent);
    QFont font = label->font();
    font.setPointSizeF(font.pointSizeF() * scale);
    label->setFont(font);
    label->setForegroundRole(QPalette::PlaceholderText);
    label->setWordWrap(true);
    return label;
}

// A label that opens `url` when clicked; the text is escaped, the address is ours.
QLabel *link(const QString &title, const QUrl &url, QWidget *parent)
{
    auto *label = new QLabel(parent);
    label->setText(QStringLiteral("<a href=\"%1\">%2</a>")
                       .arg(url.toString(QUrl::FullyEncoded).toHtmlEscaped(), title.toHtmlEscaped()));
    label->setTextFormat(Qt::RichText);
    label->setOpenExternalLinks(true);
    label->setTextInteractionFlags(Qt::TextBrowserInteraction);
    label->setAccessibleName(title);
    return label;
}

QPixmap image(const Bundle &resources, const QString &name, int side, qreal ratio)
{
    QPixmap pixmap(QSize(side, side) * ratio);
    pixmap.setDevicePixelRatio(ratio);
    pixmap.fill(Qt::transparent);
    if (const std::optional<QString> path = resources.imagePath(name)) {
        QSvgRenderer svg(*path);
        QPainter painter(&pixmap);
        if (svg.isValid())
            svg.render(&painter, QRectF(0, 0, side, side));
        else
            painter.drawPixmap(QRect(0, 0, side, side), QPixmap(*path));
    }
    return pixmap;
}

QLabel *iconLabel(const QIcon &icon, QWidget *parent)
{
    auto *label = new QLabel(parent);
    label->setFixedSize(18, 18);
    label->setPixmap(icon.pixmap(QSize(16, 16)));
    label->setAlignment(Qt::AlignCenter);
    return label;
}

QWidget *iconRow(const QIcon &icon, QWidget *content, QWidget *parent)
{
    auto *row = new QWidget(parent);
    auto *layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(8);
    // A desktop without an icon theme gets the text alone, not an empty gap.
    if (!icon.isNull())
        layout->addWidget(iconLabel(icon, row), 0, Qt::AlignTop);
    content->setParent(row);
    layout->addWidget(content, 1);
    return row;
}

QFrame *divider(QWidget *parent)
{
    auto *line = new QFrame(parent);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    return line;
}

} // namespace

AboutView::AboutView(UpdateController &updates, const Bundle &resources, QWidget *parent)
    : QWidget(parent)
    , m_updates(updates)
    , m_resources(resources)
{
    auto *scroll = new QScrollArea(this);
    // Not a stop of its own for Tab: the controls in it are, and it scrolls to them.
    scroll->setFocusPolicy(Qt::NoFocus);
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(scroll);
    m_content = new QWidget;
    scroll->setWidget(m_content);
    new QVBoxLayout(m_content);

    build();
    connect(&m_updates, &UpdateController::changed, this, &AboutView::refreshUpdates);
    connect(&LocalizationManager::shared(), &LocalizationManager::bundleChanged, this, &AboutView::build);
}

void AboutView::build()
{
    auto *column = static_cast<QVBoxLayout *>(m_content->layout());
    while (QLayoutItem *item = column->takeAt(0)) {
        delete item->widget();
        delete item;
    }
    column->setContentsMargins(24, 24, 24, 24);
    column->setSpacing(16);
    const AboutLinks links = AboutLinks::of(m_resources);
    const qreal ratio = devicePixelRatioF();

    // The program
    auto *header = new QWidget(m_content);
    auto *headerLayout = new QHBoxLayout(header);
    headerLayout->setContentsMargins(0, 0, 0, 0);
    headerLayout->setSpacing(16);
    auto *logo = new QLabel(header);
    logo->setPixmap(image(m_resources, QStringLiteral("app-logo"), 80, ratio));
    logo->setFixedSize(80, 80);
    headerLayout->addWidget(logo);
    auto *identity = new QVBoxLayout;
    identity->setSpacing(4);
    auto *name = new QLabel(QStringLiteral("Vantrell"), header);
    QFont nameFont = name->font();
    nameFont.setPointSizeF(nameFont.pointSizeF() * 1.6);
    nameFont.setBold(true);
    name->setFont(nameFont);
    identity->addStretch(1);
    identity->addWidget(name);
    identity->addWidget(secondary(substituteArguments(text("about.version"), {links.version}), header, 1.0));
    identity->addWidget(secondary(text("about.slogan"), header));
    identity->addStretch(1);
    headerLayout->addLayout(identity, 1);
    column->addWidget(header);
    column->addWidget(divider(m_content));

    // Updates
    column->addWidget(heading(text("about.section.updates"), m_content));
    m_automatic = new QCheckBox(text("about.updates.automatic"), m_content);
    connect(
        m_automatic, &QCheckBox::toggled, this, [this](bool on) { m_updates.setAutomaticallyChecksForUpdates(on); });
    column->addWidget(m_automatic);
    m_check = new QPushButton(text("menu.checkForUpdates"), m_content);
    connect(m_check, &QPushButton::clicked, this, [this] { m_updates.checkForUpdates(); });
    column->addWidget(m_check, 0, Qt::AlignLeft);
    refreshUpdates();
    column->addWidget(divider(m_content));

    // Contact: only the links this build has addresses for.
    if (!links.email.isEmpty() || links.socialProfile.isValid()) {
        column->addWidget(heading(text("about.section.contact"), m_content));
        if (!links.email.isEmpty()) {
            column->addWidget(iconRow(QIcon::fromTheme(QStringLiteral("mail-message")),
                link(text("about.contact.email") + links.email, QUrl(QStringLiteral("mailto:") + links.email),
                    m_content),
                m_content));
        }
        if (links.socialProfile.isValid()) {
            const QString handle = links.socialHandle.isEmpty() ? links.socialProfile.toString() : links.socialHandle;
            column->addWidget(iconRow(QIcon(image(m_resources, QStringLiteral("brand-x"), 12, ratio)),
                link(handle, links.socialProfile, m_content), m_content));
        }
        column->addWidget(divider(m_content));
    }

    // Where the data comes from
    column->addWidget(heading(text("about.section.dataSources"), m_content));
    column->addWidget(iconRow(QIcon::fromTheme(QStringLiteral("office-chart-line")),
        secondary(text("about.dataSource.price"), m_content), m_content));
    column->addWidget(iconRow(QIcon::fromTheme(QStringLiteral("view-list-text")),
        secondary(text("about.dataSource.coinInfo"), m_content), m_content));
    auto *rates = new QWidget(m_content);
    auto *ratesLayout = new QVBoxLayout(rates);
    ratesLayout->setContentsMargins(0, 0, 0, 0);
    ratesLayout->setSpacing(2);
    ratesLayout->addWidget(secondary(text("about.dataSource.exchangeRate"), rates));
    if (links.exchangeRateProvider.isValid())
        ratesLayout->addWidget(link(QStringLiteral("Rates By Exchange Rate API"), links.exchangeRateProvider, rates));
    column->addWidget(iconRow(QIcon::fromTheme(QStringLiteral("view-currency-list")), rates, m_content));
    column->addWidget(divider(m_content));

    // What the program ships
    column->addWidget(heading(text("about.section.opensource"), m_content));
    for (const OpenSourceComponent &component : openSourceComponents()) {
        auto *row = new QWidget(m_content);
        auto *rowLayout = new QHBoxLayout(row);
        rowLayout->setContentsMargins(0, 0, 0, 0);
        auto *names = new QVBoxLayout;
        names->setSpacing(0);
        names->addWidget(new QLabel(component.name, row));
        names->addWidget(secondary(component.license, row, 0.85));
        rowLayout->addLayout(names, 1);
        rowLayout->addWidget(link(text("about.opensource.view"), component.url, row), 0, Qt::AlignRight);
        column->addWidget(row);
    }
    column->addStretch(1);
}

void AboutView::refreshUpdates()
{
    const QSignalBlocker blocker(m_automatic);
    m_automatic->setChecked(m_updates.automaticallyChecksForUpdates());
    m_automatic->setEnabled(m_updates.isAvailable());
    m_check->setEnabled(m_updates.canCheckForUpdates());
}

} // namespace Vantrell
