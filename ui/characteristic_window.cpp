#include "ui/characteristic_window.h"

#include "calc/errors.h"
#include "calc/number_text.h"
#include "report/output_file.h"
#include "report/preview/prompts.h"
#include "ui/application.h"
#include "ui/colors.h"
#include "ui/info_help_style.h"

#include <QApplication>
#include <QBuffer>
#include <QCheckBox>
#include <QClipboard>
#include <QDir>
#include <QFontInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPaintEngine>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QSvgGenerator>
#include <QVBoxLayout>

#include <cmath>

namespace pelorin {

namespace {

constexpr QColor model_color{0x00, 0x00, 0x80}; // the tank
constexpr QColor table_color{0xC0, 0x30, 0x30}; // the table as the instrument applies it
constexpr QColor error_color{0x80, 0x00, 0x80};
constexpr QColor grid_color{0xDC, 0xDC, 0xDC};

// A tick label: a short number with the user's decimal separator.
QString tick_text(double value)
{
    return with_decimal_separator(QString::number(std::fabs(value) < 1e-12 ? 0 : value, 'g', 4));
}

// 1, 2, 2.5 or 5 times a power of ten, at least `value`.
double nice_ceiling(double value)
{
    if (!(value > 0))
        return 1;
    const double power = std::pow(10.0, std::floor(std::log10(value)));
    for (const double step : {1.0, 2.0, 2.5, 5.0, 10.0}) {
        if (step * power >= value * (1 - 1e-12))
            return step * power;
    }
    return 10 * power;
}

// The font with the family that stands for it named as the one drawn, so a
// picture saved as SVG names a font the system has.
QFont drawn_font(QFont font)
{
    font.setFamilies({QFontInfo(font).family()});
    return font;
}

// One plot panel: data coordinates to the painter's.
struct Panel
{
    QRectF box;
    double low = 0;
    double high = 1;

