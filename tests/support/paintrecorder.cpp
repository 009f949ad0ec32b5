// SPDX-License-Identifier: GPL-3.0-or-later
#include "paintrecorder.h"

#include <QPaintEngineState>
#include <QTextItem>

namespace Vantrell::Test {

class PaintRecorder::Engine final : public QPaintEngine
{
public:
    explicit Engine(QList<Text> &texts)
        : QPaintEngine(QPaintEngine::AllFeatures)
        , m_texts(texts)
    { }

    bool begin(QPaintDevice *) override { return true; }
    bool end() override { return true; }
    void updateState(const QPaintEngineState &state) override
    {
        if (state.state() & DirtyPen)
            m_pen = state.pen();
        if (state.state() & DirtyTransform)
            m_transform = state.transform();
    }
    void drawPath(const QPainterPath &) override { }
    void drawPolygon(const QPointF *, int, PolygonDrawMode) override { }
    void drawPixmap(const QRectF &, const QPixmap &, const QRectF &) override { }
    void drawImage(const QRectF &, const QImage &, const QRectF &, Qt::ImageConversionFlags) override { }
    void drawTextItem(const QPointF &point, const QTextItem &item) override
    {
        m_texts.append({item.text(), m_transform.map(point), m_pen.color(), item.font()});
    }
    Type type() const override { return User; }

private:
    QList<Text> &m_texts;
    QPen m_pen;
    QTransform m_transform;
};

PaintRecorder::PaintRecorder(QSize size)
    : m_size(size)
    , m_engine(std::make_unique<Engine>(m_texts))
{ }

PaintRecorder::~PaintRecorder() = default;

QString PaintRecorder::allText() const
{
    QStringList parts;
    for (const Text &text : m_texts)
        parts.append(text.text);
    return parts.join(u'|');
}

const PaintRecorder::Text *PaintRecorder::find(const QString &part) const
{
    for (const Text &text : m_texts) {
        if (text.text.contains(part))
            return &text;
    }
    return nullptr;
}

QPaintEngine *PaintRecorder::paintEngine() const
{
    return m_engine.get();
}

int PaintRecorder::metric(PaintDeviceMetric metric) const
{
    switch (metric) {
    case PdmWidth:
        return m_size.width();
    case PdmHeight:
        return m_size.height();
    case PdmDpiX:
    case PdmDpiY:
    case PdmPhysicalDpiX:
    case PdmPhysicalDpiY:
        return 96;
    case PdmDevicePixelRatio:
        return 1;
    case PdmDevicePixelRatioScaled:
        return int(QPaintDevice::devicePixelRatioFScale());
    case PdmDepth:
        return 32;
    case PdmNumColors:
        return INT_MAX;
    case PdmWidthMM:
        return m_size.width() * 254 / 960;
    case PdmHeightMM:
        return m_size.height() * 254 / 960;
    }
    return 0;
}

} // namespace Vantrell::Test
