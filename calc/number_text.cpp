#include "calc/number_text.h"

#include "calc/errors.h"

#include <algorithm>
#include <clocale>
#include <cmath>
#include <cstdint>

namespace pelorin {

namespace {

QChar g_separator = QLatin1Char('.');

// Powers of ten as the nearest extended values: 10^k, 10^(32k), 10^(512k).
constexpr extended pow10_units[32] = {1e0L,  1e1L,  1e2L,  1e3L,  1e4L,  1e5L,  1e6L,  1e7L,
                                      1e8L,  1e9L,  1e10L, 1e11L, 1e12L, 1e13L, 1e14L, 1e15L,
                                      1e16L, 1e17L, 1e18L, 1e19L, 1e20L, 1e21L, 1e22L, 1e23L,
                                      1e24L, 1e25L, 1e26L, 1e27L, 1e28L, 1e29L, 1e30L, 1e31L};
constexpr extended pow10_32s[16] = {1e0L,   1e32L,  1e64L,  1e96L,  1e128L, 1e160L, 1e192L, 1e224L,
                                    1e256L, 1e288L, 1e320L, 1e352L, 1e384L, 1e416L, 1e448L, 1e480L};
constexpr extended pow10_512s[10] = {1e0L,    1e512L,  1e1024L, 1e1536L, 1e2048L,
                                     1e2560L, 1e3072L, 1e3584L, 1e4096L, 1e4608L};

// value x 10^e (e > 0) or value / 10^-e (e < 0), one factor at a time, each
// step rounded to extended. Valid for |e| < 5120.
extended scale_by_power_of_ten(extended value, int e)
{
    const int n = e < 0 ? -e : e;
    const extended factors[3] = {pow10_units[n % 32], pow10_32s[(n / 32) % 16],
                                 pow10_512s[n / 512]};
    for (const extended factor : factors) {
        if (factor == 1)
            continue;
        if (e > 0)
            value = value * factor;
        else
            value = value / factor;
    }
    return value;
}

bool is_digit(QChar c)
{
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

int hex_value(QChar c)
{
    const char16_t u = c.unicode();
    if (u >= u'0' && u <= u'9')
        return u - u'0';
    if (u >= u'a' && u <= u'f')
        return u - u'a' + 10;
    if (u >= u'A' && u <= u'F')
        return u - u'A' + 10;
    return -1;
}

[[noreturn]] void integer_error(const QString &text)
{
    throw ConvertError(QLatin1Char('\'') + text + QStringLiteral("' is not a valid integer value"));
}

[[noreturn]] void number_error(const QString &text)
{
    throw ConvertError(QLatin1Char('\'') + text +
                       QStringLiteral("' is not a valid floating point value"));
}

} // namespace

QChar decimal_separator()
{
    return g_separator;
}

void set_decimal_separator(QChar separator)
{
    g_separator = separator;
}

void read_decimal_separator()
{
    QChar separator = QLatin1Char('.');
    // Reset to the user's default locale, then take the first character of its
    // decimal symbol.
    if (std::setlocale(LC_NUMERIC, "") != nullptr) {
        if (const std::lconv *conv = std::localeconv();
            conv != nullptr && conv->decimal_point != nullptr && conv->decimal_point[0] != '\0') {
            const QString symbol = QString::fromLocal8Bit(conv->decimal_point);
            if (!symbol.isEmpty())
                separator = symbol.at(0);
        }
    }
    g_separator = separator;
}

QString with_decimal_separator(QString text)
{
    text.replace(QLatin1Char('.'), decimal_separator());
    return text;
}

std::int32_t parse_integer(const QString &text)
{
    const int length = int(text.size());
    int i = 0;
    while (i < length && text.at(i) == QLatin1Char(' '))
        ++i;
    if (i == length)
        integer_error(text);

    bool negative = false;
    bool hexadecimal = false;
    const QChar c = text.at(i);
    if (c == QLatin1Char('-') || c == QLatin1Char('+')) {
        negative = c == QLatin1Char('-');
        ++i;
    } else if (c == QLatin1Char('$') || c == QLatin1Char('x') || c == QLatin1Char('X')) {
        hexadecimal = true;
        ++i;
    } else if (c == QLatin1Char('0')) {
        if (i + 1 == length)
            return 0;
        const QChar next = text.at(i + 1);
        if (next == QLatin1Char('x') || next == QLatin1Char('X')) {
            hexadecimal = true;
            i += 2;
        } else {
            ++i;
        }
    }
    if (i == length)
        integer_error(text);

    std::uint32_t value = 0;
    if (hexadecimal) {
        for (; i < length; ++i) {
            const int digit = hex_value(text.at(i));
            if (digit < 0 || value > 0x0FFFFFFFu)
                integer_error(text);
            value = value * 16 + std::uint32_t(digit);
        }
        return static_cast<std::int32_t>(value);
    }
    for (; i < length; ++i) {
        const QChar d = text.at(i);
        if (!is_digit(d) || value > 214748364u)
            integer_error(text);
        value = value * 10 + std::uint32_t(d.unicode() - u'0');
    }
    if (negative) {
        if (value > 2147483648u)
            integer_error(text);
        return static_cast<std::int32_t>(-static_cast<std::int64_t>(value));
    }
    if (value > 2147483647u)
        integer_error(text);
    return static_cast<std::int32_t>(value);
}

extended parse_number(const QString &text)
{
    const int length = int(text.size());
    int i = 0;
    while (i < length && text.at(i) == QLatin1Char(' '))
        ++i;

    bool negative = false;
    if (i < length && (text.at(i) == QLatin1Char('+') || text.at(i) == QLatin1Char('-'))) {
        negative = text.at(i) == QLatin1Char('-');
        ++i;
    }

    // Digits accumulate as value x 10 + digit, each of the two steps rounded
    // to extended. Faults are masked here: an overflow shows as infinity.
    extended value = 0;
    bool consumed = false;
    int fraction_digits = 0;
    while (i < length && is_digit(text.at(i))) {
        value = value * 10;
        value = value + (text.at(i).unicode() - u'0');
        consumed = true;
        ++i;
    }
    if (i < length && text.at(i) == g_separator) {
        consumed = true;
        ++i;
        while (i < length && is_digit(text.at(i))) {
            value = value * 10;
            value = value + (text.at(i).unicode() - u'0');
            ++fraction_digits;
            ++i;
        }
    }
    if (!consumed)
        number_error(text);
    bool overflow = std::isinf(value);

    int exponent = 0;
    if (i < length && (text.at(i) == QLatin1Char('E') || text.at(i) == QLatin1Char('e'))) {
        ++i;
        bool exponent_negative = false;
        if (i < length && (text.at(i) == QLatin1Char('+') || text.at(i) == QLatin1Char('-'))) {
            exponent_negative = text.at(i) == QLatin1Char('-');
            ++i;
        }
        while (i < length && is_digit(text.at(i)) && exponent < 500) {
            exponent = exponent * 10 + (text.at(i).unicode() - u'0');
            ++i;
        }
        if (exponent_negative)
            exponent = -exponent;
    }
    while (i < length && text.at(i) == QLatin1Char(' '))
        ++i;
    if (i != length)
        number_error(text);

    const int e = exponent - fraction_digits;
    if (e <= -5120)
        value = 0;
    else if (e != 0)
        value = scale_by_power_of_ten(value, e);
    if (negative)
        value = -value;
    if (overflow || std::isinf(value) || std::isnan(value))
        number_error(text);
    return value;
}

namespace {

// The decimal form with its digits in a fixed buffer, so that formatting a
// number allocates nothing but its resulting text.
struct RawDecimal
{
    char digits[18];
    int count = 0;
    int exponent = 0;
    bool negative = false;
};

int clamp_precision(int precision)
{
    return precision < 2 ? 2 : (precision > 18 ? 18 : precision);
}

RawDecimal raw_decimal_form(extended value, int precision, int decimals)
{
    RawDecimal form;
    precision = clamp_precision(precision);

    // Zero, and values whose extended exponent field is 0, have no digits.
    const int kind = std::fpclassify(value);
    if (kind != FP_NORMAL)
        return form;

    const extended magnitude = std::fabs(value);
    const int k = ilogbl(magnitude);
    int exponent = ((k * 19728) >> 16) + 1;

    extended s = nearbyintl(scale_by_power_of_ten(magnitude, 18 - exponent));
    if (s >= 1e18L) {
        s = nearbyintl(s / 10);
        ++exponent;
    }
    // The 18 decimal digits of S.
    char digits[18];
    unsigned long long n = static_cast<unsigned long long>(s);
    for (int j = 17; j >= 0; --j) {
        digits[j] = char('0' + n % 10);
        n /= 10;
    }

    // Any int is a number of decimals: the sum is taken in 64 bits.
    const long long wanted = static_cast<long long>(exponent) + decimals;
    if (wanted < 0)
        return form; // rounds to zero
    int m = wanted > precision ? precision : int(wanted);

    const bool round_up = m < 18 && digits[m] >= '5';
    if (round_up) {
        int j = m - 1;
        while (j >= 0 && digits[j] == '9') {
            digits[j] = '0';
            --j;
        }
        if (j < 0) {
            digits[0] = '1';
            m = 1;
            ++exponent;
        } else {
            ++digits[j];
        }
    }
    while (m > 0 && digits[m - 1] == '0')
        --m;

    std::copy(digits, digits + m, form.digits);
    form.count = m;
    form.exponent = exponent;
    form.negative = m > 0 && std::signbit(value);
    return form;
}

} // namespace

DecimalForm decimal_form(extended value, int precision, int decimals)
{
    const RawDecimal raw = raw_decimal_form(value, precision, decimals);
    DecimalForm form;
    form.digits = QString::fromLatin1(raw.digits, raw.count);
    form.exponent = raw.exponent;
    form.negative = raw.negative;
    return form;
}

QString format_fixed(extended value, int precision, int decimals)
{
    // No value the system formats is infinite or undefined; should one arrive,
    // it is named rather than given digits.
    if (std::isnan(value))
        return QStringLiteral("NAN");
    if (std::isinf(value))
        return value < 0 ? QStringLiteral("-INF") : QStringLiteral("INF");

    const int p = clamp_precision(precision);
    const RawDecimal form = raw_decimal_form(value, p, decimals);
    const char16_t separator = g_separator.unicode();
    const int e = form.exponent;
    const auto digit = [&form](int j) -> char16_t {
        return j < form.count ? char16_t(form.digits[j]) : u'0';
    };

    // Long enough for a sign, 18 integer digits or a 4-digit exponent, the
    // separator and the decimals.
    char16_t buffer[96];
    int length = 0;
    if (form.negative)
        buffer[length++] = u'-';

    if (e > p) {
        buffer[length++] = digit(0);
        if (form.count > 1) {
            buffer[length++] = separator;
            for (int j = 1; j < form.count; ++j)
                buffer[length++] = digit(j);
        }
        buffer[length++] = u'E';
        return QString(reinterpret_cast<const QChar *>(buffer), length) + QString::number(e - 1);
    }

    if (e <= 0) {
        buffer[length++] = u'0';
    } else {
        for (int j = 0; j < e; ++j)
            buffer[length++] = digit(j);
    }
    if (decimals > 0) {
        buffer[length++] = separator;
        const int limit = decimals > 64 ? 64 : decimals;
        int written = 0;
        int next = e > 0 ? e : 0;
        for (; written < limit && written < -e; ++written)
            buffer[length++] = u'0';
        for (; written < limit; ++written, ++next)
            buffer[length++] = digit(next);
    }
    return QString(reinterpret_cast<const QChar *>(buffer), length);
}

} // namespace pelorin
