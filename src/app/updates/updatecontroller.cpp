// SPDX-License-Identifier: GPL-3.0-or-later
#include "updatecontroller.h"

namespace Vantrell {

UpdateController::UpdateController(QObject *parent)
    : QObject(parent)
{ }

void UpdateController::setField(bool &field, bool value)
{
    if (field == value)
        return;
    field = value;
    Q_EMIT changed();
}

void UpdateController::setUpdateAvailable(bool available)
{
    setField(m_updateAvailable, available);
}

void UpdateController::setIsAvailable(bool available)
{
    setField(m_isAvailable, available);
}

void UpdateController::refresh()
{
    setField(m_canCheckForUpdates, m_backend && m_backend->canCheckForUpdates());
    setField(m_automaticallyChecksForUpdates, m_backend && m_backend->automaticallyChecksForUpdates());
}

void UpdateController::checkForUpdates()
{
    if (!m_backend || !m_backend->canCheckForUpdates())
        return;
    m_backend->checkForUpdates();
    refresh();
}

void UpdateController::setAutomaticallyChecksForUpdates(bool enabled)
{
    if (m_backend)
        m_backend->setAutomaticallyChecksForUpdates(enabled);
    refresh();
}

} // namespace Vantrell
