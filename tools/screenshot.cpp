// Writes pictures of the program's windows and of the calibration report, as
// the program lays them out, for checking the layout by eye:
//   screenshot [--dark] <folder>
// With --dark the windows are built under a dark desktop palette.
// The Output page is pictured twice: as at start-up and after the calibration
// run on the start-up input. The report preview is pictured as the Report
// button opens it (at a restored size of 1000 x 800 instead of maximized),
// and the report's pages are painted at 150 dpi as the printer gets them:
// the start-up input in portrait (also played back from the recorded page the
// preview shows), and 25 points in landscape, which take two pages.

#include "report/preview/page_view.h"
#include "report/preview/preview_window.h"
#include "report/preview/prompts.h"
#include "report/print_job.h"
#include "report/report_engine.h"
#include "support/dark_palette.h"
#include "support/widget_support.h"
#include "ui/about_box.h"
#include "ui/application.h"
#include "ui/characteristic_window.h"
#include "ui/main_window.h"
#include "ui/points_edit.h"
#include "ui/radio_group.h"

#include <QApplication>
#include <QComboBox>
#include <QDeadlineTimer>
#include <QDir>
#include <QImage>
#include <QLineEdit>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QTimer>
#include <QToolButton>

#include <cstdio>
#include <stdexcept>
#include <string>

namespace {

using pelorin::TForm1;
using pelorin::testing::named;

constexpr double page_dpi = 150;
constexpr QSize preview_size(1000, 800);

// The folder the pictures go to; remembers whether every picture was written.
class Album
{
public:
    explicit Album(const QDir &folder) : m_folder(folder) {}

    bool ok() const { return m_ok; }

    void add(const QImage &image, const QString &name)
    {
        const QString path = m_folder.filePath(name + QStringLiteral(".png"));
        if (image.isNull() || !image.save(path)) {
            std::fprintf(stderr, "screenshot: cannot write %s\n", qPrintable(path));
            m_ok = false;
            return;
        }
        std::printf("%s\n", qPrintable(path));
    }

    void add(QWidget &widget, const QString &name)
    {
        QCoreApplication::processEvents();
        add(widget.grab().toImage(), name);
    }

