#pragma once

// The spin box for the number of correction points (Ed_points). It holds text,
// not a value: the calibration run reads and judges the text. Only digits,
// "+", "-" and the decimal separator can be typed; other printable characters
// and Enter are refused (refused() asks for the beep). The arrow buttons and
// the Up and Down keys step a whole number by 1 within 1..25, text that is not
// a whole number counting as 1. When the focus leaves, a whole number outside
// 1..25 is replaced by the nearest bound; other text is left as it is.

#include <QAbstractSpinBox>

namespace pelorin {

class PointsEdit : public QAbstractSpinBox
{
    Q_OBJECT

public:
    static constexpr int minimum = 1;
    static constexpr int maximum = 25;

    explicit PointsEdit(QWidget *parent = nullptr);

    void set_text(const QString &text);

    // While a KeepText lives, the focus leaving the box changes nothing: the
    // program switching pages away from the box is not the user leaving it.
    class KeepText
    {
    public:
        explicit KeepText(PointsEdit &edit) : m_edit(edit), m_was(edit.m_keep_text)
        {
            edit.m_keep_text = true;
        }
        ~KeepText() { m_edit.m_keep_text = m_was; }
        KeepText(const KeepText &) = delete;
        KeepText &operator=(const KeepText &) = delete;

    private:
        PointsEdit &m_edit;
        bool m_was;
    };

    void stepBy(int steps) override;

signals:
    // A key was refused; the owner sounds the beep.
    void refused();

protected:
    StepEnabled stepEnabled() const override;
    void keyPressEvent(QKeyEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;

private:
    bool accepts_character(QChar c) const;
    // The whole number the text holds, or `fallback` when it holds none.
    int whole_number(int fallback, bool *ok = nullptr) const;

    bool m_keep_text = false;
};

} // namespace pelorin
