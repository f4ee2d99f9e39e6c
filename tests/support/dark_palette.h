#pragma once

// A dark desktop palette, as a dark theme of the desktop gives the program:
// light text on dark windows, buttons and fields. The tests and the picture
// tool set it on the application before the windows are built.

#include <QColor>
#include <QPalette>

namespace pelorin::testing {

inline QPalette dark_palette()
{
    const QColor window(0x35, 0x35, 0x35);
    const QColor text(0xFF, 0xFF, 0xFF);
    const QColor disabled_text(0x7F, 0x7F, 0x7F);
    QPalette palette(text, window, window.lighter(150), window.darker(150), window.darker(120),
                     text, text, QColor(0x2A, 0x2A, 0x2A), window);
    palette.setColor(QPalette::AlternateBase, QColor(0x42, 0x42, 0x42));
    palette.setColor(QPalette::Shadow, QColor(0x14, 0x14, 0x14));
    palette.setColor(QPalette::Highlight, QColor(0x2A, 0x82, 0xDA));
    palette.setColor(QPalette::HighlightedText, text);
    palette.setColor(QPalette::Link, QColor(0x2A, 0x82, 0xDA));
    palette.setColor(QPalette::ToolTipBase, window);
    palette.setColor(QPalette::ToolTipText, text);
    palette.setColor(QPalette::PlaceholderText, disabled_text);
    for (QPalette::ColorRole role :
         {QPalette::WindowText, QPalette::Text, QPalette::ButtonText, QPalette::HighlightedText})
        palette.setColor(QPalette::Disabled, role, disabled_text);
    return palette;
}

} // namespace pelorin::testing
