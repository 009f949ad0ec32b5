// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/bundle.h"

#include <QWidget>

class QCheckBox;
class QLabel;
class QPushButton;
class QVBoxLayout;

namespace Vantrell {

class UpdateController;

// The About tab: the program, its version and slogan, the update controls,
// the contact links, the data sources and the open-source components it
// ships. Links open in the user's browser or mail program.
class AboutView final : public QWidget
{
    Q_OBJECT

public:
    AboutView(UpdateController &updates, const Bundle &resources, QWidget *parent = nullptr);

private:
    void build();
    void refreshUpdates();

    UpdateController &m_updates;
    const Bundle m_resources;
    QWidget *m_content = nullptr;
    QCheckBox *m_automatic = nullptr;
    QPushButton *m_check = nullptr;
};

} // namespace Vantrell
