#include "ui/command_line.h"

#include "calc/calibration_run.h"
#include "calc/characteristic.h"
#include "calc/errors.h"
#include "calc/number_text.h"
#include "calc/result_table.h"
#include "calc/shapes.h"
#include "calc/table_text.h"
#include "calc/units.h"
#include "calc/whole_file.h"
#include "report/pdf_export.h"
#include "report/report_captions.h"
#include "report/report_engine.h"
#include "report/report_layout.h"
#include "ui/application.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFont>
#include <QGuiApplication>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>

namespace pelorin {

namespace {

enum ExitStatus { done = 0, output_failed = 1, input_refused = 2, usage_error = 64 };

void write(std::FILE *stream, const QString &text)
{
    const QByteArray bytes = text.toLocal8Bit();
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stream);
}

// The Input page as a run reads it, filled from the options.
class CommandLineView : public RunView
{
public:
    int shape = 0;
    int size_unit = 0;
    int volume_unit = 0;
    QString texts[7];
    QString zero, span, height_title, volume_title, rejection;
    bool rejected = false;

    QString &text(InputField field) { return texts[int(field)]; }

    void show_output() override {}
    QString field_text(InputField field) const override { return texts[int(field)]; }
    int size_unit_index() const override { return size_unit; }
    int volume_unit_index() const override { return volume_unit; }
    QString size_unit_text() const override
    {
        return QString::fromLatin1(size_units.at(std::size_t(size_unit)).name);
    }
    QString volume_unit_text() const override
    {
        return QString::fromLatin1(volume_units.at(std::size_t(volume_unit)).name);
    }
    void input_failed(InputField) override {}
    void reject(const QString &message, InputField) override
    {
        rejected = true;
        rejection = message;
    }
    void set_zero_text(const QString &text) override { zero = text; }
    void set_span_text(const QString &text) override { span = text; }
    void set_column_titles(const QString &height, const QString &volume) override
    {
        height_title = height;
        volume_title = volume;
    }
};

// The fields after start-up and choosing the shape: 15 points, h1 "min",
// h2 "max", the angle "0" for the cylindrical shapes, the rest empty but the
// diameter's "10".
void set_start_up_texts(CommandLineView &view)
{
    view.text(InputField::Points) = QStringLiteral("15");
    view.text(InputField::Diameter) = QStringLiteral("10");
    view.text(InputField::MinSignal) = QStringLiteral("min");
    view.text(InputField::MaxSignal) = QStringLiteral("max");
    if (shape_info(shape_at(view.shape)).angle)
        view.text(InputField::Angle) = QStringLiteral("0");
}

// The points box's own rule when Calculate takes the focus from it: a whole
// number outside 1 to 25 becomes the nearer end.
void clamp_points(QString &text)
{
    try {
        const int number = parse_integer(text);
        if (number < 1 || number > 25)
            text = QString::number(std::clamp(number, 1, 25));
    } catch (const Error &) {
        // The run itself reports a text that is no number.
    }
}

QString current_error_message()
{
    try {
        throw;
    } catch (const Error &error) {
        return error.message();
    } catch (const std::exception &error) {
        return QString::fromUtf8(error.what());
    }
}

// An option's values for its description: "a, b or c (default a)".
QString keys_text(const QStringList &keys)
{
    return keys.mid(0, keys.size() - 1).join(QStringLiteral(", ")) + QStringLiteral(" or ") +
           keys.last() + QStringLiteral(" (default ") + keys.first() + QStringLiteral(").");
}

struct Options
{
    QCommandLineOption shape{QStringLiteral("shape"),
                             QStringLiteral("Tank shape: ") + keys_text(shape_keys()),
                             QStringLiteral("name")};
    QCommandLineOption diameter{QStringLiteral("diameter"), QStringLiteral("Diameter d."),
                                QStringLiteral("text")};
    QCommandLineOption length{QStringLiteral("length"), QStringLiteral("Length of cylinder L."),
                              QStringLiteral("text")};
    QCommandLineOption cone{QStringLiteral("cone"), QStringLiteral("Length of cone L1."),
                            QStringLiteral("text")};
    QCommandLineOption angle{QStringLiteral("angle"),
                             QStringLiteral("Angle of inclination, degrees."),
                             QStringLiteral("text")};
    QCommandLineOption h1{QStringLiteral("h1"), QStringLiteral("Height h1 (default min)."),
                          QStringLiteral("text")};
    QCommandLineOption h2{QStringLiteral("h2"), QStringLiteral("Height h2 (default max)."),
                          QStringLiteral("text")};
    QCommandLineOption points{QStringLiteral("points"),
                              QStringLiteral("Number of points, 1 to 25 (default 15)."),
                              QStringLiteral("n")};
    QCommandLineOption size_unit{QStringLiteral("size-unit"),
                                 QStringLiteral("Size unit: ") + keys_text(size_unit_keys()),
                                 QStringLiteral("unit")};
    QCommandLineOption volume_unit{QStringLiteral("volume-unit"),
                                   QStringLiteral("Volume unit: ") + keys_text(volume_unit_keys()),
                                   QStringLiteral("unit")};
    QCommandLineOption csv{QStringLiteral("csv"),
                           QStringLiteral("Write the table as CSV to the file, or to standard "
                                          "output for \"-\" (Zero and Span then go to standard "
                                          "error)."),
                           QStringLiteral("file")};
    QCommandLineOption pdf{QStringLiteral("pdf"),
                           QStringLiteral("Write the calibration report as a PDF file."),
                           QStringLiteral("file")};
    QCommandLineOption error{QStringLiteral("error"),
                             QStringLiteral("Print the largest linearisation error of the table "
                                            "and the points needed for 1, 0.5, 0.1 and 0.05 % "
                                            "of span.")};
    QCommandLineOption level_table{
        QStringLiteral("level-table"),
        QStringLiteral("Write the level-volume table from h1 to h2 in steps of the given height "
                       "(size unit) as CSV to standard output (the other results then go to "
                       "standard error)."),
        QStringLiteral("step")};
};

QString usage(const QCommandLineParser &parser)
{
    return parser.helpText() +
           QStringLiteral("\nNumbers are written with the decimal separator of the locale "
                          "(LC_NUMERIC), as in the window.\n"
                          "Exit status: 0 done, 1 an output file could not be written, 2 the "
                          "input was rejected or could not be calculated, 64 a usage error.\n"
                          "Without options the window opens.\n");
}

// One of the keys, by its index; -1 when the value is none of them.
int choice(const QCommandLineParser &parser, const QCommandLineOption &option,
           const QStringList &keys, int fallback)
{
    if (!parser.isSet(option))
        return fallback;
    return int(keys.indexOf(parser.value(option).toLower()));
}

int run(const QCommandLineParser &parser, const Options &o)
{
    CommandLineView view;
    view.shape = choice(parser, o.shape, shape_keys(), 0);
    view.size_unit = choice(parser, o.size_unit, size_unit_keys(), 0);
    view.volume_unit = choice(parser, o.volume_unit, volume_unit_keys(), 0);
    if (view.shape < 0 || view.size_unit < 0 || view.volume_unit < 0) {
        write(stderr, QStringLiteral("pelorin: unknown value of --shape, --size-unit or "
                                     "--volume-unit\n\n") +
                          usage(parser));
        return usage_error;
    }
    const bool csv_to_stdout = parser.value(o.csv) == QLatin1String("-");
    if (csv_to_stdout && parser.isSet(o.level_table)) {
        write(stderr, QStringLiteral("pelorin: --csv - and --level-table both write to standard "
                                     "output\n\n") +
                          usage(parser));
        return usage_error;
    }
    set_start_up_texts(view);
    const std::pair<const QCommandLineOption *, InputField> fields[] = {
        {&o.points, InputField::Points},    {&o.diameter, InputField::Diameter},
        {&o.length, InputField::LengthCyl}, {&o.angle, InputField::Angle},
        {&o.cone, InputField::LengthCon},   {&o.h1, InputField::MinSignal},
        {&o.h2, InputField::MaxSignal}};
    for (const auto &[option, field] : fields) {
        if (parser.isSet(*option))
            view.text(field) = parser.value(*option);
    }
    clamp_points(view.text(InputField::Points));

    Table table;
    DataSource source;
    source.set_dataset(&table);
    TCalcState state;
    state.shape = shape_at(view.shape);
    std::optional<RunModel> model;
    try {
        model = calibration_run(view, state, table);
    } catch (...) {
        write(stderr, error_box_text(current_error_message()) + QLatin1Char('\n'));
        return input_refused;
    }
    if (view.rejected) {
        write(stderr, view.rejection + QLatin1Char('\n'));
        return input_refused;
    }

    // Standard output carries one CSV text, or else the results.
    std::FILE *results = csv_to_stdout || parser.isSet(o.level_table) ? stderr : stdout;
    write(results, view.zero + QLatin1Char('\n') + view.span + QLatin1Char('\n'));
    if (parser.isSet(o.error)) {
        const Characteristic c = characteristic(*model);
        if (!c.failure.isEmpty()) {
            write(stderr, c.failure + QLatin1Char('\n'));
            return input_refused;
        }
        write(results, largest_error_text(c, view.size_unit_text(), view.volume_unit_text()) +
                           QLatin1Char('\n') + points_needed_text(c) + QLatin1Char('\n'));
    }
    if (parser.isSet(o.level_table)) {
        try {
            const QString csv =
                level_table_csv(level_table(*model, parse_number(parser.value(o.level_table))),
                                view.size_unit_text(), view.volume_unit_text());
            const QByteArray bytes = csv.toUtf8();
            std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stdout);
        } catch (const Error &error) {
            write(stderr, error_box_text(error.message()) + QLatin1Char('\n'));
            return input_refused;
        }
    }
    int status = done;
    if (parser.isSet(o.csv)) {
        source.set_grid_titles(view.height_title, view.volume_title);
        const QByteArray csv = table_csv(source).toUtf8();
        if (csv_to_stdout) {
            std::fwrite(csv.constData(), 1, size_t(csv.size()), stdout);
        } else if (const QString why = write_whole_file(parser.value(o.csv), csv); !why.isEmpty()) {
            write(stderr, QStringLiteral("The table could not be saved to '%1': %2\n")
                              .arg(parser.value(o.csv), why));
            status = output_failed;
        }
    }
    if (parser.isSet(o.pdf)) {
        ReportLayout layout;
        set_report_captions(layout, state,
                            report_texts(state.shape, view.size_unit, view.volume_unit));
        try {
            write_report_pdf(parser.value(o.pdf),
                             layout_report(layout, report_rows(table), QPageLayout::Portrait),
                             layout.title());
        } catch (const Error &error) {
            write(stderr, error.message() + QLatin1Char('\n'));
            status = output_failed;
        }
    }
    std::fflush(stdout);
    return status;
}

} // namespace

