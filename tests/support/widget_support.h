#pragma once

// Shared by the tests, the benchmarks and the tools: widgets found by name,
// and prompts that answer nothing.

#include "report/preview/prompts.h"

#include <QObject>
#include <QString>

#include <stdexcept>
#include <string>

namespace pelorin::testing {

// The object of type T named `name` among the children of `root`, found as
// the user finds it: by its name, not by the window's members. Throws when
// there is none (a test fails with the message).
template <typename T = QWidget> T *named(const QObject &root, const char *name)
{
    if (T *found = root.findChild<T *>(QLatin1String(name)))
        return found;
    throw std::runtime_error(std::string("no ") + T::staticMetaObject.className() + " named " +
                             name + " in " + root.objectName().toStdString());
}

template <typename T = QWidget> T *named(const QObject *root, const char *name)
{
    return named<T>(*root, name);
}

// Answers nothing: a valid input raises no prompt.
class SilentPrompts : public Prompts
{
public:
    void beep() override {}
    void message(QWidget *, const QString &, const QString &, Icon) override {}
    QString open_file_name(QWidget *, const QString &, const QString &) override { return {}; }
    QString save_file_name(QWidget *, const QString &, const QString &, const QString &,
                           const QString &) override
    {
        return {};
    }
    bool exec_print_dialog(QPrintDialog &) override { return false; }
};

} // namespace pelorin::testing
