#include "ui/info_help_style.h"

#include "ui/colors.h"

#include <QColor>
#include <QFontMetricsF>
#include <QLabel>
#include <QPalette>
#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextOption>

#include <algorithm>
#include <cmath>

namespace pelorin {

QFont ms_sans_serif(int pixel_size, bool bold, bool underline)
{
    QFont font(QStringLiteral("MS Sans Serif"));
    font.setPixelSize(pixel_size);
    font.setBold(bold);
    font.setUnderline(underline);
    return font;
}

void use_button_face_background(QWidget *widget)
{
    QPalette palette = widget->palette();
    palette.setBrush(QPalette::Window, palette.brush(QPalette::Button));
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
}

void style_heading(QLabel *heading)
{
    QFont font(QStringLiteral("Times New Roman"));
    font.setPixelSize(37);
    font.setBold(true);
    heading->setFont(font);
    colors::fix_text_color(heading, colors::teal);
}

QFont condensed_to_fit(QFont font, qreal available,
                       const std::function<qreal(const QFont &)> &width)
{
    constexpr int narrowest_stretch = 85;
    font.setStretch(100);
    const qreal widest = width(font);
    if (widest <= available)
        return font;
    // Each stretch is a font of its own to load: start at the proportional
    // estimate and narrow further only while the text still overruns.
    int stretch = std::max(narrowest_stretch, int(std::floor(100 * available / widest)));
    font.setStretch(stretch);
    while (stretch > narrowest_stretch && width(font) > available)
        font.setStretch(--stretch);
    return font;
}

namespace {

// Width of the widest line of the memo's text, trailing blanks left out.
qreal widest_line(const QPlainTextEdit *memo, const QFont &font)
{
    const QFontMetricsF metrics(font);
    qreal widest = 0;
    for (QTextBlock block = memo->document()->begin(); block.isValid(); block = block.next()) {
        QString line = block.text();
        while (line.endsWith(QLatin1Char(' ')))
            line.chop(1);
        widest = std::max(widest, metrics.horizontalAdvance(line));
    }
    return widest;
}

// The memo condenses its font by just as much as its widest line needs,
// rather than cut off the end of a fixed line.
QFont fit_lines_to_width(const QPlainTextEdit *memo, const QFont &font)
{
    const qreal available =
        memo->contentsRect().width() - 2 * memo->document()->documentMargin() - 1;
    return condensed_to_fit(font, available,
                            [memo](const QFont &f) { return widest_line(memo, f); });
}

} // namespace

void style_memo(QPlainTextEdit *memo, const QFont &font, bool centred)
{
    QPalette palette = memo->palette();
    palette.setBrush(QPalette::Base, palette.brush(QPalette::Button));
    memo->setPalette(palette);
    memo->setLineWrapMode(QPlainTextEdit::NoWrap);
    QTextDocument *document = memo->document();
    document->setDocumentMargin(1);
    if (centred) {
        QTextOption option = document->defaultTextOption();
        option.setAlignment(Qt::AlignHCenter);
        document->setDefaultTextOption(option);
    }
    memo->setFont(fit_lines_to_width(memo, font));
}

} // namespace pelorin
