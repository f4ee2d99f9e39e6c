// The Output page: its texts and fonts, and the grid DBGrid1 over the result
// table: columns, titles, read-only cells, the indicator of the current row,
// the hint, the Tab key and scrolling, and the table to the clipboard and to
// a CSV file.

#include "gui_support.h"

#include "calc/table_text.h"
#include "ui/result_grid.h"

#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QHelpEvent>
#include <QImage>
#include <QMenu>
#include <QMimeData>
#include <QPainter>
#include <QScrollBar>
#include <QTableView>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolTip>
#include <QtTest>

using namespace gui_support;

namespace {

// Exposes the cell options the grid's delegate gives a cell.
class DelegateProbe : public pelorin::ResultGridDelegate
{
public:
    QStyleOptionViewItem option_for(const QModelIndex &index) const
    {
        QStyleOptionViewItem option;
        initStyleOption(&option, index);
        return option;
    }
};

QTableView *grid_of(const Program &program)
{
    return program.widget<QTableView>("DBGrid1");
}

// The first and last pixel rows of `image` with black ink between columns
// `left` and `right` (device pixels), or {-1, -1}; the header's bevels are
// grey and count as no ink.
QPair<int, int> ink_rows(const QImage &image, int left, int right)
{
    QPair<int, int> rows{-1, -1};
    for (int y = 0; y < image.height(); ++y)
        for (int x = left; x < right; ++x)
            if (qGray(image.pixel(x, y)) < 64) {
                rows = {rows.first < 0 ? y : rows.first, y};
                break;
            }
    return rows;
}

} // namespace

class TestOutputPage : public QObject
{
    Q_OBJECT

private slots:
    void start_up_texts();
    void explanatory_text_is_six_read_only_lines();
    void text_fonts_data();
    void text_fonts();
    void grid_columns();
    void titles_keep_the_letters_below_the_line_data();
    void titles_keep_the_letters_below_the_line();
    void unit_names_in_titles_data();
    void unit_names_in_titles();
    void every_title_fits_its_column();
    void cells_are_right_aligned_and_normalised_columns_bold();
    void typing_into_the_grid_changes_nothing();
    void indicator_marks_the_current_row();
    void grid_shows_its_hint();
    void tab_key_skips_the_grid();
    void many_rows_scroll_vertically();
    void shape_change_empties_the_grid_but_keeps_the_titles();
    void copy_table_puts_the_grid_on_the_clipboard();
    void table_commands_from_the_keyboard();
    void table_commands_disabled_while_the_table_is_empty();
    void placement_choice_places_the_shown_table_again();
    void save_table_as_csv_data();
    void save_table_as_csv();
};

void TestOutputPage::start_up_texts()
{
    Program program;
    QCOMPARE(program.text("TextZero"), QStringLiteral(" Zero  = ?"));
    QCOMPARE(program.text("TextSpan"), QStringLiteral(" Span = ?"));
    QCOMPARE(program.text("StaticText1"), QStringLiteral("Model Ostrel Setup Parameters:"));
    QCOMPARE(program.text("TextFormula"), QStringLiteral("Maximum Volume = Zero + Span"));
    QCOMPARE(program.widget<QPushButton>("BtnReport")->text(), QStringLiteral("&Report"));
    QVERIFY(!program.widget<QPushButton>("BtnReport")->icon().isNull());
    QCOMPARE(column_titles(program.grid_model()),
             (QStringList{"Point", "Input (norm)", "Output (norm)", "Height", "Volume"}));
    QCOMPARE(program.grid_model()->rowCount(), 0);
}

void TestOutputPage::explanatory_text_is_six_read_only_lines()
{
    Program program;
    auto *memo = program.widget<QPlainTextEdit>("Memo1");
    QCOMPARE(
        memo_lines(memo),
        (QStringList{"Input (norm) and Output (norm) ", "are normalized non-linearity ",
                     "correction values between 0 ", "and 1 which are programmed into ",
                     "the Tarnvik Model Ostrel together ", "with the values of Zero and Span."}));
    QVERIFY(memo->isReadOnly());
    QCOMPARE(memo->frameShape(), QFrame::NoFrame);

    program.click_page("TabSheetOutput");
    memo->setFocus();
    QTest::keyClicks(memo, QStringLiteral("xyz"));
    QCOMPARE(memo_lines(memo).constFirst(), QStringLiteral("Input (norm) and Output (norm) "));
}

