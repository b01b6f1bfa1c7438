#include "ui/QtPrompts.h"

#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>

namespace pelicast {

namespace {

QMessageBox::StandardButton ask(QWidget *parent, QMessageBox::Icon icon, const QString &caption,
                                const QString &text, QMessageBox::StandardButtons buttons,
                                QMessageBox::StandardButton defaultButton)
{
    QMessageBox box(icon, caption, text, buttons, parent);
    box.setDefaultButton(defaultButton);
    return QMessageBox::StandardButton(box.exec());
}

std::optional<QString> runFileDialog(QWidget *parent, const FileDialogSpec &spec,
                                     QFileDialog::AcceptMode mode)
{
    QFileDialog dialog(parent, spec.title);
    // Qt's own dialog: it applies the default suffix and the overwrite rule the same way on
    // every desktop.
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(mode);
    dialog.setFileMode(mode == QFileDialog::AcceptOpen ? QFileDialog::ExistingFile
                                                       : QFileDialog::AnyFile);
    dialog.setNameFilters(QtPrompts::nameFilters(spec.filter));
    dialog.setDefaultSuffix(spec.defaultSuffix);
    dialog.setOption(QFileDialog::DontConfirmOverwrite,
                     mode == QFileDialog::AcceptSave && !spec.confirmOverwrite);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return dialog.selectedFiles().constFirst();
}

} // namespace

Answer QtPrompts::warningYesNoCancel(const QString &text)
{
    switch (ask(m_parent, QMessageBox::Warning, QStringLiteral("Warning"), text,
                QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, QMessageBox::Yes)) {
    case QMessageBox::Yes: return Answer::Yes;
    case QMessageBox::No: return Answer::No;
    default: return Answer::Cancel;
    }
}

bool QtPrompts::confirmOkCancel(const QString &text)
{
    return ask(m_parent, QMessageBox::Question, QStringLiteral("Confirm"), text,
               QMessageBox::Ok | QMessageBox::Cancel, QMessageBox::Ok)
        == QMessageBox::Ok;
}

bool QtPrompts::confirmYesNo(const QString &text)
{
    return ask(m_parent, QMessageBox::Question, QStringLiteral("Confirm"), text,
               QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes)
        == QMessageBox::Yes;
}

std::optional<QString> QtPrompts::inputBox(const QString &caption, const QString &prompt,
                                           const QString &initial)
{
    bool ok = false;
    const QString text = QInputDialog::getText(m_parent, caption, prompt, QLineEdit::Normal,
                                               initial, &ok);
    if (!ok)
        return std::nullopt;
    return text;
}

void QtPrompts::message(const QString &text)
{
    ask(m_parent, QMessageBox::NoIcon, QStringLiteral("Pelicast"), text, QMessageBox::Ok,
        QMessageBox::Ok);
}

void QtPrompts::error(const QString &text)
{
    ask(m_parent, QMessageBox::Critical, QStringLiteral("Error"), text, QMessageBox::Ok,
        QMessageBox::Ok);
}

std::optional<QString> QtPrompts::openFile(const FileDialogSpec &spec)
{
    return runFileDialog(m_parent, spec, QFileDialog::AcceptOpen);
}

std::optional<QString> QtPrompts::saveFile(const FileDialogSpec &spec)
{
    return runFileDialog(m_parent, spec, QFileDialog::AcceptSave);
}

QStringList QtPrompts::nameFilters(const QString &filter)
{
    QStringList out;
    const QStringList parts = filter.split(u'|');
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QStringList patterns = parts[i + 1].split(u';', Qt::SkipEmptyParts);
        for (QString &p : patterns) {
            p = p.trimmed();
            if (p == QLatin1String("*.*"))
                p = QStringLiteral("*");
        }
        out << parts[i].trimmed() + QStringLiteral(" (") + patterns.join(u' ') + u')';
    }
    return out;
}

} // namespace pelicast
