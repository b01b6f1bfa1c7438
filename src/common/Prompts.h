#pragma once

#include <QString>
#include <optional>

namespace pelicast {

// Answers of the question boxes.
enum class Answer { Yes, No, Cancel };

// What a file dialog shows and enforces. The filter is written as pairs
// "Description|pattern|Description|pattern" (for example "Text files|*.txt|All Files |*.*");
// the first pair is selected when the dialog opens.
struct FileDialogSpec
{
    QString title;              // empty: the platform's default title
    QString filter;
    QString defaultSuffix;      // without the dot, added to a name typed without extension
    bool confirmOverwrite = false; // save dialogs: ask before replacing an existing file
};

// Every question, message and file dialog the program's commands need. The core never
// opens a window itself; the main window implements this with real dialogs and the tests
// with a scripted fake (tests/support/ScriptedPrompts.h).
class Prompts
{
public:
    virtual ~Prompts() = default;

    // Caption "Warning", buttons Yes, No, Cancel; Yes is the default button.
    virtual Answer warningYesNoCancel(const QString &text) = 0;
    // Caption "Confirm", buttons OK and Cancel; OK is the default. True for OK.
    virtual bool confirmOkCancel(const QString &text) = 0;
    // Caption "Confirm", question icon, buttons Yes and No. True for Yes.
    virtual bool confirmYesNo(const QString &text) = 0;
    // An input box with OK and Cancel; no value when cancelled.
    virtual std::optional<QString> inputBox(const QString &caption, const QString &prompt,
                                            const QString &initial) = 0;
    // Caption "Pelicast" (the application title), no icon, one OK button.
    virtual void message(const QString &text) = 0;
    // Caption "Error", one OK button; the text as given (see standardErrorText()).
    virtual void error(const QString &text) = 0;
    // Only an existing file can be chosen. No value when cancelled.
    virtual std::optional<QString> openFile(const FileDialogSpec &spec) = 0;
    // No value when cancelled. The default suffix is applied by the dialog.
    virtual std::optional<QString> saveFile(const FileDialogSpec &spec) = 0;
};

} // namespace pelicast
