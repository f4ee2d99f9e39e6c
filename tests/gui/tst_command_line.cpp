// The command line, run as a separate program with no display: its table and
// Zero/Span against the window's for the same input, its report as a PDF, and
// its exit statuses and messages.

#include "gui_support.h"

#include "calc/table_text.h"
#include "report/report_captions.h"

#include <QAction>
#include <QComboBox>
#include <QProcess>
#include <QTemporaryDir>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

using namespace gui_support;

namespace {

struct Outcome
{
    int status = -1;
    QString out, err;
};

// Runs the program with no display and no platform chosen.
Outcome run_program(const QStringList &arguments)
{
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove(QStringLiteral("DISPLAY"));
    environment.remove(QStringLiteral("WAYLAND_DISPLAY"));
    environment.remove(QStringLiteral("QT_QPA_PLATFORM"));
    process.setProcessEnvironment(environment);
    process.start(QStringLiteral(PELORIN_PROGRAM), arguments);
    Outcome outcome;
    if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit)
        return outcome;
    outcome.status = process.exitCode();
    outcome.out = QString::fromUtf8(process.readAllStandardOutput());
    outcome.err = QString::fromUtf8(process.readAllStandardError());
    return outcome;
}

QString run_text(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.start(program, arguments);
    process.waitForFinished(60000);
    return QString::fromUtf8(process.readAllStandardOutput());
}

} // namespace

class TestCommandLine : public QObject
{
    Q_OBJECT

private slots:
    void table_matches_the_window_data();
    void table_matches_the_window();
    void report_as_pdf();
    void exit_statuses_data();
    void exit_statuses();
    void texts_are_the_windows();
    void standard_output_failures_data();
    void standard_output_failures();
    void outputs_the_shell_names();
};

void TestCommandLine::table_matches_the_window_data()
{
    QTest::addColumn<int>("shape");
    QTest::addColumn<QStringList>("fields"); // object name, text, ...
    QTest::addColumn<int>("size_unit");
    QTest::addColumn<int>("volume_unit");
    QTest::addColumn<QStringList>("arguments");

    QTest::newRow("start-up sphere") << 0 << QStringList() << 0 << 0 << QStringList();
    QTest::newRow("conical, feet and US gal")
        << 1 << QStringList{"Ed_diameter",   "2", "Ed_length_cyl", "3",
                            "Ed_length_con", "1", "Ed_points",     "7"}
        << 1 << 2
        << QStringList{"--shape",       "conical", "--diameter", "2", "--length",    "3",
                       "--cone",        "1",       "--points",   "7", "--size-unit", "feet",
                       "--volume-unit", "usgal"};
    QTest::newRow("inclined deep ends in liters, h1 given")
        << 4 << QStringList{"Ed_diameter", "2.5",  "Ed_length_cyl", "6",
                            "Ed_angle",    "12.5", "Ed_min_signal", "0.4"}
        << 0 << 1 << QStringList{"--shape", "deep", "--diameter", "2.5", "--length",      "6",
                                 "--angle", "12.5", "--h1",       "0.4", "--volume-unit", "liters"};
    QTest::newRow("conical, optimised placement")
        << 1 << QStringList{"Ed_diameter",   "2", "Ed_length_cyl", "3",
                            "Ed_length_con", "1", "Ed_points",     "11"}
        << 0 << 0
        << QStringList{"--shape", "conical", "--diameter", "2",  "--length",    "3",
                       "--cone",  "1",       "--points",   "11", "--placement", "optimised"};
    QTest::newRow("inclined hemispherical ends, optimised placement")
        << 5 << QStringList{"Ed_diameter", "2", "Ed_length_cyl", "5", "Ed_angle", "30"} << 0 << 1
        << QStringList{
               "--shape", "hemispherical", "--diameter", "2",           "--length", "5", "--angle",
               "30",      "--volume-unit", "liters",     "--placement", "optimised"};
    QTest::newRow("flat ends, points clamped to 25")
        << 2 << QStringList{"Ed_length_cyl", "4", "Ed_points", "40"} << 0 << 3
        << QStringList{"--shape=flat", "--length=4", "--points=40", "--volume-unit=ft3"};
}

void TestCommandLine::table_matches_the_window()
{
    QFETCH(int, shape);
    QFETCH(QStringList, fields);
    QFETCH(int, size_unit);
    QFETCH(int, volume_unit);
    QFETCH(QStringList, arguments);

    Program program;
    QVERIFY(QTest::qWaitForWindowActive(program.form.get()));
    choose_shape(program, shape);
    for (qsizetype i = 0; i + 1 < fields.size(); i += 2)
        program.set_text(fields.at(i).toLatin1().constData(), fields.at(i + 1));
    // As typed: the points box has the focus when Calculate is clicked.
    program.widget("Ed_points")->setFocus();
    program.widget<QComboBox>("SizeUnits")->setCurrentIndex(size_unit);
    program.widget<QComboBox>("VolumeUnits")->setCurrentIndex(volume_unit);
    auto *placement = program.form->findChild<QAction *>(QStringLiteral("OptimisedPlacement"));
    QVERIFY(placement);
    placement->setChecked(arguments.contains(QStringLiteral("optimised")));
    press_calculate(program);
    QVERIFY(program.grid_model()->rowCount() > 2);

    const Outcome outcome = run_program(arguments << QStringLiteral("--csv") << "-");
    QCOMPARE(outcome.status, 0);
    QCOMPARE(outcome.out, pelorin::table_csv(program.form->data_source()));
    QCOMPARE(outcome.err, program.text("TextZero") + '\n' + program.text("TextSpan") + '\n');
}

