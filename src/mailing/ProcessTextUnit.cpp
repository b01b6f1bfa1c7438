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

// Where the needle next occurs in the haystack at or after `from`, or -1. The needle's first
// character is looked for with the vectorised single-character search and the rest is
// compared only there: a macro is rare in a line, so most of the text passes at that speed
// (this runs for every line of the body, for every recipient).
qsizetype findFrom(QStringView haystack, QStringView needle, qsizetype from)
{
    const QChar first = needle.front();
    const qsizetype last = haystack.size() - needle.size();
    while (from <= last) {
        const qsizetype at = haystack.indexOf(first, from);
        if (at < 0 || at > last)
            return -1;
        if (haystack.sliced(at, needle.size()) == needle)
            return at;
        from = at + 1;
    }
    return -1;
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
        const qsizetype found = findFrom(haystack, needle, rest);
        if (found < 0)
            break;
        if (rest == 0)
            result.reserve(source.size() + replacement.size());
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
