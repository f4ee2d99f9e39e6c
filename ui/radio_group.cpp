#include "ui/radio_group.h"

#include <QButtonGroup>
#include <QFontMetrics>
#include <QRadioButton>

namespace pelorin {

namespace {

// An item takes a click anywhere in its cell, not only on its circle and text.
class RadioItem : public QRadioButton
{
public:
    using QRadioButton::QRadioButton;

protected:
    bool hitButton(const QPoint &pos) const override { return rect().contains(pos); }
};

} // namespace

RadioGroup::RadioGroup(QWidget *parent) : QGroupBox(parent), m_group(new QButtonGroup(this))
{
    m_group->setExclusive(true);
    connect(m_group, &QButtonGroup::idToggled, this, &RadioGroup::item_toggled);
}

void RadioGroup::set_items(const QStringList &items)
{
    qDeleteAll(m_buttons);
    m_buttons.clear();
    m_items = items;
    m_index = -1;
    for (int i = 0; i < m_items.size(); ++i) {
        auto *button = new RadioItem(m_items.at(i), this);
        button->setObjectName(objectName() + QStringLiteral("Item") + QString::number(i));
        m_group->addButton(button, i);
        m_buttons.append(button);
        button->show();
    }
    arrange_items();
}

void RadioGroup::set_columns(int columns)
{
    m_columns = qMax(1, columns);
    arrange_items();
}

void RadioGroup::set_item_index(int index)
{
    if (index < 0 || index >= m_buttons.size()) {
        if (QAbstractButton *checked = m_group->checkedButton()) {
            m_group->setExclusive(false);
            checked->setChecked(false);
            m_group->setExclusive(true);
        }
        if (m_index != -1) {
            m_index = -1;
            emit item_index_changed(m_index);
        }
        return;
    }
    m_buttons.at(index)->setChecked(true);
}

void RadioGroup::resizeEvent(QResizeEvent *event)
{
    QGroupBox::resizeEvent(event);
    arrange_items();
}

// The items share the box below the caption line in equal cells: each column
// is (width - 10) / columns wide starting 8 pixels in, each row takes an
// equal part of the height left under the caption.
void RadioGroup::arrange_items()
{
    if (m_buttons.isEmpty())
        return;
    const int per_column = (int(m_buttons.size()) + m_columns - 1) / m_columns;
    const int text_height = fontMetrics().height();
    const int button_width = (width() - 10) / m_columns;
    const int free_height = height() - text_height - 5;
    const int button_height = free_height / per_column;
    const int top_margin = text_height + 1 + (free_height % per_column) / 2;
    for (int i = 0; i < m_buttons.size(); ++i) {
        const int column = i / per_column;
        const int row = i % per_column;
        m_buttons.at(i)->setGeometry(column * button_width + 8, row * button_height + top_margin,
                                     button_width, button_height);
    }
}

void RadioGroup::item_toggled(int index, bool checked)
{
    if (!checked || index == m_index)
        return;
    m_index = index;
    emit item_index_changed(index);
}

} // namespace pelorin
