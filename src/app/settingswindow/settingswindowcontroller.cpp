// SPDX-License-Identifier: GPL-3.0-or-later
#include "settingswindowcontroller.h"

#include "platform/atomicfile.h"
#include "platform/logging.h"
#include "platform/paths.h"
#include "platform/screens.h"
#include "settingsstore/settingsviewmodel.h"
#include "settingswindowmodel.h"

#include <QCloseEvent>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>

#include <algorithm>

namespace Vantrell {

QRect settingsWindowGeometry(const std::optional<QRect> &saved, const QList<QRect> &screens)
{
    const QRect primary = screens.value(0, QRect(0, 0, 1280, 800));
    if (saved) {
        const QRect restored(saved->topLeft(), clampSettingsWindowSize(saved->size()));
        // Enough of its title bar must lie on a screen for the user to grab it.
        const QRect titleBar(restored.topLeft(), QSize(restored.width(), 40));
        for (const QRect &screen : screens) {
            const QRect overlap = screen.intersected(titleBar);
            if (overlap.width() >= 100 && overlap.height() >= 20)
                return restored;
        }
    }
    QRect centred(QPoint(0, 0), kSettingsWindowSize.boundedTo(primary.size()));
    centred.moveCenter(primary.center());
    return centred;
}

SettingsWindowController::SettingsWindowController(
    SettingsViewModel &settings, WindowFactory createWindow, QString stateFile, QObject *parent)
    : QObject(parent)
    , m_settings(settings)
    , m_createWindow(std::move(createWindow))
    , m_stateFile(std::move(stateFile))
{ }

SettingsWindowController::~SettingsWindowController()
{
    // Quitting with the window open (the menu, a logout's SIGTERM) keeps its
    // place as closing it does.
    if (m_window) {
        saveGeometry(m_window->geometry());
        delete m_window;
    }
}

QString SettingsWindowController::defaultStateFile()
{
    return Paths::stateDirectory() + QStringLiteral("/settings-window.json");
}

void SettingsWindowController::openSettings(SettingsTab tab)
{
    m_settings.setSettingsWindowTab(tab);
    if (!m_window) {
        m_window = m_createWindow();
        m_window->setAttribute(Qt::WA_DeleteOnClose);
        m_window->installEventFilter(this);
        m_window->setGeometry(settingsWindowGeometry(savedGeometry(), availableScreenGeometries()));
    }
    m_window->show();
    m_window->raise();
    m_window->activateWindow();
}

bool SettingsWindowController::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_window && event->type() == QEvent::Close)
        saveGeometry(m_window->geometry());
    return QObject::eventFilter(watched, event);
}

std::optional<QRect> SettingsWindowController::savedGeometry() const
{
    QFile file(m_stateFile);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QJsonObject object = QJsonDocument::fromJson(file.read(4096)).object();
    const QJsonValue x = object.value(QLatin1String("x"));
    const QJsonValue y = object.value(QLatin1String("y"));
    const QJsonValue width = object.value(QLatin1String("width"));
    const QJsonValue height = object.value(QLatin1String("height"));
    if (!x.isDouble() || !y.isDouble() || !width.isDouble() || !height.isDouble())
        return std::nullopt;
    const auto whole
        = [](const QJsonValue &value) { return int(std::clamp(value.toDouble(), -1'000'000.0, 1'000'000.0)); };
    return QRect(whole(x), whole(y), whole(width), whole(height));
}

void SettingsWindowController::saveGeometry(const QRect &geometry) const
{
    const QJsonObject object {{QLatin1String("x"), geometry.x()}, {QLatin1String("y"), geometry.y()},
        {QLatin1String("width"), geometry.width()}, {QLatin1String("height"), geometry.height()}};
    QString error;
    if (!writeFileAtomically(m_stateFile, QJsonDocument(object).toJson(), Durability::Atomic, &error))
        qCWarning(lcApp, "Settings window position not kept: %s", qUtf8Printable(error));
}

} // namespace Vantrell
