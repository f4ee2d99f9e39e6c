#include "ui/command_line.h"

#include "calc/calibration_run.h"
#include "calc/characteristic.h"
#include "calc/errors.h"
#include "calc/number_text.h"
#include "calc/result_table.h"
#include "calc/shapes.h"
#include "calc/table_text.h"
#include "calc/units.h"
#include "report/output_file.h"
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
#include <cerrno>
#include <csignal>
#include <cstring>
#include <memory>

#include <fcntl.h>
#include <unistd.h>

namespace pelorin {

namespace {

enum ExitStatus { done = 0, output_failed = 1, input_refused = 2, usage_error = 64 };

// Standard output or standard error, written unbuffered; the first failed
// write is kept, and nothing more is written after it.
class Channel
{
public:
    explicit Channel(int descriptor) : m_descriptor(descriptor) {}

    void write(const QByteArray &bytes)
    {
        if (m_failure.isEmpty())
            m_failure = write_descriptor(m_descriptor, bytes);
    }
    void write(const QString &text) { write(text.toLocal8Bit()); }
    // A descriptor the program was started without is a failure to write to
    // it; /dev/null, opened for reading, takes its number so that no file the
    // program opens later gets it and the results.
    void take_closed()
    {
        if (::fcntl(m_descriptor, F_GETFD) < 0 && errno == EBADF) {
            m_failure = qt_error_string(EBADF);
            ::open("/dev/null", O_RDONLY | O_CLOEXEC);
        }
    }
    const QString &failure() const { return m_failure; }

private:
    int m_descriptor;
    QString m_failure;
};

Channel standard_output(STDOUT_FILENO);
Channel standard_error(STDERR_FILENO);

// Arguments are the system's bytes. Valid UTF-8 becomes its characters; any
// other byte b becomes the lone surrogate U+DC00 + b, which no UTF-8 text
// decodes to, so that a file name is given back to the system byte for byte.
QString argument_text(const QByteArray &bytes)
{
    QString text;
    for (qsizetype i = 0; i < bytes.size();) {
        const auto byte = uchar(bytes.at(i));
        const int length = byte < 0x80                   ? 1
                           : byte >= 0xc2 && byte < 0xe0 ? 2
                           : byte >= 0xe0 && byte < 0xf0 ? 3
                           : byte >= 0xf0 && byte < 0xf5 ? 4
                                                         : 0;
        const QByteArray sequence = bytes.mid(i, length);
        const QString decoded = length > 1 ? QString::fromUtf8(sequence) : QString();
        if (length == 1) {
            text += QChar(byte);
        } else if (length > 1 && sequence.size() == length &&
                   !decoded.contains(QChar::ReplacementCharacter) && decoded.toUtf8() == sequence) {
            text += decoded;
        } else {
            text += QChar(0xdc00 + byte);
            i += 1;
            continue;
        }
        i += length;
    }
    return text;
}

QByteArray argument_bytes(const QString &text)
{
    QByteArray bytes;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) {
            bytes += text.mid(i, 2).toUtf8();
            ++i;
        } else if (c.unicode() >= 0xdc80 && c.unicode() <= 0xdcff) {
            bytes += char(c.unicode() - 0xdc00);
        } else {
            bytes += QString(c).toUtf8();
        }
    }
    return bytes;
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
                           QStringLiteral("Write the calibration report as a PDF file, or to "
                                          "standard output for \"-\" (Zero and Span then go "
                                          "to standard error)."),
                           QStringLiteral("file")};
    QCommandLineOption error{QStringLiteral("error"),
                             QStringLiteral("Print the largest linearization error of the table "
                                            "and the points needed for 1, 0.5, 0.1 and 0.05 % "
                                            "of span.")};
    QCommandLineOption placement{
        QStringLiteral("placement"),
        QStringLiteral("Placement of the table's inner points: even (i / (n + 1), the default) "
                       "or optimised (where the largest linearization error is smallest); for "
                       "--csv, --pdf and --error."),
        QStringLiteral("even|optimised")};
    QCommandLineOption level_table{
        QStringLiteral("level-table"),
        QStringLiteral(
            "Write the level-volume table from h1 to h2 in steps of the given height "
            "(size unit, at least 0.001) as CSV to standard output (the other results then go to "
            "standard error)."),
        QStringLiteral("step")};
};