    QPointF at(double x, double y) const
    {
        return {box.left() + x * box.width(),
                box.bottom() - (y - low) / (high - low) * box.height()};
    }
};

// Frame, horizontal grid lines with their labels at the left, vertical grid
// lines at every tenth of the level.
void draw_axes(QPainter &painter, const Panel &panel, const std::vector<double> &ticks)
{
    const QFontMetricsF metrics(painter.font());
    painter.setPen(QPen(grid_color, 0));
    for (int i = 1; i < 10; ++i)
        painter.drawLine(panel.at(i / 10.0, panel.low), panel.at(i / 10.0, panel.high));
    for (const double tick : ticks) {
        const QPointF left = panel.at(0, tick);
        painter.setPen(QPen(grid_color, 0));
        painter.drawLine(left, panel.at(1, tick));
        painter.setPen(Qt::black);
        const QString text = tick_text(tick);
        painter.drawText(
            QRectF(left.x() - 60, left.y() - metrics.height() / 2, 56, metrics.height()),
            Qt::AlignRight | Qt::AlignVCenter, text);
    }
    painter.setPen(QPen(Qt::black, 0));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(panel.box);
}

// A title's font: condensed a little to fit `width` where the font's stretch
// is drawn; an SVG viewer ignores it, so the SVG keeps the font as it is.
QFont title_font(const QPainter &painter, qreal width, const QString &text)
{
    const QPaintEngine *engine = painter.paintEngine();
    if (engine && engine->type() == QPaintEngine::SVG)
        return painter.font();
    return condensed_to_fit(painter.font(), width, [&text](const QFont &f) {
        return QFontMetricsF(f).horizontalAdvance(text);
    });
}

// The height of a title in `width`: one line, or as many as its words need.
qreal title_height(const QPainter &painter, qreal width, const QString &text)
{
    const QFontMetricsF metrics(title_font(painter, width, text));
    return metrics.boundingRect(QRectF(0, 0, width, 1e6), Qt::AlignLeft | Qt::TextWordWrap, text)
        .height();
}

// A title from `at`, in `width`: condensed a little, then wrapped at its
// words, never cut. Returns its height.
qreal draw_title(QPainter &painter, QPointF at, qreal width, const QString &text,
                 Qt::Alignment alignment = Qt::AlignLeft)
{
    const qreal height = title_height(painter, width, text);
    painter.save();
    painter.setFont(title_font(painter, width, text));
    painter.drawText(QRectF(at, QSizeF(width, height)), alignment | Qt::TextWordWrap, text);
    painter.restore();
    return height;
}

QPolygonF polyline(const Panel &panel, const std::vector<CurvePoint> &points)
{
    QPolygonF line;
    line.reserve(qsizetype(points.size()));
    for (const CurvePoint &point : points)
        line << panel.at(point.x, point.y);
    return line;
}

// A legend entry: a short line (with a marker) and its text.
qreal draw_legend_entry(QPainter &painter, QPointF at, const QColor &color, bool marker,
                        const QString &text)
{
    const QFontMetricsF metrics(painter.font());
    const qreal middle = at.y() + metrics.height() / 2;
    painter.setPen(QPen(color, 1.5));
    painter.drawLine(QPointF(at.x(), middle), QPointF(at.x() + 22, middle));
    if (marker) {
        painter.setBrush(color);
        painter.drawEllipse(QPointF(at.x() + 11, middle), 2.5, 2.5);
        painter.setBrush(Qt::NoBrush);
    }
    painter.setPen(Qt::black);
    painter.drawText(QPointF(at.x() + 28, at.y() + metrics.ascent()), text);
    return 28 + metrics.horizontalAdvance(text);
}

struct LegendEntry
{
    QColor color;
    bool marker;
    QString text;
};

// The legend as a row above the plots, wrapped into more rows when narrow;
// drawn only when `draw`. Returns its height.
qreal legend_rows(QPainter &painter, QPointF at, qreal width,
                  const std::vector<LegendEntry> &entries, bool draw)
{
    const QFontMetricsF metrics(painter.font());
    const qreal row = metrics.height() + 2;
    constexpr qreal gap = 18;
    QPointF next = at;
    for (const LegendEntry &entry : entries) {
        const qreal entry_width = 28 + metrics.horizontalAdvance(entry.text);
        if (next.x() > at.x() && next.x() + entry_width > at.x() + width)
            next = QPointF(at.x(), next.y() + row);
        if (draw)
            draw_legend_entry(painter, next, entry.color, entry.marker, entry.text);
        next.rx() += entry_width + gap;
    }
    return next.y() + row - at.y();
}

} // namespace

CharacteristicPlot::CharacteristicPlot(QWidget *parent) : QWidget(parent)
{
    setFont(ms_sans_serif(11));
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void CharacteristicPlot::set_characteristic(const Characteristic *characteristic,
                                            const CharacteristicInput *input)
{
    m_characteristic = characteristic;
    m_input = input;
    update();
}

QSize CharacteristicPlot::sizeHint() const
{
    return {640, 430};
}

// Room for both titles on at most two lines, the legend on two rows and the
// panels' tick labels apart.
QSize CharacteristicPlot::minimumSizeHint() const
{
    return {480, 400};
}

void CharacteristicPlot::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    paint_plot(painter, rect());
}

void CharacteristicPlot::paint_plot(QPainter &painter, const QRectF &area) const
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    const QFont plain = drawn_font(font());
    painter.setFont(plain);
    painter.fillRect(area, Qt::white);
    const QFontMetricsF metrics(plain);
    const qreal line = metrics.height();

    const Characteristic *c = m_characteristic;
    if (!c || !m_input || !c->failure.isEmpty() || c->model.empty()) {
        painter.setPen(Qt::black);
        painter.drawText(area.adjusted(20, 20, -20, -20), Qt::AlignCenter | Qt::TextWordWrap,
                         c && !c->failure.isEmpty() ? c->failure
                                                    : QStringLiteral("No calculation yet."));
        painter.restore();
        return;
    }
    const RunModel &model = m_input->model;

