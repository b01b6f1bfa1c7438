#pragma once

#include <QString>
#include <stdexcept>

namespace pelicast {

// The one error type of the program. what() is the exact text the user sees
// (UTF-8); text() gives it back as a QString.
class Error : public std::runtime_error
{
public:
    explicit Error(const QString &text) : std::runtime_error(text.toStdString()) {}
    QString text() const { return QString::fromUtf8(what()); }
};

// The text of the standard error box: a full stop is appended when the last
// character's code is greater than that of "." (so "...value" gets one, "...123" too,
// while "Done." or a text ending in "!" or "," does not).
QString standardErrorText(const QString &text);

} // namespace pelicast
