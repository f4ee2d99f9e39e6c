// Writes a picture of each page of the main window and of the About box, as
// the program lays them out, for checking the layout by eye:
//   screenshot <folder>
// The Output page is pictured twice: as at start-up and after the calibration
// run on the start-up input.

#include "report/prompts.h"
#include "ui/about_box.h"
#include "ui/application.h"
#include "ui/main_window.h"

#include <QDir>
#include <QPixmap>
#include <QPushButton>
#include <QTextStream>

#include <cstdio>

namespace {

bool save(QWidget &widget, const QDir &folder, const QString &name)
{
    QCoreApplication::processEvents();
    const QString path = folder.filePath(name + QStringLiteral(".png"));
    if (!widget.grab().save(path)) {
        std::fprintf(stderr, "screenshot: cannot write %s\n", qPrintable(path));
        return false;
    }
    std::printf("%s\n", qPrintable(path));
    return true;
}

} // namespace

int main(int argc, char *argv[])
{
    pelorin::WidgetPrompts prompts;
    pelorin::Application app(argc, argv, prompts);
    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() != 2) {
        std::fprintf(stderr, "usage: screenshot <folder>\n");
        return 2;
    }
    const QDir folder(arguments.at(1));
    if (!folder.exists() && !QDir().mkpath(folder.path())) {
        std::fprintf(stderr, "screenshot: cannot create %s\n", qPrintable(folder.path()));
        return 1;
    }

    pelorin::TForm1 form(prompts);
    pelorin::TAboutBox about;
    form.set_about_box(&about);
    form.show();

    bool ok = true;
    const struct
    {
        QWidget *page;
        const char *name;
    } pages[] = {{form.ui.TabSheetStart, "form1_info"},
                 {form.ui.TabSheetInput, "form1_input"},
                 {form.ui.TabSheetOutput, "form1_output_start"},
                 {form.ui.TabSheetHelp, "form1_help"}};
    for (const auto &page : pages) {
        form.set_active_page(page.page);
        ok = save(form, folder, QString::fromLatin1(page.name)) && ok;
    }

    form.set_active_page(form.ui.TabSheetInput);
    form.ui.TabSheetInput->ui.BtnCalculate->click();
    ok = save(form, folder, QStringLiteral("form1_output_run")) && ok;

    for (int shape : {1, 2}) {
        form.set_active_page(form.ui.TabSheetInput);
        form.ui.TabSheetInput->ui.GroupTankShape->set_item_index(shape);
        ok = save(form, folder, QStringLiteral("form1_input_shape%1").arg(shape)) && ok;
    }

    about.show();
    ok = save(about, folder, QStringLiteral("about_box")) && ok;
    return ok ? 0 : 1;
}