void TestOutputPage::text_fonts_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("family");
    QTest::addColumn<int>("pixels");
    QTest::addColumn<bool>("bold");
    QTest::addColumn<QColor>("color");
    QTest::addColumn<QRect>("geometry");

    const QColor navy(0x00, 0x00, 0x80);
    QTest::newRow("TextTankShape")
        << "TextTankShape"
        << "Arial" << 16 << true << QColor(0x00, 0x80, 0x80) << QRect(1, 1, 627, 23);
    QTest::newRow("TextZero") << "TextZero"
                              << "MS Sans Serif" << 13 << true << navy << QRect(420, 92, 156, 21);
    QTest::newRow("TextSpan") << "TextSpan"
                              << "MS Sans Serif" << 13 << true << navy << QRect(420, 128, 157, 21);
    QTest::newRow("TextFormula") << "TextFormula"
                                 << "MS Sans Serif" << 13 << true << navy << QRect(1, 24, 627, 20);
}

void TestOutputPage::text_fonts()
{
    QFETCH(QString, name);
    QFETCH(QString, family);
    QFETCH(int, pixels);
    QFETCH(bool, bold);
    QFETCH(QColor, color);
    QFETCH(QRect, geometry);

    Program program;
    const QWidget *text = program.widget(name.toLatin1().constData());
    QCOMPARE(text->font().family(), family);
    QCOMPARE(text->font().pixelSize(), pixels);
    QCOMPARE(text->font().bold(), bold);
    QCOMPARE(text->palette().color(QPalette::WindowText), color);
    QCOMPARE(text->geometry(), geometry);
}

void TestOutputPage::grid_columns()
{
    Program program;
    QTableView *grid = grid_of(program);
    QCOMPARE(grid->geometry(), QRect(1, 44, 408, 341));
    const int widths[] = {35, 82, 82, 84, 84};
    for (int column = 0; column < 5; ++column)
        QCOMPARE(grid->columnWidth(column), widths[column]);
    QCOMPARE(grid->horizontalHeader()->defaultAlignment() & Qt::AlignHorizontal_Mask,
             Qt::AlignHCenter);
    QVERIFY(!grid->horizontalHeader()->font().bold());
    QVERIFY(grid->showGrid());
    QVERIFY(!grid->verticalHeader()->isHidden());
    QCOMPARE(grid->verticalHeader()->width(), pelorin::IndicatorHeader::indicator_width);
}

void TestOutputPage::titles_keep_the_letters_below_the_line_data()
{
    QTest::addColumn<qreal>("ratio");
    QTest::newRow("ratio 1") << 1.0;
    QTest::newRow("ratio 2") << 2.0;
}

// The title drawn in its section has as many rows of ink as the same text in
// the title's font drawn with room to spare: nothing of "Input (norm)" (p and
// the parentheses reach below the line) is cut off.
void TestOutputPage::titles_keep_the_letters_below_the_line()
{
    QFETCH(qreal, ratio);
    Program program;
    auto *titles = static_cast<pelorin::TitleHeader *>(grid_of(program)->horizontalHeader());
    const int column = 1;
    const QString title = program.grid_model()->headerData(column, Qt::Horizontal).toString();
    QCOMPARE(title, QStringLiteral("Input (norm)"));

    QImage header((QSizeF(titles->size()) * ratio).toSize(), QImage::Format_RGB32);
    header.setDevicePixelRatio(ratio);
    header.fill(Qt::white);
    titles->render(&header);
    const int left = titles->sectionViewportPosition(column);
    const QPair<int, int> drawn =
        ink_rows(header, qRound((left + 3) * ratio),
                 qRound((left + titles->sectionSize(column) - 3) * ratio));

    const QFont font = titles->title_font(column);
    const QSize room(titles->sectionSize(column), 3 * QFontMetrics(font).height());
    QImage alone((QSizeF(room) * ratio).toSize(), QImage::Format_RGB32);
    alone.setDevicePixelRatio(ratio);
    alone.fill(Qt::white);
    QPainter painter(&alone);
    painter.setFont(font);
    painter.drawText(QRect(QPoint(0, 0), room), Qt::AlignCenter, title);
    painter.end();
    const QPair<int, int> whole = ink_rows(alone, 0, alone.width());

    QVERIFY(whole.first >= 0 && drawn.first >= 0);
    QCOMPARE(drawn.second - drawn.first, whole.second - whole.first);
    // The title row keeps its height: the grid's rows stay where they are.
    QCOMPARE(titles->height(), grid_of(program)->verticalHeader()->defaultSectionSize() + 2);
}

