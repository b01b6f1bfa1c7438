#include "mailing/ProcessTextUnit.h"

namespace pelicast {

namespace {

const QString nameMacro = QStringLiteral("%NAME%");

// Folds A-Z only, so that every position in the folded text is the same position in the
// original (full Unicode folding could change lengths and would match more than A-Z).
QString foldAscii(const QString &text)
{
    QString folded = text;
    for (QChar &c : folded) {
        if (c >= u'A' && c <= u'Z')
            c = QChar(c.unicode() + (u'a' - u'A'));
    }
    return folded;
}

} // namespace

QString ExtractName(const QString &address)
{
    const qsizetype bracket = address.indexOf(u'<');
    return bracket < 0 ? QString() : address.left(bracket);
}

QString ReplaceAll(const QString &source, const QString &pattern, const QString &replacement,
                   bool caseSensitive)
{
    if (pattern.isEmpty())
        return source;
    const QString haystack = caseSensitive ? source : foldAscii(source);
    const QString needle = caseSensitive ? pattern : foldAscii(pattern);

    QString result;
    qsizetype rest = 0;
    for (;;) {
        const qsizetype found = haystack.indexOf(needle, rest, Qt::CaseSensitive);
        if (found < 0)
            break;
        result += QStringView(source).sliced(rest, found - rest);
        result += replacement;
        rest = found + needle.size();
    }
    if (rest == 0)
        return source;
    result += QStringView(source).sliced(rest);
    return result;
}

QStringList &ExpandNameInLines(const QString &address, QStringList &lines)
{
    const QString name = ExtractName(address);
    for (QString &line : lines)
        line = ReplaceAll(line, nameMacro, name, true);
    return lines;
}

QString ExpandNameInText(const QString &address, const QString &text)
{
    return ReplaceAll(text, nameMacro, ExtractName(address), true);
}

} // namespace pelicast
