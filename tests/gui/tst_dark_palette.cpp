// Texts on the colours the layout fixes keep their contrast under a dark
// desktop palette: each text's colour against the background it is painted
// on, both taken from the palette roles the widgets paint with, gives at
// least 4.5:1, or at least what the layout's own light colours give.

#include "gui_support.h"

#include "support/dark_palette.h"
#include "ui/characteristic_window.h"

#include <QGroupBox>
#include <QHash>
#include <QtTest>

#include <algorithm>
#include <cmath>

using namespace gui_support;

namespace {

// The relative luminance and the contrast ratio of two colours, as WCAG 2
// defines them.
double luminance(const QColor &color)
{
    const auto channel = [](double c) {
        return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * channel(color.redF()) + 0.7152 * channel(color.greenF()) +
           0.0722 * channel(color.blueF());
}

double contrast(const QColor &a, const QColor &b)
{
    const double la = luminance(a);
    const double lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

// The widgets with texts on fixed colours: the window they are in, their
// name, the role of the text and of the background. A Window background is
// that of the nearest widget that fills its background; any other role is
// the widget's own (a field's Base).
struct Text
{
    const char *row;
    bool characteristic;
    const char *name;
    QPalette::ColorRole text;
    QPalette::ColorRole background;
};

const Text texts[] = {
    {"Input label on silver", false, "Lb_diameter", QPalette::WindowText, QPalette::Window},
    {"Input group title on silver", false, "GroupParameters", QPalette::Text, QPalette::Window},
    {"Input field on silver", false, "Ed_diameter", QPalette::Text, QPalette::Base},
    {"shape choice on its face", false, "GroupTankShape", QPalette::WindowText, QPalette::Window},
    {"Input shape title", false, "TextTankImage", QPalette::WindowText, QPalette::Window},
    {"Zero", false, "TextZero", QPalette::WindowText, QPalette::Window},
    {"Help heading", false, "StaticText4", QPalette::WindowText, QPalette::Window},
    {"Help end heading", false, "StaticText5", QPalette::WindowText, QPalette::Window},
    {"largest error", true, "LargestError", QPalette::WindowText, QPalette::Window},
};

double contrast_of(const QWidget *widget, const Text &text)
{
    const QWidget *filled = widget;
    if (text.background == QPalette::Window)
        while (filled->parentWidget() && !filled->autoFillBackground())
            filled = filled->parentWidget();
    return contrast(widget->palette().color(QPalette::Active, text.text),
                    filled->palette().color(QPalette::Active, text.background));
}

// Each text's contrast in the program's windows built under the
// application's palette, after a run (the Characteristic window open).
QHash<QString, double> contrasts()
{
    Program program;
    press_calculate(program);
    program.form->show_characteristic();
    QHash<QString, double> found;
    for (const Text &text : texts) {
        const QWidget *window = text.characteristic
                                    ? static_cast<QWidget *>(program.form->characteristic_window())
                                    : program.form.get();
        found.insert(QLatin1String(text.row), contrast_of(named(window, text.name), text));
    }
    return found;
}

} // namespace

class TestDarkPalette : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void texts_keep_their_contrast_data();
    void texts_keep_their_contrast();

private:
    QHash<QString, double> m_light;
    QHash<QString, double> m_dark;
};

void TestDarkPalette::initTestCase()
{
    start_up();
    m_light = contrasts();
    QApplication::setPalette(pelorin::testing::dark_palette());
    m_dark = contrasts();
}

void TestDarkPalette::texts_keep_their_contrast_data()
{
    QTest::addColumn<QString>("row");
    for (const Text &text : texts)
        QTest::newRow(text.row) << QString::fromLatin1(text.row);
}

void TestDarkPalette::texts_keep_their_contrast()
{
    QFETCH(QString, row);
    const double light = m_light.value(row);
    const double dark = m_dark.value(row);
    qInfo("%s: %.2f:1 (light %.2f:1)", qPrintable(row), dark, light);
    QVERIFY2(dark >= std::min(4.5, light) - 1e-9,
             qPrintable(QStringLiteral("%1:1 under the dark palette").arg(dark, 0, 'f', 2)));
}

QTEST_MAIN(TestDarkPalette)
#include "tst_dark_palette.moc"