void TestOutputPage::unit_names_in_titles_data()
{
    QTest::addColumn<int>("size_unit");
    QTest::addColumn<int>("volume_unit");
    QTest::addColumn<QString>("height_title");
    QTest::addColumn<QString>("volume_title");

    QTest::newRow("feet and liters") << 1 << 1 << "Height (feet)"
                                     << "Volume (liters)";
    QTest::newRow("meters and US gal") << 0 << 2 << "Height (meters)"
                                       << "Volume (US gal)";
    QTest::newRow("feet and ft3") << 1 << 3 << "Height (feet)"
                                  << "Volume (ft3)";
}

void TestOutputPage::unit_names_in_titles()
{
    QFETCH(int, size_unit);
    QFETCH(int, volume_unit);
    QFETCH(QString, height_title);
    QFETCH(QString, volume_title);

    Program program;
    program.widget<QComboBox>("SizeUnits")->setCurrentIndex(size_unit);
    program.widget<QComboBox>("VolumeUnits")->setCurrentIndex(volume_unit);
    press_calculate(program);

    const QStringList titles = column_titles(program.grid_model());
    QCOMPARE(titles.at(3), height_title);
    QCOMPARE(titles.at(4), volume_title);
    QCOMPARE(titles.mid(0, 3), (QStringList{"Point", "Input (norm)", "Output (norm)"}));
}

void TestOutputPage::every_title_fits_its_column()
{
    // The stand-in font runs wider than the layout's: a title that would
    // overrun its column's label space is condensed, never below 85 %.
    Program program;
    auto *header = static_cast<pelorin::TitleHeader *>(grid_of(program)->horizontalHeader());
    const int margin = header->style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, header);
    for (int size_unit = 0; size_unit < 2; ++size_unit) {
        for (int volume_unit = 0; volume_unit < 4; ++volume_unit) {
            program.widget<QComboBox>("SizeUnits")->setCurrentIndex(size_unit);
            program.widget<QComboBox>("VolumeUnits")->setCurrentIndex(volume_unit);
            press_calculate(program);
            const QStringList titles = column_titles(program.grid_model());
            for (int column = 0; column < titles.size(); ++column) {
                const QFont font = header->title_font(column);
                const qreal width = QFontMetricsF(font).horizontalAdvance(titles.at(column));
                QVERIFY2(width <= header->sectionSize(column) - 2 * margin && font.stretch() >= 85,
                         qPrintable(QStringLiteral("%1: %2 px at %3 %")
                                        .arg(titles.at(column))
                                        .arg(width)
                                        .arg(font.stretch())));
            }
            QCOMPARE(header->title_font(0).stretch(), 100); // "Point" fits as it is
        }
    }
}

void TestOutputPage::cells_are_right_aligned_and_normalised_columns_bold()
{
    Program program;
    press_calculate(program);
    const DelegateProbe probe;
    for (int column = 0; column < 5; ++column) {
        const QStyleOptionViewItem option =
            probe.option_for(program.grid_model()->index(1, column));
        QCOMPARE(option.displayAlignment & Qt::AlignHorizontal_Mask, Qt::AlignRight);
        QCOMPARE(option.font.bold(), column == 1 || column == 2);
    }
    // The blank end rows show nothing, not an elision mark.
    QCOMPARE(grid_of(program)->textElideMode(), Qt::ElideNone);
}

