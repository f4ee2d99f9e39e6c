#pragma once

// The fixed colours of the windows; everything else takes the system's
// colours from the palette.
//
// A fixed colour keeps its partner: where the layout fixes a background, the
// texts, fields and bevels on it take the layout's own light colours
// (layout_palette()), and a text in a fixed colour gets the layout's button
// face behind it. So every text keeps the contrast the layout gives it under
// a dark desktop palette too; under the standard light palette nothing
// changes, as the layout's colours are that palette's.

#include <QColor>
#include <QPalette>
#include <QWidget>

namespace pelorin::colors {

inline constexpr QColor teal{0x00, 0x80, 0x80};   // shape titles and page headings
inline constexpr QColor navy{0x00, 0x00, 0x80};   // Zero, Span and the formula
inline constexpr QColor silver{0xC0, 0xC0, 0xC0}; // the Input page's panel
inline constexpr QColor grey{0x80, 0x80, 0x80};   // disabled labels on silver
inline constexpr QColor face{0xEF, 0xEF, 0xEF};   // the button face behind teal and navy

// The light palette the layout's colours were chosen on.
inline QPalette layout_palette()
{
    const QColor black(Qt::black);
    const QColor white(Qt::white);
    const QColor disabled_text(0xBE, 0xBE, 0xBE);
    QPalette palette(black, face, white, QColor(0x9F, 0x9F, 0x9F), QColor(0xB8, 0xB8, 0xB8), black,
                     white, white, face);
    palette.setColor(QPalette::Midlight, QColor(0xCA, 0xCA, 0xCA));
    palette.setColor(QPalette::Shadow, QColor(0x76, 0x76, 0x76));
    palette.setColor(QPalette::Highlight, QColor(0x30, 0x8C, 0xC6));
    palette.setColor(QPalette::HighlightedText, white);
    palette.setColor(QPalette::AlternateBase, QColor(0xF7, 0xF7, 0xF7));
    palette.setColor(QPalette::ToolTipBase, QColor(0xFF, 0xFF, 0xDC));
    palette.setColor(QPalette::ToolTipText, black);
    for (QPalette::ColorRole role :
         {QPalette::WindowText, QPalette::Text, QPalette::ButtonText, QPalette::Dark})
        palette.setColor(QPalette::Disabled, role, disabled_text);
    palette.setColor(QPalette::Disabled, QPalette::Base, face);
    palette.setColor(QPalette::Disabled, QPalette::Shadow, QColor(0xB1, 0xB1, 0xB1));
    palette.setColor(QPalette::Disabled, QPalette::Highlight, QColor(0x91, 0x91, 0x91));
    return palette;
}

// A widget on a background the layout fixes: the layout's colours on it.
inline void fix_background(QWidget *widget, const QColor &background)
{
    QPalette palette = layout_palette();
    palette.setColor(QPalette::Window, background);
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
}

// A text in a colour the layout fixes, on the layout's button face.
inline void fix_text_color(QWidget *widget, const QColor &text)
{
    QPalette palette = layout_palette();
    palette.setColor(QPalette::WindowText, text);
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
}

} // namespace pelorin::colors
