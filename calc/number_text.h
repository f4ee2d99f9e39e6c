#pragma once

// The only conversions between text and numbers: parse_integer for the number
// of points, parse_number for every other field, format_fixed for every number
// shown. All use one process-wide decimal separator taken from the user's
// locale (see decimal_separator()).

#include "calc/extended.h"

#include <QChar>
#include <QString>

#include <cstdint>

namespace pelorin {

// The decimal separator used by parse_number and format_fixed.
QChar decimal_separator();
void set_decimal_separator(QChar separator);
// Re-reads the separator from the user's current locale (LC_NUMERIC / LC_ALL /
// LANG): the first character of its decimal symbol, "." when it cannot be read.
void read_decimal_separator();
// `text` with its "." (as QString::number writes it) turned into the decimal separator.
QString with_decimal_separator(QString text);

// Text to a 32-bit signed integer (decimal, or hexadecimal after "$", "x" or
// "0x"). Throws ConvertError "'<text>' is not a valid integer value".
std::int32_t parse_integer(const QString &text);

// Text to an extended real. Throws ConvertError
// "'<text>' is not a valid floating point value".
extended parse_number(const QString &text);

// The digits of a value: value = 0.d1d2... x 10^exponent.
struct DecimalForm
{
    QString digits; // up to 18 decimal digits, no trailing zero
    int exponent = 0;
    bool negative = false;
};

// The decimal form of `value` keeping min(exponent + decimals, precision, 18)
// significant digits, rounded half up on the decimal digits.
DecimalForm decimal_form(extended value, int precision, int decimals);

// Fixed notation with `decimals` digits after the separator, or the scientific
// form ("1.234568E7") when the value needs more than `precision` digits.
QString format_fixed(extended value, int precision, int decimals);

} // namespace pelorin
