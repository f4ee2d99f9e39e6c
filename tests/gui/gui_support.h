#pragma once

// Shared helpers of the window tests: a Prompts that records instead of
// blocking, the two windows of the program built as at start-up, and ways to
// reach widgets by name and to act on them as the user does.

#include "calc/calc_state.h"
#include "calc/number_text.h"
#include "report/preview/prompts.h"
#include "support/widget_support.h"
#include "test_prompts.h"
#include "ui/about_box.h"
#include "ui/application.h"
#include "ui/main_window.h"
#include "ui/points_edit.h"
#include "ui/radio_group.h"

#include <QAbstractItemModel>
#include <QAbstractSpinBox>
#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStringList>
#include <QTabBar>
#include <QTabWidget>
#include <QTableView>
#include <QTextBlock>
#include <QVector>
#include <QtTest>

#include <functional>
#include <memory>
#include <stdexcept>

namespace gui_support {

// Answers every prompt at once and remembers it.
using RecordingPrompts = pelorin::testing::TestPrompts;

// The application-wide settings the program makes at start-up (fonts,
// title, icon), so that the windows are laid out as in the program.
inline void start_up()
{
    pelorin::set_up_application();
}

using pelorin::testing::named;

// Fails the test on a lookup by name that found nothing: the failure names
// what was looked for and where, and the exception ends the test, so that no
// null pointer is left to crash on.
[[noreturn]] inline void fail_lookup(const QString &where, const char *type, const char *name)
{
    const QString what = QStringLiteral("%1 has no %2 named %3")
                             .arg(where, QLatin1String(type), QLatin1String(name));
    QTest::qFail(qPrintable(what), __FILE__, __LINE__);
    throw std::runtime_error(what.toStdString());
}

// The program's two windows as start-up leaves them, the main window shown
// and active. Its calculation state starts from zeros as at program start.
struct Program
{
    Program()
    {
        start_up();
        pelorin::set_decimal_separator(QLatin1Char('.'));
        form = std::make_unique<pelorin::TForm1>(prompts);
        about = std::make_unique<pelorin::TAboutBox>();
        form->set_about_box(about.get());
        form->show();
        form->activateWindow();
    }

    // Some widget or action of either window by its name, the main window's
    // first; fails the test when neither has it.
    template <typename T = QWidget> T *widget(const char *name) const
    {
        if (auto *found = form->findChild<T *>(QLatin1String(name)))
            return found;
        if (auto *found = about->findChild<T *>(QLatin1String(name)))
            return found;
        fail_lookup(form->objectName() + QStringLiteral(" and ") + about->objectName(),
                    T::staticMetaObject.className(), name);
    }
    // A widget or action of the About box by its name (some names, such as
    // Panel1 and Memo1, are also used on the main window's pages).
    template <typename T = QWidget> T *about_widget(const char *name) const
    {
        return named<T>(about.get(), name);
    }

    QTabWidget *pages() const { return named<QTabWidget>(form.get(), "PageControl1"); }
    // An action of the main window (its menu commands) by its name.
    QAction *action(const char *name) const { return named<QAction>(form.get(), name); }
    // A page of PageControl1 by its name, e.g. "TabSheetInput".
    QWidget *page(const char *name) const { return named(pages(), name); }
    QWidget *active_page() const { return pages()->currentWidget(); }
    QString active_page_name() const { return active_page()->objectName(); }
    QAbstractItemModel *grid_model() const { return widget<QTableView>("DBGrid1")->model(); }
    // Shows a page by clicking its tab, as the user does.
    void click_page(const char *name) const;

    QString text(const char *name) const;
    void set_text(const char *name, const QString &text) const;

    RecordingPrompts prompts;
    std::unique_ptr<pelorin::TForm1> form;
    std::unique_ptr<pelorin::TAboutBox> about;
};

// The text of a field, label or static text of either window.
inline QString Program::text(const char *name) const
{
    QWidget *w = widget(name);
    if (auto *edit = qobject_cast<QLineEdit *>(w))
        return edit->text();
    if (auto *spin = qobject_cast<QAbstractSpinBox *>(w))
        return spin->text();
    if (auto *label = qobject_cast<QLabel *>(w))
        return label->text();
    return QStringLiteral("<no text widget %1>").arg(QLatin1String(name));
}

inline void Program::set_text(const char *name, const QString &text) const
{
    QWidget *w = widget(name);
    if (auto *edit = qobject_cast<QLineEdit *>(w))
        edit->setText(text);
    else if (auto *spin = qobject_cast<QAbstractSpinBox *>(w))
        static_cast<pelorin::PointsEdit *>(spin)->set_text(text);
}

// The row `row` of a model as its five texts.
inline QStringList row_texts(const QAbstractItemModel *model, int row)
{
    QStringList texts;
    for (int column = 0; column < model->columnCount(); ++column)
        texts << model->index(row, column).data().toString();
    return texts;
}

inline QStringList column_titles(const QAbstractItemModel *model)
{
    QStringList titles;
    for (int column = 0; column < model->columnCount(); ++column)
        titles << model->headerData(column, Qt::Horizontal).toString();
    return titles;
}

// Clicks the tab of `page` with the mouse, as the user does.
inline void click_tab(QTabWidget *pages, QWidget *page)
{
    QTabBar *bar = pages->tabBar();
    QTest::mouseClick(bar, Qt::LeftButton, Qt::NoModifier,
                      bar->tabRect(pages->indexOf(page)).center());
}

inline void Program::click_page(const char *name) const
{
    click_tab(pages(), page(name));
}

// Runs the calibration with the Calculate button, as the user does: the
// Input page is selected first, then the button clicked.
inline void press_calculate(const Program &program)
{
    if (program.active_page() != program.page("TabSheetInput"))
        program.click_page("TabSheetInput");
    QTest::mouseClick(program.widget<QPushButton>("BtnCalculate"), Qt::LeftButton);
}

// Selects a tank shape by clicking its item in the shape group.
inline void choose_shape(const Program &program, int index)
{
    if (program.active_page() != program.page("TabSheetInput"))
        program.click_page("TabSheetInput");
    QTest::mouseClick(program.widget<pelorin::RadioGroup>("GroupTankShape")->item_button(index),
                      Qt::LeftButton);
}

// The lines of a multi-line text, one per text block.
inline QStringList memo_lines(const QPlainTextEdit *memo)
{
    QStringList lines;
    for (QTextBlock block = memo->document()->begin(); block.isValid(); block = block.next())
        lines << block.text();
    return lines;
}

} // namespace gui_support
