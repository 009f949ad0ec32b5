// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "statustitlerenderer.h"
#include "trayitem.h"
#include "traymenumirror.h"

#include <QSystemTrayIcon>

#include <memory>
#include <optional>

namespace Vantrell {

// The tray item for panels without a StatusNotifierWatcher: Qt's
// QSystemTrayIcon, an XEmbed icon on X11. Its icon is square and carries no
// text, so a title is shown as the square price icon (see
// StatusTitleRenderer::priceIconImage) with the full title and the 24-hour
// change in the tooltip. The menu is the TrayMenu, shown by Qt on a right click.
class XEmbedStatusItem final : public TrayItem
{
    Q_OBJECT

public:
    struct Options
    {
        // The theme icon used when there is no logo.
        QString applicationId;
        QString title = QStringLiteral("Vantrell");
        std::optional<QString> logoPath;
    };

    explicit XEmbedStatusItem(Options options, QObject *parent = nullptr);
    ~XEmbedStatusItem() override;

    void show();

    void present(const StatusPresentation &presentation) override;
    // A guess from the application palette, see paletteLooksDark().
    bool isDarkAppearance() const override;
    void setMenu(const TrayMenu &menu) override;
    TrayMenu menu() const override { return m_mirror.menu(); }
    void popupMenu(QPoint anchor) override { m_mirror.popup(anchor); }
    void setWithdrawn(bool withdrawn) override { m_trayIcon.setVisible(!withdrawn); }

    QIcon icon() const { return m_trayIcon.icon(); }
    QString toolTip() const { return m_trayIcon.toolTip(); }
    QMenu *contextMenu() const { return m_mirror.qmenu(); }

protected:
    void applicationPaletteChanged() override;

private:
    void refresh();

    Options m_options;
    // Shared with the icons handed to Qt, which may outlive a refresh.
    std::shared_ptr<const StatusTitleRenderer> m_renderer;
    TrayMenuMirror m_mirror;
    QSystemTrayIcon m_trayIcon;
    StatusPresentation m_presentation;
    bool m_renderedDark = false;
};

} // namespace Vantrell