void TestOutputPage::typing_into_the_grid_changes_nothing()
{
    Program program;
    press_calculate(program);
    QTableView *grid = grid_of(program);
    const QModelIndex cell = program.grid_model()->index(2, 1);
    const QString before = cell.data().toString();
    grid->setFocus();
    grid->setCurrentIndex(cell);
    QTest::keyClicks(grid, QStringLiteral("9"));
    QTest::keyClick(grid, Qt::Key_F2);
    QTest::keyClick(grid, Qt::Key_Delete);
    QTest::mouseDClick(grid->viewport(), Qt::LeftButton, Qt::NoModifier,
                       grid->visualRect(cell).center());
    QCOMPARE(cell.data().toString(), before);
    QCOMPARE(program.grid_model()->rowCount(), 17);
    QVERIFY(!grid->indexWidget(cell));
}

// After a run the last row is the current one; moving through the grid moves
// the marker with the current cell.
void TestOutputPage::indicator_marks_the_current_row()
{
    Program program;
    press_calculate(program);
    auto *indicator = static_cast<pelorin::IndicatorHeader *>(grid_of(program)->verticalHeader());
    QCOMPARE(indicator->marked_row(), 16);
    QCOMPARE(program.form->table().current_row(), 16);

    QTableView *grid = grid_of(program);
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, Qt::NoModifier,
                      grid->visualRect(program.grid_model()->index(14, 2)).center());
    QCOMPARE(indicator->marked_row(), 14);
    QTest::keyClick(grid, Qt::Key_Up);
    QCOMPARE(indicator->marked_row(), 13);

    // The marker is drawn: black in the middle of its section, nowhere else.
    const QImage header = indicator->viewport()->grab().toImage();
    const int x = indicator->width() / 2;
    const auto middle_of = [&](int row) {
        return indicator->sectionViewportPosition(row) + indicator->sectionSize(row) / 2;
    };
    QCOMPARE(QColor(header.pixel(x, middle_of(13))), QColor(Qt::black));
    QVERIFY(QColor(header.pixel(x, middle_of(12))) != QColor(Qt::black));
}

void TestOutputPage::grid_shows_its_hint()
{
    Program program;
    press_calculate(program);
    QTableView *grid = grid_of(program);
    QCOMPARE(grid->toolTip(), QStringLiteral("Non-linearity correction values"));
    const QPoint on_cell = grid->visualRect(program.grid_model()->index(3, 3)).center();
    QHelpEvent help(QEvent::ToolTip, on_cell, grid->viewport()->mapToGlobal(on_cell));
    QApplication::sendEvent(grid->viewport(), &help);
    QTRY_COMPARE(QToolTip::text(), QStringLiteral("Non-linearity correction values"));
    QToolTip::hideText();
}

// The Tab key passes the grid by; once clicked it has the focus, and Tab
// moves from cell to cell.
void TestOutputPage::tab_key_skips_the_grid()
{
    Program program;
    QVERIFY(QTest::qWaitForWindowActive(program.form.get()));
    press_calculate(program);
    QTableView *grid = grid_of(program);
    QCOMPARE(grid->focusPolicy(), Qt::ClickFocus);

    QPushButton *report = program.widget<QPushButton>("BtnReport");
    report->setFocus();
    for (int i = 0; i < 6; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QVERIFY(QApplication::focusWidget() != grid);
    }

    QTest::mouseClick(grid->viewport(), Qt::LeftButton, Qt::NoModifier,
                      grid->visualRect(program.grid_model()->index(2, 1)).center());
    QCOMPARE(QApplication::focusWidget(), grid);
    QTest::keyClick(grid, Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), grid);
    QCOMPARE(grid->currentIndex(), program.grid_model()->index(2, 2));
}

void TestOutputPage::many_rows_scroll_vertically()
{
    Program program;
    program.set_text("Ed_points", QStringLiteral("25"));
    press_calculate(program);
    QTableView *grid = grid_of(program);
    QCOMPARE(program.grid_model()->rowCount(), 27);
    QTRY_VERIFY(grid->verticalScrollBar()->maximum() > 0);
    QTRY_VERIFY(grid->verticalScrollBar()->isVisible());
}

