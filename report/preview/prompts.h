#pragma once

// The seam for everything that blocks or makes a noise: message boxes, the
// beep, file dialogs and the print dialog. Windows receive a Prompts& when they
// are created; the program passes WidgetPrompts (real dialogs), tests pass a
// recording implementation that answers without blocking.

#include <QString>

class QPrintDialog;
class QPrinter;
class QWidget;

namespace pelorin {

class Prompts
{
public:
    enum class Icon { Error, Information, Warning };

    virtual ~Prompts() = default;

    // The system's default beep.
    virtual void beep() = 0;
    // A modal message box with one "OK" button, centred on the screen.
    virtual void message(QWidget *parent, const QString &caption, const QString &text,
                         Icon icon) = 0;
    // File dialogs: the chosen path, or an empty string on Cancel. A save
    // dialog proposes `proposed_name` (a file name without folder) and adds
    // the suffix of the chosen filter, else `default_suffix`, to a name
    // without one.
    virtual QString open_file_name(QWidget *parent, const QString &title,
                                   const QString &filter) = 0;
    virtual QString save_file_name(QWidget *parent, const QString &title, const QString &filter,
                                   const QString &default_suffix,
                                   const QString &proposed_name = QString()) = 0;
    // Runs a prepared print dialog modally; true on OK (the dialog's printer
    // then holds the choice).
    virtual bool exec_print_dialog(QPrintDialog &dialog) = 0;
};

// The shipped implementation: QMessageBox, QApplication::beep(), QFileDialog
// and QPrintDialog. A save dialog opens in the folder of the last file saved
// through it in this run.
class WidgetPrompts : public Prompts
{
public:
    void beep() override;
    void message(QWidget *parent, const QString &caption, const QString &text, Icon icon) override;
    QString open_file_name(QWidget *parent, const QString &title, const QString &filter) override;
    QString save_file_name(QWidget *parent, const QString &title, const QString &filter,
                           const QString &default_suffix,
                           const QString &proposed_name = QString()) override;
    bool exec_print_dialog(QPrintDialog &dialog) override;

private:
    QString m_last_folder;
};

// The suffix of the first pattern of a name filter: "svg" for
// "SVG pictures (*.svg)"; empty when it has none.
QString filter_suffix(const QString &name_filter);

} // namespace pelorin