    // Above the plots their title and the legend, a title between them, the
    // level labels and the level's title below; a title too wide for the
    // width takes two lines.
    const qreal left = area.left() + metrics.horizontalAdvance(QStringLiteral("-0.0000")) + 12;
    const qreal right = area.right() - 14;
    const qreal title_width = area.right() - 6 - left;
    const QString volume_title =
        QStringLiteral("Normalized volume (0 = Zero = %1 %3, 1 = Zero + Span = %2 %3)")
            .arg(value_text(model.tank.zero_volume), value_text(model.tank.top_volume),
                 m_input->volume_unit);
    const QString error_title = QStringLiteral("Linearization error: table minus tank (% of span)");
    const QString level_title = QStringLiteral("Normalized level (0 = h1 = %1 %3, 1 = h2 = %2 %3)")
                                    .arg(value_text(model.tank.min_signal),
                                         value_text(model.tank.max_signal), m_input->size_unit);
    const std::vector<LegendEntry> legend = {
        {model_color, false, QStringLiteral("Tank (volume model)")},
        {table_color, true, QStringLiteral("Table as the instrument interpolates it")},
        {error_color, false, QStringLiteral("Linearization error (below)")}};
    QFont bold = plain;
    bold.setBold(true);
    painter.setFont(bold);
    const qreal volume_title_height = title_height(painter, title_width, volume_title);
    const qreal error_title_height = title_height(painter, title_width, error_title);
    const qreal level_title_height = title_height(painter, right - left, level_title);
    painter.setFont(plain);
    const qreal legend_top = area.top() + 6 + volume_title_height + 2;
    const qreal upper_top =
        legend_top + legend_rows(painter, QPointF(left, legend_top), title_width, legend, false) +
        4;
    const qreal lower_bottom = area.bottom() - 6 - level_title_height - line - 6;
    const qreal between = error_title_height + 14;
    const qreal heights = std::max<qreal>(lower_bottom - upper_top - between, 40);
    const qreal upper_height = heights * 0.6;
    Panel upper{QRectF(left, upper_top, right - left, upper_height), 0, 1};
    Panel lower{
        QRectF(left, upper_top + upper_height + between, right - left, heights - upper_height), -1,
        1};
    const double range = nice_ceiling(std::fabs(c->largest_percent) * 1.1);
    lower.low = -range;
    lower.high = range;

    painter.setPen(Qt::black);
    painter.setFont(bold);
    draw_title(painter, QPointF(left, area.top() + 6), title_width, volume_title);
    draw_title(painter, QPointF(left, upper.box.bottom() + 7), title_width, error_title);
    draw_title(painter, QPointF(left, area.bottom() - 6 - level_title_height), right - left,
               level_title, Qt::AlignHCenter);
    painter.setFont(plain);
    legend_rows(painter, QPointF(left, legend_top), title_width, legend, true);

    draw_axes(painter, upper, {0, 0.2, 0.4, 0.6, 0.8, 1});
    draw_axes(painter, lower, {-range, -range / 2, 0, range / 2, range});
    painter.setPen(Qt::black);
    for (int i = 0; i <= 10; ++i) {
        const QPointF at = lower.at(i / 10.0, lower.low);
        painter.drawText(QRectF(at.x() - 30, at.y() + 3, 60, line), Qt::AlignHCenter,
                         tick_text(i / 10.0));
    }

    painter.save();
    painter.setClipRect(upper.box.adjusted(-3, -3, 3, 3));
    painter.setPen(QPen(model_color, 1.5));
    painter.drawPolyline(polyline(upper, c->model));
    painter.setPen(QPen(table_color, 1.2));
    painter.drawPolyline(polyline(upper, c->table));
    painter.setBrush(table_color);
    for (const CurvePoint &point : c->table)
        painter.drawEllipse(upper.at(point.x, point.y), 2.5, 2.5);
    painter.restore();

    painter.save();
    painter.setClipRect(lower.box);
    painter.setPen(QPen(Qt::black, 0));
    painter.drawLine(lower.at(0, 0), lower.at(1, 0));
    painter.setPen(QPen(table_color, 0, Qt::DotLine));
    for (const CurvePoint &point : c->table)
        painter.drawLine(lower.at(point.x, lower.low), lower.at(point.x, lower.high));
    painter.setPen(QPen(error_color, 1.5));
    painter.drawPolyline(polyline(lower, c->error));
    painter.setBrush(error_color);
    painter.drawEllipse(lower.at(c->largest_input, c->largest_percent), 3, 3);
    painter.restore();

    painter.restore();
}