void TestOutputPage::shape_change_empties_the_grid_but_keeps_the_titles()
{
    Program program;
    program.widget<QComboBox>("SizeUnits")->setCurrentIndex(1);
    press_calculate(program);
    QCOMPARE(program.grid_model()->rowCount(), 17);

    choose_shape(program, 2);
    QCOMPARE(program.grid_model()->rowCount(), 0);
    QCOMPARE(column_titles(program.grid_model()).at(3), QStringLiteral("Height (feet)"));
    QCOMPARE(column_titles(program.grid_model()).at(4), QStringLiteral("Volume (m3)"));
    QCOMPARE(
        static_cast<pelorin::IndicatorHeader *>(grid_of(program)->verticalHeader())->marked_row(),
        -1);
}

// Ctrl+C on the grid copies the whole table as the grid shows it, title row
// first, as tab-separated text and as CSV.
void TestOutputPage::copy_table_puts_the_grid_on_the_clipboard()
{
    Program program;
    QVERIFY(QTest::qWaitForWindowActive(program.form.get())); // for the shortcut
    program.widget<QComboBox>("SizeUnits")->setCurrentIndex(1);
    program.widget<QComboBox>("VolumeUnits")->setCurrentIndex(2);
    press_calculate(program);
    QTableView *grid = grid_of(program);
    QCOMPARE(grid->contextMenuPolicy(), Qt::ActionsContextMenu);
    QCOMPARE(grid->actions().size(), 4);
    QCOMPARE(grid->actions().at(0)->text(), QStringLiteral("&Copy table"));
    QCOMPARE(grid->actions().at(1)->text(), QStringLiteral("&Save table as CSV\u2026"));
    QCOMPARE(grid->actions().at(2)->shortcut(), QKeySequence(QStringLiteral("Ctrl+L")));
    QCOMPARE(grid->actions().at(3)->text(), QStringLiteral("&Optimised point placement"));

    QTest::mouseClick(grid->viewport(), Qt::LeftButton, Qt::NoModifier,
                      grid->visualRect(program.grid_model()->index(2, 1)).center());
    QTest::keyClick(grid, Qt::Key_C, Qt::ControlModifier);

    const QMimeData *copied = QGuiApplication::clipboard()->mimeData();
    QVERIFY(copied);
    const QString tsv = copied->text();
    QVERIFY2(tsv.startsWith(QStringLiteral("Point\tInput (norm)\tOutput (norm)\tHeight (feet)\t"
                                           "Volume (US gal)\n\t0.000\t")), // blank Point
             qPrintable(tsv));
    QCOMPARE(tsv.count(QLatin1Char('\n')), 18);
    QCOMPARE(tsv, pelorin::table_tsv(program.form->data_source()));
    QCOMPARE(QString::fromUtf8(copied->data(QStringLiteral("text/csv"))),
             pelorin::table_csv(program.form->data_source()));
}

// The grid's commands from the keyboard: the shortcuts wherever the focus is
// on the Output page, the menu with Shift+F10 and the menu key.
void TestOutputPage::table_commands_from_the_keyboard()
{
    QTemporaryDir folder;
    QVERIFY(folder.isValid());
    Program program;
    QVERIFY(QTest::qWaitForWindowActive(program.form.get()));
    press_calculate(program);
    QWidget *report = program.widget("BtnReport");
    report->setFocus();
    QGuiApplication::clipboard()->clear();
    QTest::keyClick(report, Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(QGuiApplication::clipboard()->text(), pelorin::table_tsv(program.form->data_source()));
    program.prompts.save_answer = folder.filePath("table.csv");
    QTest::keyClick(report, Qt::Key_S, Qt::ControlModifier);
    QVERIFY(QFile::exists(program.prompts.save_answer));

    QTableView *grid = grid_of(program);
    for (const auto &[key, modifiers] :
         {std::pair{Qt::Key_F10, Qt::ShiftModifier}, std::pair{Qt::Key_Menu, Qt::NoModifier}}) {
        grid->setFocus();
        QStringList shown;
        QTimer::singleShot(0, [&shown] {
            if (auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget())) {
                for (const QAction *action : menu->actions())
                    shown << action->text();
                menu->close();
            }
        });
        QTest::keyClick(grid, key, modifiers);
        QCOMPARE(shown, (QStringList{"&Copy table", "&Save table as CSV\u2026",
                                     "S&how characteristic", "&Optimised point placement"}));
    }
}

