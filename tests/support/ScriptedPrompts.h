#pragma once

#include "common/Prompts.h"

#include <QQueue>
#include <QString>
#include <QStringList>
#include <QVariant>

namespace pelicast::test {

// A Prompts that records every question and answers from a queue filled by the test.
// Each asked() entry is "<kind>: <text>", e.g. "warning: Really clear \"All\" database ?".
// An empty queue answers a question with its safe choice (Cancel / No / cancelled dialog)
// and records that it ran dry, so a test can check it scripted every answer.
class ScriptedPrompts : public Prompts
{
public:
    // Answers, consumed in order by whichever question comes next.
    void answer(Answer a) { m_answers.enqueue(QVariant::fromValue(int(a))); }
    void answerOk(bool ok) { m_answers.enqueue(QVariant(ok)); }
    void answerText(const std::optional<QString> &text)
    {
        m_answers.enqueue(text ? QVariant(*text) : QVariant());
    }
    void answerFile(const std::optional<QString> &path) { answerText(path); }

    QStringList asked;              // every question, message and dialog, in order
    QList<FileDialogSpec> dialogs;  // the file dialogs, in order
    bool ranDry = false;

    Answer warningYesNoCancel(const QString &text) override;
    bool confirmOkCancel(const QString &text) override;
    bool confirmYesNo(const QString &text) override;
    std::optional<QString> inputBox(const QString &caption, const QString &prompt,
                                    const QString &initial) override;
    void message(const QString &text) override;
    void error(const QString &text) override;
    std::optional<QString> openFile(const FileDialogSpec &spec) override;
    std::optional<QString> saveFile(const FileDialogSpec &spec) override;

private:
    QVariant next();
    QQueue<QVariant> m_answers;
};

} // namespace pelicast::test
