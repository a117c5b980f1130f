#pragma once

#include <QString>

#include <stdexcept>

// An error raised by an operation behind a command, carrying the message shown
// to the user. The command (or the application's error box) catches it.
class TUvoError : public std::runtime_error {
public:
    explicit TUvoError(const QString& message) : std::runtime_error(message.toStdString()), FMessage(message) {}
    const QString& Message() const { return FMessage; }

private:
    QString FMessage;
};