// Toggling "Optimised point placement" writes the table on show again, as
// Calculate would; before any run it only sets the choice.
void TestOutputPage::placement_choice_places_the_shown_table_again()
{
    Program program;
    auto *placement = program.widget<QAction>("OptimisedPlacement");
    QVERIFY(placement->isCheckable() && !placement->isChecked());
    placement->setChecked(true);
    QCOMPARE(program.grid_model()->rowCount(), 0);
    placement->setChecked(false);

    press_calculate(program);
    const QString even = pelorin::table_csv(program.form->data_source());
    placement->setChecked(true);
    const QString optimised = pelorin::table_csv(program.form->data_source());
    QVERIFY(optimised != even);
    QCOMPARE(optimised.count(QLatin1Char('\n')), even.count(QLatin1Char('\n')));
    QCOMPARE(program.text("TextSpan"), QStringLiteral(" Span = 523.599"));
    placement->setChecked(false);
    QCOMPARE(pelorin::table_csv(program.form->data_source()), even);
}

void TestOutputPage::table_commands_disabled_while_the_table_is_empty()
{
    Program program;
    QVERIFY(QTest::qWaitForWindowActive(program.form.get()));
    auto *copy = program.widget<QAction>("CopyTable");
    auto *save = program.widget<QAction>("SaveTableCsv");
    QTableView *grid = grid_of(program);
    QVERIFY(!copy->isEnabled());
    QVERIFY(!save->isEnabled());

    press_calculate(program);
    QVERIFY(copy->isEnabled());
    QVERIFY(save->isEnabled());

    choose_shape(program, 2);
    QCOMPARE(program.grid_model()->rowCount(), 0);
    QVERIFY(!copy->isEnabled());
    QVERIFY(!save->isEnabled());
    QGuiApplication::clipboard()->setText(QStringLiteral("before"));
    grid->setFocus();
    QTest::keyClick(grid, Qt::Key_C, Qt::ControlModifier);
    save->trigger();
    QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("before"));
    QVERIFY(program.prompts.titles.isEmpty());
}

void TestOutputPage::save_table_as_csv_data()
{
    QTest::addColumn<QString>("answer"); // relative to a new folder; empty: Cancel
    QTest::addColumn<bool>("written");

    QTest::newRow("new file") << "table.csv" << true;
    QTest::newRow("cancelled") << "" << false;
    QTest::newRow("missing folder") << "missing/table.csv" << false;
}

void TestOutputPage::save_table_as_csv()
{
    QFETCH(QString, answer);
    QFETCH(bool, written);

    QTemporaryDir folder;
    QVERIFY(folder.isValid());
    Program program;
    press_calculate(program);
    const QString path = answer.isEmpty() ? QString() : folder.filePath(answer);
    program.prompts.save_answer = path;
    program.widget<QAction>("SaveTableCsv")->trigger();

    QCOMPARE(program.prompts.titles, QStringList{"Save table as CSV"});
    QCOMPARE(program.prompts.filters, QStringList{"CSV files (*.csv)"});
    QCOMPARE(program.prompts.suffixes, QStringList{"csv"});
    QCOMPARE(program.prompts.proposed_names, QStringList{"spherical-table.csv"});
    QFile file(path);
    QCOMPARE(file.exists(), written);
    if (written) {
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        QCOMPARE(bytes, pelorin::table_csv(program.form->data_source()).toUtf8());
        QVERIFY(bytes.startsWith("Point,Input (norm),Output (norm),Height (meters),Volume"));
        QCOMPARE(bytes.count("\r\n"), 18);
        QVERIFY(program.prompts.messages.isEmpty());
    } else if (!path.isEmpty()) {
        QCOMPARE(program.prompts.messages.size(), 1);
        const auto &box = program.prompts.messages.constFirst();
        QCOMPARE(box.icon, pelorin::Prompts::Icon::Error);
        QCOMPARE(box.parent, program.form.get());
        const QString named = QStringLiteral("The table could not be saved to '%1': ")
                                  .arg(QDir::toNativeSeparators(path));
        QVERIFY2(box.text.startsWith(named) && box.text.size() > named.size() + 1,
                 qPrintable(box.text)); // the system's reason follows
    } else {
        QVERIFY(program.prompts.messages.isEmpty());
    }
}

QTEST_MAIN(TestOutputPage)
#include "tst_output_page.moc"
