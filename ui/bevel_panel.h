#pragma once

// A panel: a plain area in its own colour framed by up to two one-pixel
// bevels, an outer and an inner one, each raised or lowered.

#include <QColor>
#include <QWidget>

namespace pelorin {

class BevelPanel : public QWidget
{
    Q_OBJECT

public:
    enum class Bevel { None, Raised, Lowered };

    // A panel in the button-face colour with a raised outer bevel.
    explicit BevelPanel(QWidget *parent = nullptr);

    void set_bevels(Bevel outer, Bevel inner);
    Bevel outer_bevel() const { return m_outer; }
    Bevel inner_bevel() const { return m_inner; }

    void set_color(const QColor &color);
    QColor color() const;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    Bevel m_outer = Bevel::Raised;
    Bevel m_inner = Bevel::None;
};

} // namespace pelorin
