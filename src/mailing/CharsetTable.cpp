#include "mailing/CharsetTable.h"

#include <array>

namespace pelicast {

namespace {

struct CharsetEntry
{
    const char *comboText;
    const char *name;
};

// The names keep their letter case: they go out as written.
constexpr std::array<CharsetEntry, 20> charsets{{
    {"Western ( iso-8859-1 )", "iso-8859-1"},
    {"Central European ( iso-8859-2 )", "iso-8859-2"},
    {"Central European ( Windows-1250 )", "windows-1250"},
    {"Japanese ( Shift_JIS )", "Shift_JIS"},
    {"Japanese ( euc-jp )", "euc-jp"},
    {"Traditional Chinese ( big5 )", "big5"},
    {"Traditional Chinese ( x-euc-tw )", "x-euc-tw"},
    {"Simplified Chinese ( gb2312 )", "gb2312"},
    {"Korean ( Auto-Detect ) ( EUC-KR )", "EUC-KR"},
    {"Cyrillic ( koi8-r )", "koi8-r"},
    {"Cyrillic ( iso-8859-5 )", "iso-8859-5"},
    {"Cyrillic ( windows-1251 )", "windows-1251"},
    {"Cyrillic ( ibm866 )", "ibm866"},
    {"Baltic ( iso-8859-4 )", "iso-8859-4"},
    {"Baltic ( windows-1257 )", "windows-1257"},
    {"Greek ( windows-1253 )", "windows-1253"},
    {"Greek ( iso-8859-7 )", "iso-8859-7"},
    {"Turkish ( iso-8859-9 )", "iso-8859-9"},
    {"Unicode ( UTF-8 )", "UTF-8"},
    {"Unicode ( UTF-7 )", "UTF-7"},
}};

} // namespace

QString CharsetName(int index)
{
    if (index < 0 || index >= int(charsets.size()))
        index = DefaultCharsetIndex;
    return QString::fromLatin1(charsets[size_t(index)].name);
}

const QStringList &charsetComboTexts()
{
    static const QStringList texts = [] {
        QStringList list;
        for (const CharsetEntry &e : charsets)
            list << QString::fromLatin1(e.comboText);
        return list;
    }();
    return texts;
}

} // namespace pelicast
