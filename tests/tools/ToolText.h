#pragma once

#include <QString>
#include <QStringList>

#include <string>
#include <vector>

namespace tova::test {

// The tools take their texts as UTF-8, as a program gets its arguments.
inline std::string u8(const QString& text) { return text.toStdString(); }
inline std::vector<std::string> u8(const QStringList& texts) {
    std::vector<std::string> out;
    for (const QString& t : texts) out.push_back(t.toStdString());
    return out;
}

}  // namespace tova::test
