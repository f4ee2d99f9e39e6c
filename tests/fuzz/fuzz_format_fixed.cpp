// format_fixed and decimal_form on any extended value (every valid 80-bit
// encoding: the integer bit follows the exponent), any precision and any
// number of decimals, with either decimal separator.

#include "calc/number_text.h"

#include <cstdlib>
#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size < 19)
        return 0;
    std::uint64_t mantissa;
    std::uint16_t sign_exponent;
    std::int32_t precision;
    std::int32_t decimals;
    std::memcpy(&mantissa, data, 8);
    std::memcpy(&sign_exponent, data + 8, 2);
    std::memcpy(&precision, data + 10, 4);
    std::memcpy(&decimals, data + 14, 4);
    const bool comma = (data[18] & 1) != 0;
    if ((data[18] & 2) != 0) { // the ranges the program uses most
        precision = precision % 20;
        decimals = decimals % 20;
    }

    const std::uint64_t integer_bit = std::uint64_t(1) << 63;
    if ((sign_exponent & 0x7fff) == 0)
        mantissa &= ~integer_bit;
    else
        mantissa |= integer_bit;
    unsigned char raw[sizeof(pelorin::extended)] = {};
    std::memcpy(raw, &mantissa, 8);
    std::memcpy(raw + 8, &sign_exponent, 2);
    pelorin::extended value;
    std::memcpy(&value, raw, sizeof value);

    pelorin::set_decimal_separator(comma ? QLatin1Char(',') : QLatin1Char('.'));
    const QString text = pelorin::format_fixed(value, precision, decimals);
    const pelorin::DecimalForm form = pelorin::decimal_form(value, precision, decimals);
    if (text.isEmpty() || form.digits.size() > 18)
        std::abort();
    return 0;
}
