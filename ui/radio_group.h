#pragma once

// A group box holding a list of exclusive radio items arranged in columns,
// filled top to bottom and then left to right. item_index_changed is emitted
// only when a different item becomes selected, so selecting the item that is
// already selected changes nothing.

#include <QGroupBox>
#include <QStringList>
#include <QVector>

class QButtonGroup;
class QRadioButton;

namespace pelorin {

class RadioGroup : public QGroupBox
{
    Q_OBJECT

public:
    explicit RadioGroup(QWidget *parent = nullptr);

    // Replaces the items; none is selected afterwards.
    void set_items(const QStringList &items);
    int item_count() const { return m_items.size(); }
    QString item_text(int index) const { return m_items.value(index); }
    QRadioButton *item_button(int index) const { return m_buttons.value(index); }

    void set_columns(int columns);
    int columns() const { return m_columns; }

    // -1 when no item is selected.
    int item_index() const { return m_index; }
    void set_item_index(int index);

signals:
    void item_index_changed(int index);

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    void arrange_items();
    void item_toggled(int index, bool checked);

    QStringList m_items;
    QVector<QRadioButton *> m_buttons;
    QButtonGroup *m_group;
    int m_columns = 1;
    int m_index = -1;
};

} // namespace pelorin
