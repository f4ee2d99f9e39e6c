// Peak resident memory of the program (see report_memory.sh), offscreen:
//   report_memory window    the main window shown and one calibration run of
//                           25 points on the start-up input, its grid painted
//   report_memory preview   the same, then the Report button pressed and the
//                           preview's page painted
// Prints VmHWM (kilobytes) of the process at that moment.

#include "preview_watch.h"
#include "ui/application.h"
#include "ui/main_window.h"
#include "ui/points_edit.h"

#include <QFile>
#include <QPushButton>
#include <QRegularExpression>

#include <cstdio>
#include <cstring>
#include <stdexcept>
#include <string>

namespace {

// The process's peak resident set size in kilobytes, -1 when unknown.
long peak_resident_kb()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    const QString text = QString::fromLatin1(status.readAll());
    const QRegularExpressionMatch match =
        QRegularExpression(QStringLiteral("VmHWM:\\s*(\\d+)\\s*kB")).match(text);
    return match.hasMatch() ? match.captured(1).toLong() : -1;
}

void calculate(pelorin::TForm1 &form)
{
    form.set_active_page(named(form, "TabSheetInput"));
    named<pelorin::PointsEdit>(form, "Ed_points")->set_text(QStringLiteral("25"));
    named<QPushButton>(form, "BtnCalculate")->click();
    form.repaint();
    QCoreApplication::processEvents();
}

// Presses Report; returns the peak taken while the preview shows its page.
long preview(pelorin::TForm1 &form)
{
    long peak = -1;
    FirstPageWatch watch(form);
    watch.on_page = [&peak] { peak = peak_resident_kb(); };
    QElapsedTimer clock;
    clock.start();
    watch.start(clock);
    named<QPushButton>(form, "BtnReport")->click(); // returns when the preview has closed
    return watch.elapsed_ms() < 0 ? -1 : peak;
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    const bool with_preview = argc > 1 && std::strcmp(argv[1], "preview") == 0;
    if (argc != 2 || (!with_preview && std::strcmp(argv[1], "window") != 0)) {
        std::fprintf(stderr, "usage: report_memory window|preview\n");
        return 2;
    }
    SilentPrompts prompts;
    pelorin::Application app(argc, argv, prompts);
    pelorin::TForm1 form(prompts);
    form.show();
    QCoreApplication::processEvents();
    calculate(form);

    const long peak = with_preview ? preview(form) : peak_resident_kb();
    if (peak < 0) {
        std::fprintf(stderr, "report_memory: no figure (the preview showed no page?)\n");
        return 1;
    }
    std::printf("%ld\n", peak);
    return 0;
}