void TestCommandLine::report_as_pdf()
{
    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("report.pdf"));
    const Outcome outcome = run_program({"--shape", "conical", "--diameter", "2", "--length", "3",
                                         "--cone", "1", "--points", "3", "--pdf", pdf});
    QCOMPARE(outcome.status, 0);
    QCOMPARE(outcome.out, QStringLiteral(" Zero  = 0.000\n Span = 10.472\n"));
    QCOMPARE(outcome.err, QString());
    const QString info = run_text(QStringLiteral("pdfinfo"), {pdf});
    QVERIFY2(info.contains(QRegularExpression(QStringLiteral("Pages:\\s+1\\n"))), qPrintable(info));
    QVERIFY2(info.contains(QStringLiteral("(A4)")), qPrintable(info));
    QVERIFY2(info.contains(QRegularExpression(QStringLiteral("Title:\\s+PELORIN\\n"))),
             qPrintable(info));
    const QString text = run_text(QStringLiteral("pdftotext"), {"-layout", pdf, "-"}).simplified();
    for (const char *expected :
         {"MODEL OSTREL CALIBRATION REPORT", "Conical tank", "Diameter (d) - 2.000 meters",
          "SPAN - 10.472 m3", "2 0.500 0.400 2.000 4.189", "1.000 1.000 4.000 10.472"})
        QVERIFY2(text.contains(QLatin1String(expected)), expected);
}

void TestCommandLine::exit_statuses_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("out");
    QTest::addColumn<QString>("err");

    QTest::newRow("version") << QStringList{"--version"} << 0 << "PELORIN 1.0.6.0\n"
                             << "";
    QTest::newRow("help") << QStringList{"--help"} << 0 << "--volume-unit <unit>"
                          << "";
    QTest::newRow("no csv or pdf: Zero and Span only")
        << QStringList{"--diameter", "2"} << 0 << " Zero  = 0.000\n Span = 4.189\n"
        << "";
    QTest::newRow("rejected height") << QStringList{"--h2", "11"} << 2 << ""
                                     << "Invalid height (h2) !\n";
    QTest::newRow("text that is no number") << QStringList{"--diameter", "ten"} << 2 << ""
                                            << "'ten' is not a valid floating point value.\n";
    QTest::newRow("unknown shape") << QStringList{"--shape", "cube"} << 64 << ""
                                   << "Usage:";
    QTest::newRow("unknown unit") << QStringList{"--volume-unit", "gallons"} << 64 << ""
                                  << "Usage:";
    QTest::newRow("unknown option") << QStringList{"--colour", "red"} << 64 << ""
                                    << "Usage:";
    QTest::newRow("error: two lines after Zero and Span")
        << QStringList{"--error"} << 0
        << " Span = 523.599\nLargest error = -0.268 % of span (-1.402 m3) at level 0.970 "
           "(9.695 meters)\nPoints needed for 1 % = 8; 0.5 % = 11; 0.1 % = more than 25"
        << "";
    QTest::newRow("level table on standard output, the rest on standard error")
        << QStringList{"--level-table", "4", "--error"} << 0
        << "Height (meters),Volume (m3),Input (norm),Output (norm)\r\n"
           "0.000,0.000,0.000,0.000\r\n4.000,184.307,0.400,0.352\r\n"
           "8.000,469.145,0.800,0.896\r\n10.000,523.599,1.000,1.000\r\n"
        << " Span = 523.599\nLargest error = ";
    QTest::newRow("level table step no number") << QStringList{"--level-table", "x"} << 2 << ""
                                                << "'x' is not a valid floating point value.\n";
    QTest::newRow("level table step finer than the heights")
        << QStringList{"--level-table", "0.00001"} << 2 << ""
        << "A step of 0.00001 is finer than the table shows its heights: the step must be at "
           "least 0.001.\n";
    QTest::newRow("two texts for standard output")
        << QStringList{"--level-table", "1", "--csv", "-"} << 64 << ""
        << "Usage:";
    QTest::newRow("toolkit option beside --pdf")
        << QStringList{"-platform", "xcb", "--pdf", "/nonexistent/r.pdf"} << 64 << ""
        << "Unknown option 'platform'";
    QTest::newRow("toolkit option taking --pdf as its value")
        << QStringList{"-plugin", "--pdf=/nonexistent/r.pdf"} << 64 << ""
        << "Unknown option 'plugin'";
    QTest::newRow("help-all is not offered") << QStringList{"--help-all"} << 64 << ""
                                             << "Usage:";
    QTest::newRow("report to standard output") << QStringList{"--pdf", "-"} << 0 << "%PDF-"
                                               << " Span = 523.599\n";
    QTest::newRow("table and report to one file")
        << QStringList{"--csv", "/nonexistent/same", "--pdf", "/nonexistent/same"} << 64 << ""
        << "--csv and --pdf name the same file";
    QTest::newRow("table into a missing folder")
        << QStringList{"--csv", "/nonexistent/folder/t.csv"} << 1
        << " Zero  = 0.000\n Span = 523.599\n"
        << "The table could not be saved to '/nonexistent/folder/t.csv'";
}