CharacteristicWindow::CharacteristicWindow(Prompts &prompts, QWidget *parent)
    : QDialog(parent), m_prompts(prompts), m_plot(new CharacteristicPlot(this)),
      m_last_run_note(new QLabel(this)), m_largest_error(new QLabel(this)),
      m_points_needed(new QLabel(this)), m_even_figures(new QLabel(this)),
      m_optimised_figures(new QLabel(this)),
      m_placement(new QCheckBox(QStringLiteral("&Optimised point placement"), this)),
      m_height_label(new QLabel(this)), m_height(new QLineEdit(this)),
      m_height_result(new QLabel(this)), m_volume_label(new QLabel(this)),
      m_volume(new QLineEdit(this)), m_volume_result(new QLabel(this)),
      m_step_label(new QLabel(this)), m_step(new QLineEdit(this))
{
    setObjectName(QStringLiteral("Characteristic"));
    setWindowTitle(QStringLiteral("Characteristic \u2014 ") + application_title);
    setModal(false);
    setSizeGripEnabled(true);
    setFont(ms_sans_serif(11));

    m_plot->setObjectName(QStringLiteral("Plot"));
    m_last_run_note->setObjectName(QStringLiteral("LastRunNote"));
    m_largest_error->setObjectName(QStringLiteral("LargestError"));
    m_points_needed->setObjectName(QStringLiteral("PointsNeeded"));
    m_even_figures->setObjectName(QStringLiteral("EvenPlacement"));
    m_optimised_figures->setObjectName(QStringLiteral("OptimisedPlacementFigures"));
    m_placement->setObjectName(QStringLiteral("OptimisedPlacement"));
    m_placement->setEnabled(false); // until it is bound to the main window's choice
    for (QLabel *text : {m_even_figures, m_optimised_figures}) {
        text->setWordWrap(true);
        text->setTextInteractionFlags(Qt::TextSelectableByMouse);
    }
    m_even_figures->setToolTip(QStringLiteral(
        "The largest error and the points needed with the points evenly spaced in level"));
    m_optimised_figures->setToolTip(QStringLiteral(
        "The largest error and the points needed with the points placed where the curve bends"));
    m_height->setObjectName(QStringLiteral("LookUpHeight"));
    m_height_result->setObjectName(QStringLiteral("LookUpHeightResult"));
    m_volume->setObjectName(QStringLiteral("LookUpVolume"));
    m_volume_result->setObjectName(QStringLiteral("LookUpVolumeResult"));
    m_step->setObjectName(QStringLiteral("LevelStep"));
    for (QLabel *text : {m_largest_error, m_points_needed}) {
        text->setFont(ms_sans_serif(11, true));
        colors::fix_text_color(text, colors::navy);
        text->setTextInteractionFlags(Qt::TextSelectableByMouse);
    }
    // Texts of any length wrap in the width the window has: they never
    // widen it.
    for (QLabel *text : {m_last_run_note, m_largest_error, m_points_needed, m_even_figures,
                         m_optimised_figures, m_height_result, m_volume_result}) {
        text->setWordWrap(true);
        text->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    }
    m_last_run_note->setText(QStringLiteral(
        "The Output page's table was cleared: this is the characteristic of the last run."));
    m_last_run_note->hide();
    for (QLabel *label : {m_height_label, m_volume_label, m_step_label})
        label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    m_height_label->setBuddy(m_height);
    m_volume_label->setBuddy(m_volume);
    m_step_label->setBuddy(m_step);
    for (QLineEdit *edit : {m_height, m_volume, m_step})
        edit->setMaximumWidth(110);
    m_height->setToolTip(QStringLiteral("A height from h1 to h2: the tank's volume there"));
    m_volume->setToolTip(
        QStringLiteral("A volume from Zero to Zero + Span: the height at which the tank holds it"));
    m_step->setToolTip(QStringLiteral("The height step of the level table, at least 0.001"));

    const auto button = [this](const QString &name, const QString &text, const QString &tip) {
        auto *b = new QPushButton(text, this);
        b->setObjectName(name);
        b->setAutoDefault(false);
        b->setToolTip(tip);
        return b;
    };
    QPushButton *save_table =
        button(QStringLiteral("SaveLevelTable"), QStringLiteral("Save level &table as CSV\u2026"),
               QStringLiteral("Heights from h1 to h2 at the step, with their volumes and both "
                              "normalized values, to a CSV file"));
    QPushButton *copy = button(QStringLiteral("CopyPicture"), QStringLiteral("&Copy picture"),
                               QStringLiteral("Both plots as a picture to the clipboard"));
    QPushButton *save =
        button(QStringLiteral("SavePicture"), QStringLiteral("Save picture &as PNG/SVG\u2026"),
               QStringLiteral("Both plots to a PNG picture or an SVG drawing"));
    QPushButton *close = button(QStringLiteral("Close"), QStringLiteral("C&lose"), QString());

    auto *look_up = new QGridLayout;
    look_up->addWidget(m_height_label, 0, 0);
    look_up->addWidget(m_height, 0, 1);
    look_up->addWidget(m_height_result, 0, 2);
    look_up->addWidget(m_volume_label, 1, 0);
    look_up->addWidget(m_volume, 1, 1);
    look_up->addWidget(m_volume_result, 1, 2);
    look_up->addWidget(m_step_label, 2, 0);
    look_up->addWidget(m_step, 2, 1);
    look_up->addWidget(save_table, 2, 2, Qt::AlignLeft);
    look_up->setColumnStretch(2, 1);

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(copy);
    buttons->addWidget(save);
    buttons->addStretch(1);
    buttons->addWidget(close);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_plot, 1);
    layout->addWidget(m_last_run_note);
    layout->addWidget(m_largest_error);
    layout->addWidget(m_points_needed);
    // What the choice of placement buys, for the run's tank and points.
    layout->addWidget(m_placement);
    layout->addWidget(m_even_figures);
    layout->addWidget(m_optimised_figures);
    layout->addLayout(look_up);
    layout->addLayout(buttons);

    connect(m_height, &QLineEdit::textChanged, this, &CharacteristicWindow::look_up_height);
    connect(m_volume, &QLineEdit::textChanged, this, &CharacteristicWindow::look_up_volume);
    connect(copy, &QPushButton::clicked, this,
            [this] { run_handler(m_prompts, this, [this] { copy_picture(); }); });
    connect(save, &QPushButton::clicked, this,
            [this] { run_handler(m_prompts, this, [this] { save_picture(); }); });
    connect(save_table, &QPushButton::clicked, this,
            [this] { run_handler(m_prompts, this, [this] { save_level_table(); }); });
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    resize(720, 640);
}

