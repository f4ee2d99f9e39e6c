#pragma once

// Fuzz input as text: UTF-8 (with the decoder's replacement characters) or,
// when the first byte says so, raw UTF-16 code units, so that any QChar can
// reach the parsers.

#include <QString>

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace pelorin::fuzzing {

inline QString input_text(const std::uint8_t *data, std::size_t size)
{
    if (size == 0)
        return QString();
    const bool utf16 = (data[0] & 1) != 0;
    ++data;
    --size;
    if (!utf16)
        return QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size));
    QString text(qsizetype(size / 2), Qt::Uninitialized);
    std::memcpy(text.data(), data, (size / 2) * 2);
    return text;
}

} // namespace pelorin::fuzzing