void TestCommandLine::exit_statuses()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, status);
    QFETCH(QString, out);
    QFETCH(QString, err);
    const Outcome outcome = run_program(arguments);
    QCOMPARE(outcome.status, status);
    QVERIFY2(out.isEmpty() ? outcome.out.isEmpty() : outcome.out.contains(out),
             qPrintable(outcome.out));
    QVERIFY2(err.isEmpty() ? outcome.err.isEmpty() : outcome.err.contains(err),
             qPrintable(outcome.err));
}

// What the command line prints and reports is what the window shows.
void TestCommandLine::texts_are_the_windows()
{
    Program program;
    const pelorin::ReportTexts texts = pelorin::report_texts(pelorin::Shape::Spherical, 0, 0);
    QCOMPARE(texts.diameter, program.text("Lb_diameter"));
    QCOMPARE(texts.length_cyl, program.text("Lb_length_cyl"));
    QCOMPARE(texts.length_con, program.text("Lb_length_con"));
    QCOMPARE(texts.angle, program.text("Lb_angle"));
    QCOMPARE(texts.min_signal, program.text("Lb_min_signal"));
    QCOMPARE(texts.max_signal, program.text("Lb_max_signal"));
}

void TestCommandLine::standard_output_failures_data()
{
    QTest::addColumn<QString>("target"); // "pipe": a pipe nobody reads
    QTest::addColumn<QStringList>("arguments");

    QTest::newRow("table to a closed pipe") << "pipe" << QStringList{"--csv", "-"};
    QTest::newRow("level table to a full device") << "full" << QStringList{"--level-table", "0.01"};
    QTest::newRow("Zero and Span to a full device") << "full" << QStringList{"--error"};
}

// What cannot be written to standard output is a failure with a message.
void TestCommandLine::standard_output_failures()
{
    QFETCH(QString, target);
    QFETCH(QStringList, arguments);
    QTemporaryDir dir;
    QProcess process;
    int pipe_ends[2] = {-1, -1};
    if (target == QLatin1String("pipe")) {
        QVERIFY(::pipe2(pipe_ends, O_CLOEXEC) == 0);
        ::close(pipe_ends[0]);
        process.setChildProcessModifier([end = pipe_ends[1]] { ::dup2(end, STDOUT_FILENO); });
    } else {
        const QString node = dir.filePath(QStringLiteral("full"));
        if (::mknod(QFile::encodeName(node).constData(), S_IFCHR | 0600, makedev(1, 7)) != 0)
            QSKIP("making a device node needs root");
        process.setStandardOutputFile(node);
    }
    process.start(QStringLiteral(PELORIN_PROGRAM), arguments);
    QVERIFY(process.waitForFinished(60000));
    if (pipe_ends[1] >= 0)
        ::close(pipe_ends[1]);
    QCOMPARE(process.exitStatus(), QProcess::NormalExit);
    QCOMPARE(process.exitCode(), 1);
    const QString err = QString::fromUtf8(process.readAllStandardError());
    QVERIFY2(err.contains(QStringLiteral("pelorin: standard output: ")), qPrintable(err));
}

// /dev/stdout appended to by the shell is appended to, and a name that is no
// UTF-8 is the file's name byte for byte.
void TestCommandLine::outputs_the_shell_names()
{
    QTemporaryDir dir;
    const QString log = dir.filePath(QStringLiteral("log"));
    {
        QFile file(log);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write("earlier\n") == 8);
    }
    QProcess process;
    process.setWorkingDirectory(dir.path());
    process.setStandardOutputFile(log, QIODevice::Append);
    process.start(QStringLiteral("sh"), {"-c",
                                         "\"$0\" --points 1 --csv /dev/stdout && "
                                         "\"$0\" --points 1 --csv \"$(printf 'n\\377.csv')\"",
                                         QStringLiteral(PELORIN_PROGRAM)});
    QVERIFY(process.waitForFinished(60000));
    QCOMPARE(process.exitCode(), 0);
    QFile file(log);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray written = file.readAll();
    QVERIFY2(written.startsWith("earlier\n Zero  = 0.000\n") &&
                 written.contains(",0.500,0.500,5.000,261.799\r\n,1.000,1.000,10.000,523.599\r\n"),
             written.constData());
    const QByteArray name = QFile::encodeName(dir.path()) + "/n\377.csv";
    QVERIFY(::unlink(name.constData()) == 0); // QDir cannot name it to remove it
}

QTEST_MAIN(TestCommandLine)
#include "tst_command_line.moc"
