#pragma once

#include "common/Prompts.h"

#include <QStringList>

class QWidget;

namespace pelicast {

// The program's questions, messages and file dialogs as real boxes over the main window.
class QtPrompts : public Prompts
{
public:
    explicit QtPrompts(QWidget *parent = nullptr) : m_parent(parent) {}

    Answer warningYesNoCancel(const QString &text) override;
    bool confirmOkCancel(const QString &text) override;
    bool confirmYesNo(const QString &text) override;
    std::optional<QString> inputBox(const QString &caption, const QString &prompt,
                                    const QString &initial) override;
    void message(const QString &text) override;
    void error(const QString &text) override;
    std::optional<QString> openFile(const FileDialogSpec &spec) override;
    std::optional<QString> saveFile(const FileDialogSpec &spec) override;

    // "Text files|*.txt|All Files |*.*" as the dialog's name filters:
    // "Text files (*.txt)", "All Files (*)". "*.*" means every file, also one without a dot,
    // and several patterns separated by ";" become one filter.
    static QStringList nameFilters(const QString &filter);

private:
    QWidget *m_parent;
};

} // namespace pelicast
