#include "ui/points_edit.h"

#include "calc/errors.h"
#include "calc/number_text.h"

#include <QKeyEvent>
#include <QLineEdit>

#include <algorithm>

namespace pelorin {

PointsEdit::PointsEdit(QWidget *parent) : QAbstractSpinBox(parent)
{
    setAccelerated(false);
}

void PointsEdit::set_text(const QString &text)
{
    lineEdit()->setText(text);
}

void PointsEdit::stepBy(int steps)
{
    const long long stepped = static_cast<long long>(whole_number(minimum)) + steps;
    set_text(QString::number(std::clamp<long long>(stepped, minimum, maximum)));
    selectAll();
}

// Both arrows stay active: stepping always lands inside 1..25.
QAbstractSpinBox::StepEnabled PointsEdit::stepEnabled() const
{
    return StepUpEnabled | StepDownEnabled;
}

void PointsEdit::keyPressEvent(QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        emit refused();
        event->accept();
        return;
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
        // Only the Up and Down keys step the number.
        event->accept();
        return;
    default:
        break;
    }
    const QString text = event->text();
    const bool command =
        event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier);
    if (!command && text.size() == 1 && text.at(0).isPrint() && !accepts_character(text.at(0))) {
        emit refused();
        event->accept();
        return;
    }
    QAbstractSpinBox::keyPressEvent(event);
}

void PointsEdit::focusOutEvent(QFocusEvent *event)
{
    bool ok = false;
    const int number = whole_number(minimum, &ok);
    if (!m_keep_text && ok && (number < minimum || number > maximum))
        set_text(QString::number(std::clamp(number, minimum, maximum)));
    QAbstractSpinBox::focusOutEvent(event);
}

bool PointsEdit::accepts_character(QChar c) const
{
    return (c >= QLatin1Char('0') && c <= QLatin1Char('9')) || c == QLatin1Char('+') ||
           c == QLatin1Char('-') || c == decimal_separator();
}

int PointsEdit::whole_number(int fallback, bool *ok) const
{
    try {
        const int number = parse_integer(text());
        if (ok)
            *ok = true;
        return number;
    } catch (const Error &) {
        if (ok)
            *ok = false;
        return fallback;
    }
}

} // namespace pelorin