CharacteristicWindow::~CharacteristicWindow() = default;

void CharacteristicWindow::set_placement_action(QAction *action)
{
    m_placement->setToolTip(action->toolTip());
    m_placement->setChecked(action->isChecked());
    m_placement->setEnabled(true);
    connect(m_placement, &QCheckBox::toggled, action, &QAction::setChecked);
    connect(action, &QAction::toggled, m_placement, &QCheckBox::setChecked);
}

void CharacteristicWindow::set_input(const CharacteristicInput &input)
{
    const bool new_unit = !m_input || m_input->size_unit_index != input.size_unit_index;
    m_input = input;
    m_characteristic = characteristic(input.model);
    m_plot->set_characteristic(&m_characteristic, &*m_input);

    const QString tank =
        QString::fromLatin1(shape_info(input.model.tank.shape).name) + QStringLiteral(" tank");
    setWindowTitle(
        QStringLiteral("Characteristic \u2014 %1 \u2014 %2").arg(tank, application_title));
    m_last_run_note->hide();
    const bool drawn = m_characteristic.failure.isEmpty();
    m_largest_error->setText(
        drawn ? largest_error_text(m_characteristic, input.size_unit, input.volume_unit)
              : m_characteristic.failure);
    m_points_needed->setText(drawn ? points_needed_text(m_characteristic) : QString());
    m_even_figures->setText(drawn ? even_placement_text(m_characteristic) : QString());
    m_optimised_figures->setText(drawn ? optimised_placement_text(m_characteristic) : QString());
    m_height_label->setText(QStringLiteral("&Height (%1):").arg(input.size_unit));
    m_volume_label->setText(QStringLiteral("&Volume (%1):").arg(input.volume_unit));
    m_step_label->setText(QStringLiteral("&Step (%1):").arg(input.size_unit));
    if (new_unit) {
        m_step->setText(with_decimal_separator(
            QString::number(double(default_level_step(input.size_unit_index)))));
    }
    look_up_height();
    look_up_volume();
}

void CharacteristicWindow::mark_as_last_run()
{
    if (m_input)
        m_last_run_note->show();
}

