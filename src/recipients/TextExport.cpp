#include "recipients/TextExport.h"

#include "recipients/AbortFlag.h"
#include "recipients/IoError.h"
#include "recipients/RecipientLists.h"
#include "recipients/RecipientsPage.h"

#include <QFileInfo>
#include <QSaveFile>

#include <cerrno>
#include <exception>
#include <optional>

namespace pelicast {

namespace {

constexpr qsizetype ChunkSize = 256 * 1024;

// The system's error number behind a failed QSaveFile call. Call right after the call:
// Qt leaves the number of the failing system call in errno.
int systemErrorOf(const QSaveFile &file, int savedErrno)
{
    if (savedErrno != 0)
        return savedErrno;
    if (file.error() == QFileDevice::ResourceError)
        return ENOSPC;
    if (QFileInfo(file.fileName()).isDir())
        return EISDIR;
    return EIO;
}

void writeChunk(QSaveFile &file, QByteArray &chunk)
{
    if (chunk.isEmpty())
        return;
    errno = 0;
    const qint64 written = file.write(chunk);
    if (written != chunk.size()) {
        const int saved = errno;
        // A write that stores fewer bytes than given without a reason is a full disk.
        throw ioError(written >= 0 && saved == 0 ? ENOSPC : systemErrorOf(file, saved),
                      FileAction::Create);
    }
    chunk.resize(0);
}

} // namespace

TextExport::TextExport(RecipientLists &lists, RecipientsPage &page, Prompts &prompts,
                       AbortFlag &abort)
    : m_lists(lists), m_page(page), m_prompts(prompts), m_abort(abort)
{
}

FileDialogSpec TextExport::saveDialogSpec()
{
    FileDialogSpec spec;
    spec.title = QStringLiteral("Save");
    spec.filter = QStringLiteral("Text files|*.txt|All files|*.*");
    spec.defaultSuffix = QStringLiteral("txt");
    spec.confirmOverwrite = true;
    return spec;
}

void TextExport::run()
{
    const std::optional<QString> path = m_prompts.saveFile(saveDialogSpec());
    if (!path)
        return;
    RecipientList *list = m_lists.byTab(m_page.selectedListTab());
    writeList(list ? *list : m_lists.MainTable, *path);
}

void TextExport::writeList(RecipientList &list, const QString &path)
{
    RecipientListModel &viewLink = m_lists.viewLinkOf(list);
    m_page.setProgressMaximum(list.AddressCount());

    QSaveFile file(path);
    errno = 0;
    if (!file.open(QIODevice::WriteOnly)) {
        const int saved = errno;
        m_page.setAbortButtonVisible(false);
        throw ioError(systemErrorOf(file, saved), FileAction::Create);
    }
    m_page.setAbortButtonVisible(true);

    std::exception_ptr error;
    try {
        list.GoFirst();
        m_page.setProgressPosition(0);
        viewLink.setViewLinkEnabled(false);
        QByteArray chunk;
        chunk.reserve(ChunkSize + 2 * 1024);
        while (!list.AtEnd()) {
            if (m_abort.takeRequest())
                break;
            chunk.append(list.addressUtf8At(list.currentRow()));
            chunk.append("\r\n", 2);
            if (chunk.size() >= ChunkSize)
                writeChunk(file, chunk);
            list.GoNext();
            m_page.setProgressPosition(list.RecordPosition());
        }
        writeChunk(file, chunk);
    } catch (...) {
        error = std::current_exception();
    }

    list.GoFirst();
    m_page.setProgressPosition(0);
    viewLink.setViewLinkEnabled(true);

    m_page.setAbortButtonVisible(false);
    if (error)
        std::rethrow_exception(error); // the temporary goes with `file`; the target stays
    errno = 0;
    if (!file.commit()) {
        const int saved = errno;
        throw ioError(systemErrorOf(file, saved), FileAction::Create);
    }
}

} // namespace pelicast
