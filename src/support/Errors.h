#pragma once
// The program's failures are exceptions derived from AppError. Each carries the
// text the general error display shows and the log records.

#include <QString>
#include <stdexcept>

class AppError : public std::runtime_error {
public:
    explicit AppError(const QString& message)
        : std::runtime_error(message.toStdString()), m_message(message) {}
    [[nodiscard]] const QString& message() const { return m_message; }

private:
    QString m_message;
};

// A text that does not convert to a date or a number ("'%s' is not a valid date").
class ConversionError : public AppError {
public:
    using AppError::AppError;
};
