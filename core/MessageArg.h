#pragma once

#include <QString>

#include <cstdint>

namespace tova {

// One optional argument of GetMessage: any text or number, kept as the text that fills its "{n}"
// placeholder. A default-constructed argument is "not given", so its placeholder stays as written.
class MessageArg {
public:
    MessageArg() = default;
    MessageArg(const QString& text) : text_(text), given_(true) {}
    MessageArg(const char* utf8) : text_(QString::fromUtf8(utf8)), given_(true) {}
    MessageArg(const char16_t* text) : text_(QString::fromUtf16(text)), given_(true) {}
    MessageArg(QStringView text) : text_(text.toString()), given_(true) {}
    MessageArg(QChar c) : text_(c), given_(true) {}
    MessageArg(bool v);
    MessageArg(int v) : MessageArg(qint64(v)) {}
    MessageArg(long v) : MessageArg(qint64(v)) {}
    MessageArg(long long v);
    MessageArg(unsigned v) : MessageArg(qint64(v)) {}
    MessageArg(unsigned long v) : MessageArg(qint64(v)) {}
    MessageArg(short v) : MessageArg(qint64(v)) {}
    MessageArg(float v);   // a Single's text: at most 7 significant digits
    MessageArg(double v);  // a Double's text: at most 15 significant digits

    bool given() const { return given_; }
    const QString& text() const { return text_; }

private:
    QString text_;
    bool given_ = false;
};

}  // namespace tova