QString usage(const QCommandLineParser &parser)
{
    return parser.helpText() +
           QStringLiteral("\nNumbers are written with the decimal separator of the locale "
                          "(LC_NUMERIC), as in the window.\n"
                          "Exit status: 0 done, 1 an output could not be written (a file, "
                          "standard output or standard error), 2 the "
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

// Where --csv and --pdf go: "-" is standard output.
bool to_standard_output(const QCommandLineParser &parser, const QCommandLineOption &option)
{
    return parser.isSet(option) && parser.value(option) == QLatin1String("-");
}

// A usage error: the reason and the usage on standard error.
int usage_failure(const QCommandLineParser &parser, const QString &why)
{
    standard_error.write(QStringLiteral("pelorin: %1\n\n").arg(why) + usage(parser));
    return usage_error;
}

int run(const QCommandLineParser &parser, const Options &o)
{
    CommandLineView view;
    view.shape = choice(parser, o.shape, shape_keys(), 0);
    view.size_unit = choice(parser, o.size_unit, size_unit_keys(), 0);
    view.volume_unit = choice(parser, o.volume_unit, volume_unit_keys(), 0);
    if (view.shape < 0 || view.size_unit < 0 || view.volume_unit < 0)
        return usage_failure(parser, QStringLiteral("unknown value of --shape, --size-unit or "
                                                    "--volume-unit"));
    // Two outputs never share a target: standard output carries one text.
    const int placement =
        choice(parser, o.placement, {QStringLiteral("even"), QStringLiteral("optimised")}, 0);
    if (placement < 0)
        return usage_failure(parser, QStringLiteral("unknown value of --placement"));
    const QByteArray csv_path = argument_bytes(parser.value(o.csv));
    const QByteArray pdf_path = argument_bytes(parser.value(o.pdf));
    const bool csv_to_stdout = to_standard_output(parser, o.csv);
    const bool pdf_to_stdout = to_standard_output(parser, o.pdf);
    if (int(csv_to_stdout) + int(pdf_to_stdout) + int(parser.isSet(o.level_table)) > 1)
        return usage_failure(parser, QStringLiteral("--csv -, --pdf - and --level-table all "
                                                    "write to standard output: choose one"));
    if (parser.isSet(o.csv) && parser.isSet(o.pdf) &&
        output_identity(csv_path) == output_identity(pdf_path))
        return usage_failure(
            parser,
            QStringLiteral("--csv and --pdf name the same file: '%1'").arg(parser.value(o.pdf)));
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
        model = calibration_run(view, state, table,
                                placement == 1 ? PointPlacement::Optimised : PointPlacement::Even);
    } catch (...) {
        standard_error.write(error_box_text(current_error_message()) + QLatin1Char('\n'));
        return input_refused;
    }
    if (view.rejected) {
        standard_error.write(view.rejection + QLatin1Char('\n'));
        return input_refused;
    }

    // Standard output carries one data text, or else the results.
    Channel &results = csv_to_stdout || pdf_to_stdout || parser.isSet(o.level_table)
                           ? standard_error
                           : standard_output;
    results.write(view.zero + QLatin1Char('\n') + view.span + QLatin1Char('\n'));
    if (parser.isSet(o.error)) {
        const Characteristic c = characteristic(*model);
        if (!c.failure.isEmpty()) {
            standard_error.write(c.failure + QLatin1Char('\n'));
            return input_refused;
        }
        results.write(largest_error_text(c, view.size_unit_text(), view.volume_unit_text()) +
                      QLatin1Char('\n') + points_needed_text(c) + QLatin1Char('\n') +
                      even_placement_text(c) + QLatin1Char('\n') + optimised_placement_text(c) +
                      QLatin1Char('\n'));
    }
    if (parser.isSet(o.level_table)) {
        try {
            const QString step = parser.value(o.level_table);
            const QString csv = level_table_csv(level_table(*model, parse_number(step), step),
                                                view.size_unit_text(), view.volume_unit_text());
            standard_output.write(csv.toUtf8());
        } catch (const Error &error) {
            standard_error.write(error_box_text(error.message()) + QLatin1Char('\n'));
            return input_refused;
        }
    }
    int status = done;
    if (parser.isSet(o.csv)) {
        source.set_grid_titles(view.height_title, view.volume_title);
        const QByteArray csv = table_csv(source).toUtf8();
        if (csv_to_stdout) {
            standard_output.write(csv);
        } else if (const QString why = write_output_file(csv_path, csv); !why.isEmpty()) {
            standard_error.write(QStringLiteral("The table could not be saved to '%1': %2\n")
                                     .arg(parser.value(o.csv), why));
            status = output_failed;
        }
    }
    if (parser.isSet(o.pdf)) {
        ReportLayout layout;
        set_report_captions(layout, state,
                            report_texts(state.shape, view.size_unit, view.volume_unit));
        try {
            const QVector<ReportPage> pages =
                layout_report(layout, report_rows(table), QPageLayout::Portrait);
            if (pdf_to_stdout)
                standard_output.write(report_pdf(pages, layout.title()));
            else
                write_report_pdf(pdf_path, pages, layout.title());
        } catch (const Error &error) {
            standard_error.write(error.message() + QLatin1Char('\n'));
            status = output_failed;
        }
    }
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
    // A closed pipe is a failed write like any other, not a silent end.
    std::signal(SIGPIPE, SIG_IGN);
    if (::fcntl(STDIN_FILENO, F_GETFD) < 0)
        ::open("/dev/null", O_RDONLY | O_CLOEXEC);
    standard_output.take_closed();
    standard_error.take_closed();
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments += argument_text(QByteArray(argv[i]));
    // The report is drawn with fonts, which need a GUI application; it never
    // shows a window, so it needs no display either.
    const bool makes_pdf =
        std::any_of(arguments.cbegin() + 1, arguments.cend(),
                    [](const QString &a) { return a.startsWith(QLatin1String("--pdf")); });
    // Standard error carries the program's own messages (and Zero and Span
    // under --csv -): the toolkit's notes about its environment stay out.
    qInstallMessageHandler([](QtMsgType type, const QMessageLogContext &, const QString &text) {
        if (type == QtCriticalMsg || type == QtFatalMsg)
            standard_error.write(text + QLatin1Char('\n'));
    });
    // The toolkit sees the program's name only: every other argument is the
    // command line's, and an option of the toolkit's is an unknown option.
    static int toolkit_argc = 1;
    static char *toolkit_argv[] = {argv[0], nullptr};
    std::unique_ptr<QCoreApplication> application;
    if (makes_pdf) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        application = std::make_unique<QGuiApplication>(toolkit_argc, toolkit_argv);
        QFont::insertSubstitution(QStringLiteral("MS Sans Serif"),
                                  QStringLiteral("Liberation Sans"));
    } else {
        application = std::make_unique<QCoreApplication>(toolkit_argc, toolkit_argv);
    }
    QCoreApplication::setApplicationName(application_title);
    QCoreApplication::setApplicationVersion(QStringLiteral(PELORIN_VERSION));
    read_decimal_separator();

    QCommandLineParser parser;
    // "-platform" is the unknown option "platform", not eight letters.
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.setApplicationDescription(
        QStringLiteral("Tank calibration: Zero, Span and the correction table of a level "
                       "instrument."));
    // Not addHelpOption(): its --help-all lists the toolkit's options, which
    // the command line does not take.
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")},
                                  QStringLiteral("Displays help on commandline options."));
    parser.addOption(help);
    const QCommandLineOption version = parser.addVersionOption();
    const Options options;
    for (const QCommandLineOption *option :
         {&options.shape, &options.diameter, &options.length, &options.cone, &options.angle,
          &options.h1, &options.h2, &options.points, &options.size_unit, &options.volume_unit,
          &options.csv, &options.pdf, &options.error, &options.placement, &options.level_table})
        parser.addOption(*option);

    int status = done;
    if (!parser.parse(arguments) || !parser.positionalArguments().isEmpty()) {
        const QString why = parser.errorText().isEmpty()
                                ? QStringLiteral("unexpected argument %1")
                                      .arg(parser.positionalArguments().value(0))
                                : parser.errorText();
        status = usage_failure(parser, why);
    } else if (parser.isSet(help)) {
        standard_output.write(usage(parser));
    } else if (parser.isSet(version)) {
        standard_output.write(QStringLiteral("%1 %2\n").arg(
            application_title, QCoreApplication::applicationVersion()));
    } else {
        status = run(parser, options);
    }
    // Whatever could not be written is a failure, never a success.
    if (!standard_output.failure().isEmpty()) {
        standard_error.write(
            QStringLiteral("pelorin: standard output: %1\n").arg(standard_output.failure()));
        status = status == done ? output_failed : status;
    }
    if (!standard_error.failure().isEmpty() && status == done)
        status = output_failed;
    return status;
}

} // namespace pelorin
