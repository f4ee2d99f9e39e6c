// parse_number on any text, with "." or "," as the decimal separator (the
// first byte chooses): a finite value or ConvertError.

#include "calc/errors.h"
#include "calc/number_text.h"
#include "fuzz_text.h"

#include <cmath>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size == 0)
        return 0;
    pelorin::set_decimal_separator((data[0] & 2) != 0 ? QLatin1Char(',') : QLatin1Char('.'));
    const QString text = pelorin::fuzzing::input_text(data, size);
    try {
        const pelorin::extended value = pelorin::parse_number(text);
        if (!std::isfinite(value))
            std::abort();
    } catch (const pelorin::ConvertError &) {
    }
    return 0;
}
