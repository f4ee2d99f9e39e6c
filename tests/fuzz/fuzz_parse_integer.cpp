// parse_integer on any text: a value or ConvertError, and a value written back
// in decimal reads as itself.

#include "calc/errors.h"
#include "calc/number_text.h"
#include "fuzz_text.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QString text = pelorin::fuzzing::input_text(data, size);
    std::int32_t value = 0;
    try {
        value = pelorin::parse_integer(text);
    } catch (const pelorin::ConvertError &) {
        return 0;
    }
    if (pelorin::parse_integer(QString::number(value)) != value)
        std::abort();
    return 0;
}
