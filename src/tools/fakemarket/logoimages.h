// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>

namespace Vantrell::FakeMarketData {

// A coin-like logo: a disc `size` pixels across whose colour follows `name`, on
// a transparent square. The same name and size always give the same bytes.
QByteArray logoPng(const QByteArray &name, int size);
QByteArray logoSvg(const QByteArray &name, int size);

} // namespace Vantrell::FakeMarketData
