// SPDX-License-Identifier: GPL-3.0-or-later
#include "desktopoverlaymodel.h"

namespace Vantrell {

void DesktopOverlayModel::setContent(const WidgetEntryContent &content)
{
    if (content == m_content)
        return;
    m_content = content;
    Q_EMIT changed();
}

void DesktopOverlayModel::setAdjusting(bool adjusting)
{
    if (adjusting == m_isAdjusting)
        return;
    m_isAdjusting = adjusting;
    Q_EMIT changed();
}

void DesktopOverlayModel::setBackgroundOpacity(double opacity)
{
    if (opacity == m_backgroundOpacity)
        return;
    m_backgroundOpacity = opacity;
    Q_EMIT changed();
}

void DesktopOverlayModel::setTextSize(DesktopOverlayTextSize textSize)
{
    if (textSize == m_textSize)
        return;
    m_textSize = textSize;
    Q_EMIT changed();
}

} // namespace Vantrell
