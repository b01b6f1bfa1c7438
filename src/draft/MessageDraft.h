#pragma once

#include <QString>
#include <QStringList>

namespace pelicast {

// The one message being composed. A send run only reads it: every recipient gets a
// personalised copy, and the draft keeps its "%NAME%" macros.
struct MessageDraft
{
    QString Subject;
    QStringList Body;             // the body's lines
    bool HTML = true;             // true: "text/html", false: "text/plain"
    bool EncodingInternal = true; // true: charset from the table by EncodingComboIndex
    int EncodingComboIndex = 11;  // "Cyrillic ( windows-1251 )"
    QString EncodingEditBox;      // a charset name typed by the user, used unchanged
    int Priority = 2;             // 0 Highest, 1 High, 2 Normal, 3 Low, 4 Lowest
    QStringList Attachments;      // full paths, in the order added; duplicates allowed
    bool WordWrap = true;         // editor view only
};

} // namespace pelicast
