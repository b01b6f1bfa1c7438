#include "shell/SettingsFile.h"

#include "common/Error.h"
#include "draft/MessageDraft.h"
#include "shell/IniFile.h"
#include "shell/ServerSettings.h"

#include <QFileInfo>

namespace pelicast {

namespace {

const QString mainSection = QStringLiteral("Main");
const QString settingsSection = QStringLiteral("Settings");

} // namespace

void LoadSettings(const QString &path, MessageDraft &draft, ServerSettings &settings)
{
    IniFile ini;
    ini.load(path); // an unreadable file reads as an empty one

    const MessageDraft d;
    draft.Subject = ini.readString(mainSection, QStringLiteral("Subject"), d.Subject);
    draft.WordWrap = ini.readBool(mainSection, QStringLiteral("WordWrap"), d.WordWrap);
    draft.HTML = ini.readBool(mainSection, QStringLiteral("HTML"), d.HTML);
    draft.EncodingInternal =
        ini.readBool(mainSection, QStringLiteral("EncodingInternal"), d.EncodingInternal);
    draft.EncodingComboIndex =
        ini.readInteger(mainSection, QStringLiteral("EncodingComboIndex"), d.EncodingComboIndex);
    draft.EncodingEditBox =
        ini.readString(mainSection, QStringLiteral("EncodingEditBox"), d.EncodingEditBox);

    const ServerSettings s;
    settings.Server = ini.readString(settingsSection, QStringLiteral("Server"), s.Server);
    settings.ServerPort =
        ini.readString(settingsSection, QStringLiteral("ServerPort"), s.ServerPort);
    settings.ServerAuthComboIndex = ini.readInteger(
        settingsSection, QStringLiteral("ServerAuthComboIndex"), s.ServerAuthComboIndex);
    settings.ServerLogin =
        ini.readString(settingsSection, QStringLiteral("ServerLogin"), s.ServerLogin);
    settings.ServerPWD = ini.readString(settingsSection, QStringLiteral("ServerPWD"), s.ServerPWD);
    settings.Name = ini.readString(settingsSection, QStringLiteral("Name"), s.Name);
    settings.Email = ini.readString(settingsSection, QStringLiteral("Email"), s.Email);
    settings.ServerSecurity =
        ini.readInteger(settingsSection, QStringLiteral("ServerSecurity"), s.ServerSecurity);
    settings.ServerAcceptAnyCertificate =
        ini.readBool(settingsSection, QStringLiteral("ServerAcceptAnyCertificate"),
                     s.ServerAcceptAnyCertificate);
}

void SaveSettings(const QString &path, const MessageDraft &draft, const ServerSettings &settings)
{
    IniFile ini;
    // Writing over a file we could not read would throw away what others keep in it.
    if (!ini.load(path))
        throw Error(
            QStringLiteral("Unable to write to %1").arg(QFileInfo(path).absoluteFilePath()));

    ini.writeString(mainSection, QStringLiteral("Subject"), draft.Subject);
    ini.writeBool(mainSection, QStringLiteral("WordWrap"), draft.WordWrap);
    ini.writeBool(mainSection, QStringLiteral("HTML"), draft.HTML);
    ini.writeBool(mainSection, QStringLiteral("EncodingInternal"), draft.EncodingInternal);
    ini.writeInteger(mainSection, QStringLiteral("EncodingComboIndex"), draft.EncodingComboIndex);
    ini.writeString(mainSection, QStringLiteral("EncodingEditBox"), draft.EncodingEditBox);

    ini.writeString(settingsSection, QStringLiteral("Server"), settings.Server);
    ini.writeString(settingsSection, QStringLiteral("ServerPort"), settings.ServerPort);
    ini.writeInteger(settingsSection, QStringLiteral("ServerAuthComboIndex"),
                     settings.ServerAuthComboIndex);
    ini.writeString(settingsSection, QStringLiteral("ServerLogin"), settings.ServerLogin);
    ini.writeString(settingsSection, QStringLiteral("ServerPWD"), settings.ServerPWD);
    ini.writeString(settingsSection, QStringLiteral("Name"), settings.Name);
    ini.writeString(settingsSection, QStringLiteral("Email"), settings.Email);
    ini.writeInteger(settingsSection, QStringLiteral("ServerSecurity"), settings.ServerSecurity);
    ini.writeBool(settingsSection, QStringLiteral("ServerAcceptAnyCertificate"),
                  settings.ServerAcceptAnyCertificate);

    ini.save(path);
}

} // namespace pelicast
