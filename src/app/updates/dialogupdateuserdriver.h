// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "feedupdaterbackend.h"

#include <QPointer>

class QMessageBox;

namespace Vantrell {

// Shows update outcomes in message boxes; "Download" opens the release page
// in the user's browser.
class DialogUpdateUserDriver final : public UpdateUserDriver
{
public:
    DialogUpdateUserDriver() = default;
    ~DialogUpdateUserDriver() override;

    void showUpdateFound(
        const UpdateInfo &update, const QString &currentVersion, std::function<void(Choice)> reply) override;
    void showUpToDate(const QString &currentVersion) override;
    void showError(const QString &message) override;
    void openDownload(const QUrl &url) override;

private:
    void present(QMessageBox *box);

    QPointer<QMessageBox> m_box;
};

} // namespace Vantrell