void CharacteristicWindow::look_up_height()
{
    if (!m_input || m_height->text().trimmed().isEmpty()) {
        m_height_result->clear();
        return;
    }
    try {
        const RunModel &model = m_input->model;
        const std::optional<LevelValues> values =
            values_at_height(model, parse_number(m_height->text()));
        if (!values) {
            m_height_result->setText(
                QStringLiteral("The height lies outside h1 .. h2 (%1 to %2 %3)")
                    .arg(value_text(model.tank.min_signal), value_text(model.tank.max_signal),
                         m_input->size_unit));
            return;
        }
        m_height_result->setText(
            QStringLiteral("Volume = %1 %2, normalized %3")
                .arg(value_text(values->volume), m_input->volume_unit, value_text(values->output)));
    } catch (const Error &error) {
        m_height_result->setText(error.message());
    }
}

void CharacteristicWindow::look_up_volume()
{
    if (!m_input || m_volume->text().trimmed().isEmpty()) {
        m_volume_result->clear();
        return;
    }
    try {
        const RunModel &model = m_input->model;
        const std::optional<LevelValues> values =
            values_at_volume(model, parse_number(m_volume->text()));
        if (!values) {
            m_volume_result->setText(
                QStringLiteral("The volume lies outside Zero .. Zero + Span (%1 to %2 %3)")
                    .arg(value_text(model.tank.zero_volume), value_text(model.tank.top_volume),
                         m_input->volume_unit));
            return;
        }
        m_volume_result->setText(
            QStringLiteral("Height = %1 %2, normalized %3")
                .arg(value_text(values->height), m_input->size_unit, value_text(values->input)));
    } catch (const Error &error) {
        m_volume_result->setText(error.message());
    }
}

QImage CharacteristicWindow::picture() const
{
    const qreal ratio = devicePixelRatioF();
    QImage image(m_plot->size() * ratio, QImage::Format_RGB32);
    image.setDevicePixelRatio(ratio);
    QPainter painter(&image);
    m_plot->paint_plot(painter, QRectF(QPointF(0, 0), QSizeF(m_plot->size())));
    return image;
}

QString CharacteristicWindow::file_name(const QString &what) const
{
    const QString shape = m_input ? QString::fromLatin1(shape_info(m_input->model.tank.shape).key)
                                  : QStringLiteral("pelorin");
    return shape + QLatin1Char('-') + what;
}

void CharacteristicWindow::copy_picture()
{
    QGuiApplication::clipboard()->setImage(picture());
}

void CharacteristicWindow::save_picture()
{
    const QString path = m_prompts.save_file_name(
        this, QStringLiteral("Save characteristic"),
        QStringLiteral("PNG pictures (*.png);;SVG pictures (*.svg)"), QStringLiteral("png"),
        file_name(QStringLiteral("characteristic.png")));
    if (path.isEmpty())
        return;
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    if (path.endsWith(QLatin1String(".svg"), Qt::CaseInsensitive)) {
        QSvgGenerator svg;
        svg.setOutputDevice(&buffer);
        svg.setSize(m_plot->size());
        svg.setViewBox(QRect(QPoint(0, 0), m_plot->size()));
        svg.setTitle(windowTitle());
        QPainter painter(&svg);
        painter.setFont(drawn_font(m_plot->font()));
        m_plot->paint_plot(painter, QRectF(QPointF(0, 0), QSizeF(m_plot->size())));
    } else {
        picture().save(&buffer, "PNG");
    }
    const QString why = write_output_file(path, buffer.data());
    if (!why.isEmpty())
        throw Error(QStringLiteral("The picture could not be saved to '%1': %2")
                        .arg(QDir::toNativeSeparators(path), why));
}

void CharacteristicWindow::save_level_table()
{
    if (!m_input)
        return;
    const QString step = m_step->text().trimmed();
    if (step.isEmpty()) {
        m_step->setFocus();
        throw Error(QStringLiteral("Enter the height step of the level table in the Step field"));
    }
    const std::vector<LevelValues> rows = level_table(m_input->model, parse_number(step), step);
    const QString path = m_prompts.save_file_name(
        this, QStringLiteral("Save level table as CSV"), QStringLiteral("CSV files (*.csv)"),
        QStringLiteral("csv"), file_name(QStringLiteral("level-table.csv")));
    if (path.isEmpty())
        return;
    const QByteArray csv = level_table_csv(rows, m_input->size_unit, m_input->volume_unit).toUtf8();
    const QString why = write_output_file(path, csv);
    if (!why.isEmpty())
        throw Error(QStringLiteral("The level table could not be saved to '%1': %2")
                        .arg(QDir::toNativeSeparators(path), why));
}

} // namespace pelorin
