#include "ui/info_help_style.h"

#include <QColor>
#include <QLabel>
#include <QPalette>
#include <QPlainTextEdit>
#include <QTextDocument>
#include <QTextOption>

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
    QPalette palette = heading->palette();
    palette.setColor(QPalette::WindowText, QColor(0x00, 0x80, 0x80));
    heading->setPalette(palette);
}

void style_memo(QPlainTextEdit *memo, const QFont &font, bool centred)
{
    memo->setFont(font);
    QPalette palette = memo->palette();
    palette.setBrush(QPalette::Base, palette.brush(QPalette::Button));
    memo->setPalette(palette);
    memo->setLineWrapMode(QPlainTextEdit::NoWrap);
    QTextDocument *document = memo->document();
    document->setDocumentMargin(2);
    if (centred) {
        QTextOption option = document->defaultTextOption();
        option.setAlignment(Qt::AlignHCenter);
        document->setDefaultTextOption(option);
    }
}

} // namespace pelorin
