#pragma once

#include "common/Prompts.h"

#include <QElapsedTimer>
#include <QObject>
#include <QString>

#include <memory>
#include <optional>

namespace pelicast {

class AbortFlag;
class AddressFileReader;
class RecipientsPage;
struct RecipientLists;

// The import of an address text file into All (Button17OpenClick).
//
// start() asks whether to clear All, lets the user choose the file and opens it; the lines
// are then read in slices of a few milliseconds, and between slices control goes back to
// the event loop, so the window stays live and the Abort button can be clicked. No nested
// event loop is run. The abort request is looked at before every line; a line All already
// holds is counted and skipped without updating the status text and without ending a slice.
//
// While the file is read, All's view link is off (its grid is reset once at the end), the
// Abort button is shown and the status text reads "Imported: <lines read> /Dublicates:
// <duplicates>" after every stored line. However the import ends once the file was chosen
// (end of file, abort, error), the Abort button is hidden, the status text emptied, the view
// link switched on, the file closed and the count label refreshed.
//
// An error never leaves this object as an exception: it ends the import and is reported by
// failed() with its text (the window shows it in the standard error box), then finished().
class TextImport : public QObject
{
    Q_OBJECT
public:
    // Longest stretch of reading before the event loop gets control back.
    static constexpr int SliceMilliseconds = 5;

    TextImport(RecipientLists &lists, RecipientsPage &page, Prompts &prompts, AbortFlag &abort,
               QObject *parent = nullptr);
    ~TextImport() override; // destroy it after finished(), e.g. with deleteLater()

    static QString question();
    static FileDialogSpec openDialogSpec();
    static QString statusText(qint64 linesRead, qint64 duplicates);

    // Starts an import. True: the file is being read and finished() comes from the event
    // loop. False: the import has ended already (cancelled, no file, or failed to open) and
    // finished() has been emitted before start() returned.
    bool start();
    bool isRunning() const { return m_running; }

    qint64 linesRead() const { return m_linesRead; }
    qint64 duplicates() const { return m_duplicates; }

Q_SIGNALS:
    // The error that ended the import, as its text (without the error box's full stop).
    void failed(const QString &errorText);
    void finished();

private:
    bool openFile(const QString &path);
    void scheduleSlice();
    void readSlice();
    // Cleans up after the file was opened (or failed to open), then reports.
    void finish(std::optional<QString> error);
    void end(const std::optional<QString> &error);

    RecipientLists &m_lists;
    RecipientsPage &m_page;
    Prompts &m_prompts;
    AbortFlag &m_abort;
    std::unique_ptr<AddressFileReader> m_reader;
    QElapsedTimer m_slice;
    qint64 m_linesRead = 0;
    qint64 m_duplicates = 0;
    bool m_running = false;
};

} // namespace pelicast
