#include "recipients/TextImport.h"

#include "common/Error.h"
#include "common/TextLines.h"
#include "recipients/AbortFlag.h"
#include "recipients/AddressFileReader.h"
#include "recipients/RecipientCount.h"
#include "recipients/RecipientLists.h"
#include "recipients/RecipientsPage.h"

#include <QFileInfo>

#include <algorithm>
#include <charconv>
#include <new>
#include <string_view>

namespace pelicast {

namespace {

// Runs f; an exception comes back as the text the user would see.
template<typename F>
std::optional<QString> errorOf(F &&f)
{
    try {
        f();
    } catch (const Error &e) {
        return e.text();
    } catch (const std::bad_alloc &) {
        return QStringLiteral("Out of memory");
    } catch (const std::exception &e) {
        return QString::fromLocal8Bit(e.what());
    }
    return std::nullopt;
}

} // namespace

TextImport::TextImport(RecipientLists &lists, RecipientsPage &page, Prompts &prompts,
                       AbortFlag &abort, QObject *parent)
    : QObject(parent), m_lists(lists), m_page(page), m_prompts(prompts), m_abort(abort)
{
}

TextImport::~TextImport() = default;

QString TextImport::question()
{
    return QStringLiteral("Clear database before importing ?");
}

FileDialogSpec TextImport::openDialogSpec()
{
    FileDialogSpec spec;
    spec.filter = QStringLiteral("Text files|*.txt|All Files |*.*");
    return spec;
}

QString TextImport::statusText(qint64 linesRead, qint64 duplicates)
{
    // Set after every stored line, so built in one go: at most 20 digits per number.
    static constexpr std::string_view imported = "Imported: ";
    static constexpr std::string_view dublicates = " /Dublicates: ";
    char text[imported.size() + dublicates.size() + 2 * 20];
    char *end = text;
    end = std::copy(imported.begin(), imported.end(), end);
    end = std::to_chars(end, end + 20, linesRead).ptr;
    end = std::copy(dublicates.begin(), dublicates.end(), end);
    end = std::to_chars(end, end + 20, duplicates).ptr;
    return QString::fromLatin1(text, end - text);
}

bool TextImport::start()
{
    Q_ASSERT(!m_running);
    bool fileChosen = false; // from here on, openFile() reports the end itself
    bool opened = false;
    const std::optional<QString> error = errorOf([&] {
        const Answer answer = m_prompts.warningYesNoCancel(question());
        if (answer == Answer::Cancel)
            return;
        const bool emptied = answer == Answer::Yes;
        if (emptied)
            m_lists.MainTable.EmptyList();
        const std::optional<QString> path = m_prompts.openFile(openDialogSpec());
        if (!path || !QFileInfo::exists(*path)) {
            if (emptied)
                RefreshRecipientCount(m_lists, m_page);
            return;
        }
        fileChosen = true;
        opened = openFile(*path);
    });
    if (!fileChosen)
        end(error);
    return opened;
}

bool TextImport::openFile(const QString &path)
{
    m_linesRead = 0;
    m_duplicates = 0;
    m_running = true;
    m_lists.DataSource1.setViewLinkEnabled(false);
    const std::optional<QString> error =
        errorOf([&] { m_reader = std::make_unique<AddressFileReader>(path); });
    if (error) {
        finish(error);
        return false;
    }
    m_page.setAbortButtonVisible(true);
    scheduleSlice();
    return true;
}

void TextImport::scheduleSlice()
{
    QMetaObject::invokeMethod(this, &TextImport::readSlice, Qt::QueuedConnection);
}

void TextImport::readSlice()
{
    if (!m_running)
        return;
    RecipientList &all = m_lists.MainTable;
    bool sliceUsedUp = false;
    m_slice.start();
    const std::optional<QString> error = errorOf([&] {
        while (!m_reader->atEnd()) {
            if (m_abort.takeRequest())
                return;
            QByteArrayView line = m_reader->readLine();
            ++m_linesRead;
            QByteArray decoded;
            if (!line.isValidUtf8()) { // an 8-bit line: Latin-1, so that no byte is lost
                decoded = decodeTextLine(line).toUtf8();
                line = decoded;
            }
            if (all.findAddressUtf8(line)) {
                ++m_duplicates;
                continue;
            }
            all.appendAddressUtf8(line);
            m_page.setStatusText(statusText(m_linesRead, m_duplicates));
            if (m_slice.hasExpired(SliceMilliseconds)) {
                sliceUsedUp = true;
                return;
            }
        }
    });
    if (sliceUsedUp && !error)
        scheduleSlice();
    else
        finish(error);
}

void TextImport::finish(std::optional<QString> error)
{
    m_running = false;
    m_page.setAbortButtonVisible(false);
    m_page.setStatusText(QString());
    m_lists.DataSource1.setViewLinkEnabled(true);
    if (m_reader) {
        const std::optional<QString> closeError = errorOf([&] { m_reader->close(); });
        if (!error)
            error = closeError;
        m_reader.reset();
    }
    const std::optional<QString> refreshError =
        errorOf([&] { RefreshRecipientCount(m_lists, m_page); });
    end(error ? error : refreshError);
}

void TextImport::end(const std::optional<QString> &error)
{
    if (error)
        Q_EMIT failed(*error);
    Q_EMIT finished();
}

} // namespace pelicast
