// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialogupdateuserdriver.h"

#include "i18n/localizationmanager.h"

#include <QDesktopServices>
#include <QMessageBox>
#include <QPushButton>

namespace Vantrell {

DialogUpdateUserDriver::~DialogUpdateUserDriver()
{
    delete m_box;
}

void DialogUpdateUserDriver::present(QMessageBox *box)
{
    // One dialog at a time: a newer outcome replaces an older one still open.
    if (m_box)
        m_box->deleteLater();
    m_box = box;
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowTitle(localizedString(QStringLiteral("update.window.title")));
    box->show();
    box->raise();
    box->activateWindow();
}

void DialogUpdateUserDriver::showUpdateFound(
    const UpdateInfo &update, const QString &currentVersion, std::function<void(Choice)> reply)
{
    auto *box = new QMessageBox(
        QMessageBox::Information, QString(), localizedString(QStringLiteral("update.available.title")));
    box->setInformativeText(
        localizedString(QStringLiteral("update.available.message")).arg(update.version, currentVersion));
    if (!update.notes.isEmpty())
        box->setDetailedText(update.notes);
    QPushButton *download
        = box->addButton(localizedString(QStringLiteral("update.available.download")), QMessageBox::AcceptRole);
    QPushButton *skip
        = box->addButton(localizedString(QStringLiteral("update.available.skip")), QMessageBox::DestructiveRole);
    QPushButton *later
        = box->addButton(localizedString(QStringLiteral("update.available.later")), QMessageBox::RejectRole);
    box->setDefaultButton(download);
    box->setEscapeButton(later);
    auto answered = std::make_shared<bool>(false);
    QObject::connect(box, &QMessageBox::buttonClicked, box, [=](QAbstractButton *button) {
        *answered = true;
        reply(button == download ? Choice::download : button == skip ? Choice::skipThisVersion : Choice::later);
    });
    // Closing the window without a button counts as "later".
    QObject::connect(box, &QObject::destroyed, [=] {
        if (!*answered)
            reply(Choice::later);
    });
    present(box);
}

void DialogUpdateUserDriver::showUpToDate(const QString &currentVersion)
{
    auto *box = new QMessageBox(
        QMessageBox::Information, QString(), localizedString(QStringLiteral("update.upToDate.title")), QMessageBox::Ok);
    box->setInformativeText(localizedString(QStringLiteral("update.upToDate.message")).arg(currentVersion));
    present(box);
}

void DialogUpdateUserDriver::showError(const QString &message)
{
    auto *box = new QMessageBox(
        QMessageBox::Warning, QString(), localizedString(QStringLiteral("update.error.title")), QMessageBox::Ok);
    box->setInformativeText(message);
    present(box);
}

void DialogUpdateUserDriver::openDownload(const QUrl &url)
{
    QDesktopServices::openUrl(url);
}

} // namespace Vantrell
