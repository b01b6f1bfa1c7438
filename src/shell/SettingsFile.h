#pragma once

#include <QString>

namespace pelicast {

struct MessageDraft;
struct ServerSettings;

// The settings file's name; it lives in the program folder.
inline QString settingsFileName()
{
    return QStringLiteral("Pelicast.ini");
}

// Reads the lasting part of the draft and the server settings. Never fails: an absent or
// unreadable file, a missing section, key or value, or a value that is no number leaves
// that field at its default. Indexes are stored as read, also outside their list.
// Priority, attachments and body are not in the file and are not touched.
void LoadSettings(const QString &path, MessageDraft &draft, ServerSettings &settings);

// Writes the fifteen keys, keeping everything else in the file as it was. Either the whole
// new file is in place or the old one is left untouched. Throws Error
// "Unable to write to <full path>".
void SaveSettings(const QString &path, const MessageDraft &draft, const ServerSettings &settings);

} // namespace pelicast
