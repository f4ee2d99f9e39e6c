#pragma once

#include <QString>

#include <exception>
#include <string>

namespace pelorin {

// Every error that leaves a handler is one of these; the application's default
// error box shows message() (with a full stop appended where needed).
class Error : public std::exception
{
public:
    explicit Error(QString message) : m_message(std::move(message)), m_utf8(m_message.toStdString())
    {}
    const QString &message() const noexcept { return m_message; }
    const char *what() const noexcept override { return m_utf8.c_str(); }

private:
    QString m_message;
    std::string m_utf8;
};

// A text that is not a valid number ("'x' is not a valid floating point value").
class ConvertError : public Error
{
public:
    using Error::Error;
};

// Arithmetic faults of the volume model and the calibration run.
class MathError : public Error
{
public:
    enum class Kind { InvalidOperation, DivisionByZero, Overflow };
    explicit MathError(Kind kind);
    Kind kind() const noexcept { return m_kind; }

private:
    Kind m_kind;
};

// An index outside a fixed table ("Range check error").
class RangeError : public Error
{
public:
    RangeError();
};

// Misuse of the result table (delete on an empty table, append while closed ...).
class TableError : public Error
{
public:
    using Error::Error;
};

} // namespace pelorin
