// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "settingsstore/settingstab.h"

#include <QList>
#include <QObject>
#include <QPointer>
#include <QRect>
#include <QWidget>

#include <functional>
#include <optional>

namespace Vantrell {

class SettingsViewModel;

// Where the settings window opens: where it was last time, at a size within
// 600…800 × 420…500 and on a screen that still exists; else 786 × 500 in the
// middle of the primary screen. `screens` are available geometries, primary first.
QRect settingsWindowGeometry(const std::optional<QRect> &saved, const QList<QRect> &screens);

// Opens the settings window at a tab: builds it on first open, brings an open
// one to the front, and lets it go when closed so that its memory is returned.
// Its geometry is kept in a small state file between runs, written when the
// window closes and when the controller ends with the window still open.
class SettingsWindowController final : public QObject
{
    Q_OBJECT

public:
    using WindowFactory = std::function<QWidget *()>;

    SettingsWindowController(
        SettingsViewModel &settings, WindowFactory createWindow, QString stateFile, QObject *parent = nullptr);
    ~SettingsWindowController() override;

    void openSettings(SettingsTab tab);
    QWidget *window() const { return m_window; }

    // The file in the user's state directory.
    static QString defaultStateFile();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    std::optional<QRect> savedGeometry() const;
    void saveGeometry(const QRect &geometry) const;

    SettingsViewModel &m_settings;
    WindowFactory m_createWindow;
    QString m_stateFile;
    QPointer<QWidget> m_window;
};

} // namespace Vantrell
