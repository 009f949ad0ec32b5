// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QColor>
#include <QFont>
#include <QList>
#include <QPaintDevice>
#include <QPaintEngine>
#include <QPointF>
#include <QSize>
#include <QString>

#include <memory>

namespace Vantrell::Test {

// A paint device that draws nothing and records every text a painter draws on
// it, with where (in device coordinates) and in which colour: what a reader of
// the picture would see, without reading pixels.
class PaintRecorder final : public QPaintDevice
{
public:
    struct Text
    {
        QString text;
        QPointF baselineStart;
        QColor color;
        QFont font;
    };

    explicit PaintRecorder(QSize size);
    ~PaintRecorder() override;

    const QList<Text> &texts() const { return m_texts; }
    // The recorded texts joined in drawing order, for messages.
    QString allText() const;
    // The first text that contains `part`; null when none does.
    const Text *find(const QString &part) const;

    QPaintEngine *paintEngine() const override;

protected:
    int metric(PaintDeviceMetric metric) const override;

private:
    class Engine;
    QSize m_size;
    QList<Text> m_texts;
    std::unique_ptr<Engine> m_engine;
};

} // namespace Vantrell::Test