    void fail(const QString &what)
    {
        std::fprintf(stderr, "screenshot: %s\n", qPrintable(what));
        m_ok = false;
    }

private:
    QDir m_folder;
    bool m_ok = true;
};

void picture_pages(TForm1 &form, Album &album)
{
    const struct
    {
        const char *page;
        const char *name;
    } pages[] = {{"TabSheetStart", "form1_info"},
                 {"TabSheetInput", "form1_input"},
                 {"TabSheetOutput", "form1_output_start"},
                 {"TabSheetHelp", "form1_help"}};
    for (const auto &page : pages) {
        form.set_active_page(named(form, page.page));
        album.add(form, QString::fromLatin1(page.name));
    }
}

void picture_calculation(TForm1 &form, Album &album)
{
    QWidget *input = named(form, "TabSheetInput");
    auto *calculate = named<QPushButton>(form, "BtnCalculate");
    auto *size_units = named<QComboBox>(form, "SizeUnits");
    auto *volume_units = named<QComboBox>(form, "VolumeUnits");
    form.set_active_page(input);
    calculate->click();
    album.add(form, QStringLiteral("form1_output_run"));
    // The widest column titles and volumes: feet and US gallons.
    form.set_active_page(input);
    size_units->setCurrentIndex(1);
    volume_units->setCurrentIndex(2);
    calculate->click();
    album.add(form, QStringLiteral("form1_output_usgal"));
    size_units->setCurrentIndex(0);
    volume_units->setCurrentIndex(0);
}

// The Characteristic window of the start-up input, at its default size and
// made small.
void picture_characteristic(TForm1 &form, Album &album)
{
    form.set_active_page(named(form, "TabSheetInput"));
    named<QPushButton>(form, "BtnCalculate")->click();
    form.show_characteristic();
    QWidget *window = form.characteristic_window();
    if (!window)
        return album.fail(QStringLiteral("no Characteristic window"));
    named<QLineEdit>(*window, "LookUpHeight")->setText(QStringLiteral("2.5"));
    named<QLineEdit>(*window, "LookUpVolume")->setText(QStringLiteral("100"));
    album.add(*window, QStringLiteral("characteristic"));
    const QSize size = window->size();
    window->resize(window->minimumSizeHint());
    album.add(*window, QStringLiteral("characteristic_small"));
    window->resize(size);
    window->hide();
}

void picture_shapes(TForm1 &form, Album &album)
{
    for (int shape : {1, 2}) {
        form.set_active_page(named(form, "TabSheetInput"));
        named<pelorin::RadioGroup>(form, "GroupTankShape")->set_item_index(shape);
        album.add(form, QStringLiteral("form1_input_shape%1").arg(shape));
    }
}

// Presses Report on the Output page. The click returns only when the preview
// has closed, so a timer watches for the preview: once its pages are finished
// (Print enabled) the window is pictured at its restored size and closed.
void picture_preview(TForm1 &form, Album &album, const QString &name)
{
    bool pictured = false;
    const QDeadlineTimer deadline(20000);
    QTimer watch;
    watch.setInterval(20);
    QObject::connect(&watch, &QTimer::timeout, [&] {
        auto *preview = form.findChild<pelorin::PreviewWindow *>();
        auto *print =
            preview ? preview->findChild<QToolButton *>(QStringLiteral("Print")) : nullptr;
        if (print && print->isEnabled()) {
            watch.stop();
            preview->showNormal();
            preview->resize(preview_size);
            album.add(*preview, name);
            pictured = true;
            preview->close();
        } else if (deadline.hasExpired()) {
            watch.stop();
            if (preview)
                preview->close();
        }
    });

    auto *report = named<QPushButton>(form, "BtnReport");
    form.set_active_page(named(form, "TabSheetOutput"));
    watch.start();
    report->click();
    watch.stop();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    if (!pictured)
        album.fail(QStringLiteral("the report preview did not finish its pages"));
}

// A sheet of the page's paper at `dpi`, white.
QImage blank_sheet(const pelorin::ReportPage &page, double dpi)
{
    const QSize size = pelorin::page_pixels(page.paper, dpi, dpi);
    QImage image(size, QImage::Format_RGB32);
    const int dots_per_metre = qRound(dpi / 0.0254);
    image.setDotsPerMeterX(dots_per_metre);
    image.setDotsPerMeterY(dots_per_metre);
    image.fill(Qt::white);
    return image;
}

// The page drawn straight onto the image, as on a printer.
QImage painted_page(const pelorin::ReportPage &page, double dpi)
{
    QImage image = blank_sheet(page, dpi);
    QPainter painter(&image);
    pelorin::paint_page(painter, page);
    return image;
}

// The page recorded as the preview keeps it, then played onto the image.
QImage played_page(const pelorin::ReportPage &page, double dpi)
{
    QImage image = blank_sheet(page, dpi);
    const QPicture picture = pelorin::record_page(page);
    QPainter painter(&image);
    pelorin::play_page(painter, picture, QRectF(QPointF(0, 0), QSizeF(image.size())));
    return image;
}

// The pages of the report as the last Report click filled it, laid out again
// in the report's orientation.
QVector<pelorin::ReportPage> report_pages(TForm1 &form)
{
    pelorin::ReportLayout &layout = form.QuickRep1();
    return pelorin::layout_report(layout, pelorin::report_rows(form.table()),
                                  layout.print_settings().orientation);
}

void picture_report_pages(TForm1 &form, Album &album, const QString &name, bool also_played)
{
    const QVector<pelorin::ReportPage> pages = report_pages(form);
    if (pages.isEmpty())
        album.fail(QStringLiteral("the report has no page"));
    for (const pelorin::ReportPage &page : pages) {
        const QString page_name =
            pages.size() == 1 ? name : name + QStringLiteral("_page%1").arg(page.number);
        album.add(painted_page(page, page_dpi), page_name);
        if (also_played)
            album.add(played_page(page, page_dpi), page_name + QStringLiteral("_played"));
    }
}

// The report of the start-up input in portrait, then 25 points in landscape.
void picture_report(TForm1 &form, Album &album)
{
    picture_preview(form, album, QStringLiteral("report_preview"));
    picture_report_pages(form, album, QStringLiteral("report_page_150dpi"), true);

    named<pelorin::PointsEdit>(form, "Ed_points")->set_text(QStringLiteral("25"));
    form.QuickRep1().print_settings().orientation = QPageLayout::Landscape;
    picture_preview(form, album, QStringLiteral("report_preview_landscape25"));
    picture_report_pages(form, album, QStringLiteral("report_landscape25_150dpi"), false);
}

// The main window's pages, its calibration runs, the report and the About box.
void take_pictures(pelorin::Prompts &prompts, Album &album)
{
    TForm1 form(prompts);
    pelorin::TAboutBox about;
    form.set_about_box(&about);
    form.show();
    picture_pages(form, album);
    picture_calculation(form, album);
    picture_characteristic(form, album);
    {
        // The report reads the start-up input: a form of its own.
        TForm1 report_form(prompts);
        report_form.show();
        picture_report(report_form, album);
    }
    picture_shapes(form, album);

    about.show();
    album.add(about, QStringLiteral("about_box"));
}

} // namespace

int main(int argc, char *argv[])
{
    pelorin::WidgetPrompts prompts;
    pelorin::Application app(argc, argv, prompts);
    QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() == 3 && arguments.at(1) == QLatin1String("--dark")) {
        QApplication::setPalette(pelorin::testing::dark_palette());
        arguments.removeAt(1);
    }
    if (arguments.size() != 2) {
        std::fprintf(stderr, "usage: screenshot [--dark] <folder>\n");
        return 2;
    }
    const QDir folder(arguments.at(1));
    if (!folder.exists() && !QDir().mkpath(folder.path())) {
        std::fprintf(stderr, "screenshot: cannot create %s\n", qPrintable(folder.path()));
        return 1;
    }
    Album album(folder);

    try {
        take_pictures(prompts, album);
    } catch (const std::exception &error) {
        album.fail(QString::fromUtf8(error.what()));
    }
    return album.ok() ? 0 : 1;
}
