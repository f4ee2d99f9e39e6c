#include "ui/bevel_panel.h"

#include <QPainter>
#include <QPalette>

namespace pelorin {

BevelPanel::BevelPanel(QWidget *parent) : QWidget(parent)
{
    setAutoFillBackground(true);
}

void BevelPanel::set_bevels(Bevel outer, Bevel inner)
{
    m_outer = outer;
    m_inner = inner;
    update();
}

void BevelPanel::set_color(const QColor &color)
{
    QPalette colors = palette();
    colors.setColor(QPalette::Window, color);
    setPalette(colors);
}

QColor BevelPanel::color() const
{
    return palette().color(QPalette::Window);
}

static void draw_bevel(QPainter &painter, const QRect &rect, BevelPanel::Bevel bevel,
                       const QPalette &colors)
{
    if (bevel == BevelPanel::Bevel::None)
        return;
    const bool raised = bevel == BevelPanel::Bevel::Raised;
    const QColor top_left = raised ? colors.color(QPalette::Light) : colors.color(QPalette::Dark);
    const QColor bottom_right =
        raised ? colors.color(QPalette::Dark) : colors.color(QPalette::Light);
    painter.setPen(top_left);
    painter.drawLine(rect.topLeft(), rect.topRight());
    painter.drawLine(rect.topLeft(), rect.bottomLeft());
    painter.setPen(bottom_right);
    painter.drawLine(rect.bottomLeft(), rect.bottomRight());
    painter.drawLine(rect.topRight(), rect.bottomRight());
}

void BevelPanel::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    QRect frame = rect();
    if (m_outer != Bevel::None) {
        draw_bevel(painter, frame, m_outer, palette());
        frame.adjust(1, 1, -1, -1);
    }
    draw_bevel(painter, frame, m_inner, palette());
}

} // namespace pelorin
