// Writes real page files into the folder given: the calibration run, the
// report engine and Save report's own writer, as the page-file fuzz seeds.

#include "calc/errors.h"
#include "report/page_file.h"
#include "report/print_job.h"
#include "report/report_fixtures.h"

#include <QDir>
#include <QGuiApplication>

#include <cstdio>

using namespace pelorin;

int main(int argc, char **argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_page_seeds FOLDER\n");
        return 2;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    testing::install_font_substitutions();
    const QDir folder(QString::fromLocal8Bit(argv[1]));
    folder.mkpath(QStringLiteral("."));

    const struct
    {
        const char *name;
        int points;
        QPageLayout::Orientation orientation;
    } seeds[] = {{"two_points", 2, QPageLayout::Portrait},
                 {"portrait", 15, QPageLayout::Portrait},
                 {"landscape", 25, QPageLayout::Landscape}};
    try {
        for (const auto &seed : seeds) {
            Table table;
            ReportLayout layout;
            testing::prepare_report(testing::startup_input(seed.points), table, layout);
            PrintJob job(PrintJob::Destination::Screen);
            PrintSettings settings;
            settings.orientation = seed.orientation;
            job.set_printer_settings(settings);
            job.set_clock([] { return QDateTime(QDate(2024, 3, 1), QTime(9, 30)); });
            job.generate(layout, report_rows(table));
            save_page_file(folder.filePath(QString::fromLatin1(seed.name) + QStringLiteral(".prp")),
                           job.stored_pages());
        }
    } catch (const Error &error) {
        std::fprintf(stderr, "make_page_seeds: %s\n", error.what());
        return 1;
    }
    return 0;
}
