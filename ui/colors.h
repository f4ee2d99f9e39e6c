#pragma once

// The fixed colours of the windows; everything else takes the system's
// colours from the palette.

#include <QColor>

namespace pelorin::colors {

inline constexpr QColor teal{0x00, 0x80, 0x80};   // shape titles and page headings
inline constexpr QColor navy{0x00, 0x00, 0x80};   // Zero, Span and the formula
inline constexpr QColor silver{0xC0, 0xC0, 0xC0}; // the Input page's panel
inline constexpr QColor grey{0x80, 0x80, 0x80};   // disabled labels on silver

} // namespace pelorin::colors
