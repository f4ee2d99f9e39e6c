#include "report/preview/prompts.h"

#include <QApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QPrintDialog>
#include <QRegularExpression>
#include <QScreen>

namespace pelorin {

void WidgetPrompts::beep()
{
    QApplication::beep();
}

void WidgetPrompts::message(QWidget *parent, const QString &caption, const QString &text, Icon icon)
{
    QMessageBox box(parent);
    box.setWindowTitle(caption);
    box.setText(text);
    switch (icon) {
    case Icon::Error:
        box.setIcon(QMessageBox::Critical);
        break;
    case Icon::Information:
        box.setIcon(QMessageBox::Information);
        break;
    case Icon::Warning:
        box.setIcon(QMessageBox::Warning);
        break;
    }
    box.setStandardButtons(QMessageBox::Ok);
    box.adjustSize();
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        box.move(screen->availableGeometry().center() - box.rect().center());
    box.exec();
}

QString WidgetPrompts::open_file_name(QWidget *parent, const QString &title, const QString &filter)
{
    return QFileDialog::getOpenFileName(parent, title, QString(), filter);
}

QString filter_suffix(const QString &name_filter)
{
    static const QRegularExpression pattern(QStringLiteral("\\*\\.([A-Za-z0-9]+)"));
    return pattern.match(name_filter).captured(1);
}

QString WidgetPrompts::save_file_name(QWidget *parent, const QString &title, const QString &filter,
                                      const QString &default_suffix, const QString &proposed_name)
{
    QFileDialog dialog(parent, title, m_last_folder, filter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(default_suffix);
    // A name without a suffix takes the suffix of the filter the user chose.
    QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog,
                     [&dialog, &default_suffix](const QString &chosen) {
                         const QString suffix = filter_suffix(chosen);
                         dialog.setDefaultSuffix(suffix.isEmpty() ? default_suffix : suffix);
                     });
    if (!proposed_name.isEmpty())
        dialog.selectFile(proposed_name);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
    const QString path = dialog.selectedFiles().constFirst();
    m_last_folder = QFileInfo(path).absolutePath();
    return path;
}

bool WidgetPrompts::exec_print_dialog(QPrintDialog &dialog)
{
    return dialog.exec() == QDialog::Accepted;
}

} // namespace pelorin
