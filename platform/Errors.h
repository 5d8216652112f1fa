#pragma once

#include <QString>
#include <stdexcept>

namespace tova {

// Failures raised by the runtime stand-ins. Every one carries a description that the event-handler
// guard shows to the user; `number` follows the classic runtime error numbers so handlers that
// distinguish kinds can do so.
class TovaError : public std::runtime_error {
public:
    TovaError(int number, const QString& description)
        : std::runtime_error(description.toStdString()), number_(number), description_(description) {}
    int number() const { return number_; }
    const QString& description() const { return description_; }

private:
    int number_;
    QString description_;
};

// A text that should have been a number, or a value of the wrong kind.
class TypeMismatchError : public TovaError {
public:
    explicit TypeMismatchError(const QString& what = QStringLiteral("型が一致しません。"))
        : TovaError(13, what) {}
};

// A number outside the range of its target type.
class OverflowError : public TovaError {
public:
    explicit OverflowError(const QString& what = QStringLiteral("オーバーフローしました。"))
        : TovaError(6, what) {}
};

// A file or folder that cannot be found, opened, created or removed.
class FileError : public TovaError {
public:
    explicit FileError(const QString& what, int number = 53) : TovaError(number, what) {}
};

// A read or write that failed part way (disk full, short read, device error).
class IoError : public TovaError {
public:
    explicit IoError(const QString& what) : TovaError(57, what) {}
};

// A call with an argument outside what the procedure accepts.
class InvalidCallError : public TovaError {
public:
    explicit InvalidCallError(const QString& what = QStringLiteral("プロシージャの呼び出し、または引数が不正です。"))
        : TovaError(5, what) {}
};

}  // namespace tova
