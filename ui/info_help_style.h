#pragma once

#include <QFont>

#include <functional>

class QLabel;
class QPlainTextEdit;
class QWidget;

namespace pelorin {

// Look shared by the static Info and Help pages: fonts set by pixel size (the
// layout is in pixels for 96 pixels per inch), the button-face background
// and the teal heading block.

// "MS Sans Serif" at the given character height in pixels; the program maps
// the family to an installed font at start-up.
QFont ms_sans_serif(int pixel_size, bool bold = false, bool underline = false);

// Fills the widget's background with the button-face colour.
void use_button_face_background(QWidget *widget);

// The heading of a page: "Times New Roman" 37 pixels bold in teal.
void style_heading(QLabel *heading);

// The font condensed just enough for a text of `width`(font) to fit in
// `available` pixels, but never below 85 %: the texts were laid out for
// "MS Sans Serif", and the font standing in for it may run a little wider.
// The font itself when the text fits.
QFont condensed_to_fit(QFont font, qreal available,
                       const std::function<qreal(const QFont &)> &width);

// A borderless multi-line text on the button-face background: it takes the
// focus and accepts typing; Tab moves on to the next widget. Its lines are
// never wrapped, so each line of its text stays one line on the screen; where
// the font runs wider than the layout's, it is condensed until the widest
// line of the current text fits.
void style_memo(QPlainTextEdit *memo, const QFont &font, bool centred = false);

} // namespace pelorin
