#pragma once

// Shared by the report and printing tests: a result table filled by the real
// calibration run, the report captions PrintClick writes, and a page dump.

#include "calc/calc_state.h"
#include "calc/calibration_run.h"
#include "calc/result_table.h"
#include "report/report_captions.h"
#include "report/report_engine.h"
#include "report/report_layout.h"

#include <QFont>
#include <QImage>
#include <QMetaType>
#include <QPainter>
#include <QString>
#include <QStringList>

namespace pelorin::testing {

// Input of the calibration run as the Input page would hand it over.
struct RunInput
{
    std::uint8_t shape = 0;
    QString points = QStringLiteral("15");
    QString diameter = QStringLiteral("10");
    QString length_cyl = QStringLiteral("0");
    QString angle = QStringLiteral("0");
    QString length_con = QStringLiteral("0");
    QString min_signal = QStringLiteral("min");
    QString max_signal = QStringLiteral("max");
    int size_unit = 0;
    int volume_unit = 0;
    QString size_text = QStringLiteral("meters");
    QString volume_text = QStringLiteral("m3");
};

class FixtureView : public RunView
{
public:
    explicit FixtureView(const RunInput &input) : m_input(input) {}

    void show_output() override {}
    QString field_text(InputField field) const override
    {
        switch (field) {
        case InputField::Points:
            return m_input.points;
        case InputField::Diameter:
            return m_input.diameter;
        case InputField::LengthCyl:
            return m_input.length_cyl;
        case InputField::Angle:
            return m_input.angle;
        case InputField::LengthCon:
            return m_input.length_con;
        case InputField::MinSignal:
            return m_input.min_signal;
        case InputField::MaxSignal:
            return m_input.max_signal;
        }
        return QString();
    }
    int size_unit_index() const override { return m_input.size_unit; }
    int volume_unit_index() const override { return m_input.volume_unit; }
    QString size_unit_text() const override { return m_input.size_text; }
    QString volume_unit_text() const override { return m_input.volume_text; }
    void input_failed(InputField) override {}
    void reject(const QString &message, InputField) override { rejected = message; }
    void set_zero_text(const QString &) override {}
    void set_span_text(const QString &) override {}
    void set_column_titles(const QString &, const QString &) override {}

    QString rejected;

private:
    RunInput m_input;
};

inline const QStringList &shape_texts()
{
    static const QStringList texts = {
        QStringLiteral("Spherical"),
        QStringLiteral("Conical"),
        QStringLiteral("Cylindrical (flat ends)"),
        QStringLiteral("Cylindrical (shallow ends)"),
        QStringLiteral("Cylindrical (deep ends)"),
        QStringLiteral("Cylindrical (hemispherical ends)"),
    };
    return texts;
}

inline ReportTexts report_texts(const RunInput &input)
{
    ReportTexts t;
    t.diameter = QStringLiteral("Diameter (d)");
    t.length_cyl = QStringLiteral("Length of cylinder (L)");
    t.length_con = QStringLiteral("Length of cone (L1)");
    t.angle = QStringLiteral("Angle of inclination");
    t.min_signal = QStringLiteral("Height (h1)");
    t.max_signal = QStringLiteral("Height (h2)");
    t.tank_shape = shape_texts().at(input.shape);
    t.size_unit = input.size_text;
    t.volume_unit = input.volume_text;
    return t;
}

// What PrintClick does before the preview: the run, then the captions.
inline void prepare_report(const RunInput &input, Table &table, ReportLayout &layout)
{
    CalcState.shape = input.shape;
    FixtureView view(input);
    calibration_run(view, table);
    set_report_captions(layout, CalcState, report_texts(input));
}

inline RunInput startup_input(int points = 15)
{
    RunInput input;
    input.points = QString::number(points);
    return input;
}

// The page at `dpi` on a white image, for looking at and comparing.
inline QImage render_page(const ReportPage &page, double dpi)
{
    const int width = int(page.paper.width() * dpi / units_per_inch + 0.5);
    const int height = int(page.paper.height() * dpi / units_per_inch + 0.5);
    QImage image(width, height, QImage::Format_RGB32);
    const int dots_per_metre = int(dpi / 0.0254 + 0.5);
    image.setDotsPerMeterX(dots_per_metre);
    image.setDotsPerMeterY(dots_per_metre);
    image.fill(Qt::white);
    QPainter painter(&image);
    paint_page(painter, page);
    return image;
}

// The fonts the program maps itself.
inline void install_font_substitutions()
{
    QFont::insertSubstitution(QStringLiteral("MS Sans Serif"), QStringLiteral("Liberation Sans"));
}

} // namespace pelorin::testing

Q_DECLARE_METATYPE(pelorin::testing::RunInput)
