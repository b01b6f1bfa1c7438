#include "support/ScriptedPrompts.h"

namespace pelicast::test {

QVariant ScriptedPrompts::next()
{
    if (m_answers.isEmpty()) {
        ranDry = true;
        return {};
    }
    return m_answers.dequeue();
}

Answer ScriptedPrompts::warningYesNoCancel(const QString &text)
{
    asked << QStringLiteral("warning: ") + text;
    const QVariant v = next();
    return v.isValid() ? Answer(v.toInt()) : Answer::Cancel;
}

bool ScriptedPrompts::confirmOkCancel(const QString &text)
{
    asked << QStringLiteral("confirmOkCancel: ") + text;
    return next().toBool();
}

bool ScriptedPrompts::confirmYesNo(const QString &text)
{
    asked << QStringLiteral("confirmYesNo: ") + text;
    return next().toBool();
}

std::optional<QString> ScriptedPrompts::inputBox(const QString &caption, const QString &prompt,
                                                 const QString &initial)
{
    asked << QStringLiteral("input: ") + caption + u'|' + prompt + u'|' + initial;
    const QVariant v = next();
    if (!v.isValid())
        return std::nullopt;
    return v.toString();
}

void ScriptedPrompts::message(const QString &text)
{
    asked << QStringLiteral("message: ") + text;
}

void ScriptedPrompts::error(const QString &text)
{
    asked << QStringLiteral("error: ") + text;
}

std::optional<QString> ScriptedPrompts::openFile(const FileDialogSpec &spec)
{
    asked << QStringLiteral("open: ") + spec.filter;
    dialogs << spec;
    const QVariant v = next();
    if (!v.isValid())
        return std::nullopt;
    return v.toString();
}

std::optional<QString> ScriptedPrompts::saveFile(const FileDialogSpec &spec)
{
    asked << QStringLiteral("save: ") + spec.filter;
    dialogs << spec;
    const QVariant v = next();
    if (!v.isValid())
        return std::nullopt;
    return v.toString();
}

} // namespace pelicast::test
