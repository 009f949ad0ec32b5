// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>

namespace Vantrell {

// Whether at least `padding` allocated bytes follow the end of `bytes`, so that
// a decoder that reads a little past the end (never writing) can work in place.
// Room in front of the bytes (left by removing from the front) does not count,
// nor does anything behind raw data that the array does not own.
inline bool hasSpareBytesBehind(const QByteArray &bytes, qsizetype padding)
{
    // A shallow copy shares the buffer; data_ptr() is only offered non-const.
    QByteArray shared = bytes;
    return shared.data_ptr().freeSpaceAtEnd() >= padding;
}

} // namespace Vantrell
