// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "tray/statusitem.h"

#include <QList>

namespace Vantrell::Test {

// A panel item that keeps every presentation it is given. Its appearance is
// whatever the test sets. Needs vantrellapp.
class RecordingStatusItem : public StatusItem
{
public:
    void present(const StatusPresentation &presentation) override { m_presentations.append(presentation); }
    bool isDarkAppearance() const override { return m_dark; }

    void setDarkAppearance(bool dark) { m_dark = dark; }
    const QList<StatusPresentation> &presentations() const { return m_presentations; }
    // The last presentation; only valid when there is one.
    const StatusPresentation &last() const { return m_presentations.constLast(); }
    void clear() { m_presentations.clear(); }

private:
    QList<StatusPresentation> m_presentations;
    bool m_dark = false;
};

} // namespace Vantrell::Test
