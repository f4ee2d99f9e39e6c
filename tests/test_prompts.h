#pragma once

// A Prompts that answers without blocking and records what was asked; the
// window and report tests share it. on_message runs while the "box" is up, so
// a test can look at the windows at that moment.

#include "report/preview/prompts.h"

#include <QPrintDialog>
#include <QStringList>

#include <functional>

namespace pelorin::testing {

class TestPrompts : public Prompts
{
public:
    struct Message
    {
        QString caption;
        QString text;
        Icon icon;
        QWidget *parent;
    };

    void beep() override { ++beeps; }
    void message(QWidget *parent, const QString &caption, const QString &text, Icon icon) override
    {
        messages.append(Message{caption, text, icon, parent});
        if (on_message)
            on_message(messages.constLast());
    }
    QString open_file_name(QWidget *, const QString &title, const QString &filter) override
    {
        titles << title;
        filters << filter;
        return open_answer;
    }
    QString save_file_name(QWidget *, const QString &title, const QString &filter,
                           const QString &default_suffix, const QString &proposed_name) override
    {
        titles << title;
        filters << filter;
        suffixes << default_suffix;
        proposed_names << proposed_name;
        return save_answer;
    }
    bool exec_print_dialog(QPrintDialog &dialog) override
    {
        ++print_dialogs;
        return print_dialog_answer ? print_dialog_answer(dialog) : false;
    }

    int beeps = 0;
    QVector<Message> messages;
    QStringList titles;
    QStringList filters;
    QStringList suffixes;
    QStringList proposed_names;
    QString open_answer;
    QString save_answer;
    int print_dialogs = 0;
    std::function<bool(QPrintDialog &)> print_dialog_answer;
    std::function<void(const Message &)> on_message;
};

} // namespace pelorin::testing