bool wants_command_line(int argc, char **argv)
{
    for (int i = 1; i < argc; ++i) {
        if (std::strncmp(argv[i], "--", 2) == 0 || std::strcmp(argv[i], "-h") == 0 ||
            std::strcmp(argv[i], "-v") == 0)
            return true;
    }
    return false;
}

int run_command_line(int argc, char **argv)
{
    // The report is drawn with fonts, which need a GUI application; it never
    // shows a window, so it needs no display either.
    bool makes_pdf = false;
    for (int i = 1; i < argc; ++i)
        makes_pdf = makes_pdf || std::strncmp(argv[i], "--pdf", 5) == 0;
    // Standard error carries the program's own messages (and Zero and Span
    // under --csv -): the toolkit's notes about its environment stay out.
    qInstallMessageHandler([](QtMsgType type, const QMessageLogContext &, const QString &text) {
        if (type == QtCriticalMsg || type == QtFatalMsg)
            write(stderr, text + QLatin1Char('\n'));
    });
    std::unique_ptr<QCoreApplication> application;
    if (makes_pdf) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        application = std::make_unique<QGuiApplication>(argc, argv);
        QFont::insertSubstitution(QStringLiteral("MS Sans Serif"),
                                  QStringLiteral("Liberation Sans"));
    } else {
        application = std::make_unique<QCoreApplication>(argc, argv);
    }
    QCoreApplication::setApplicationName(application_title);
    QCoreApplication::setApplicationVersion(QStringLiteral(PELORIN_VERSION));
    read_decimal_separator();

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Tank calibration: Zero, Span and the correction table of a level "
                       "instrument."));
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();
    const Options options;
    for (const QCommandLineOption *option :
         {&options.shape, &options.diameter, &options.length, &options.cone, &options.angle,
          &options.h1, &options.h2, &options.points, &options.size_unit, &options.volume_unit,
          &options.csv, &options.pdf, &options.error, &options.level_table})
        parser.addOption(*option);

    if (!parser.parse(QCoreApplication::arguments()) || !parser.positionalArguments().isEmpty()) {
        const QString why = parser.errorText().isEmpty()
                                ? QStringLiteral("unexpected argument %1")
                                      .arg(parser.positionalArguments().value(0))
                                : parser.errorText();
        write(stderr, QStringLiteral("pelorin: %1\n\n").arg(why) + usage(parser));
        return usage_error;
    }
    if (parser.isSet(help)) {
        write(stdout, usage(parser));
        return done;
    }
    if (parser.isSet(version)) {
        write(stdout, QStringLiteral("%1 %2\n").arg(application_title,
                                                    QCoreApplication::applicationVersion()));
        return done;
    }
    return run(parser, options);
}

} // namespace pelorin
