#include "calc/errors.h"

namespace pelorin {

static QString math_message(MathError::Kind kind)
{
    switch (kind) {
    case MathError::Kind::InvalidOperation:
        return QStringLiteral("Invalid floating point operation");
    case MathError::Kind::DivisionByZero:
        return QStringLiteral("Floating point division by zero");
    case MathError::Kind::Overflow:
        break;
    }
    return QStringLiteral("Floating point overflow");
}

MathError::MathError(Kind kind) : Error(math_message(kind)), m_kind(kind) {}

RangeError::RangeError() : Error(QStringLiteral("Range check error")) {}

} // namespace pelorin
