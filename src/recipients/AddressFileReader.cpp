#include "recipients/AddressFileReader.h"

#include "recipients/IoError.h"

#include <QFile>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace pelicast {

namespace {

constexpr qsizetype ChunkSize = 256 * 1024;
constexpr char EndOfFileMark = 0x1A;

} // namespace

AddressFileReader::AddressFileReader(const QString &path)
{
    const QByteArray name = QFile::encodeName(path);
    do {
        m_fd = ::open(name.constData(), O_RDONLY | O_CLOEXEC);
    } while (m_fd < 0 && errno == EINTR);
    if (m_fd < 0)
        throw ioError(errno, FileAction::Read);
    m_buffer.resize(ChunkSize);
}

AddressFileReader::~AddressFileReader()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

bool AddressFileReader::atEnd()
{
    return m_begin == m_end && !fill();
}

QByteArrayView AddressFileReader::readLine()
{
    qsizetype scanFrom = m_begin;
    const char *lf = nullptr;
    for (;;) {
        lf = static_cast<const char *>(
            std::memchr(m_buffer.constData() + scanFrom, '\n', size_t(m_end - scanFrom)));
        if (lf)
            break;
        const qsizetype scanned = m_end - m_begin; // fill() may move the unread bytes
        if (!fill())
            break;
        scanFrom = m_begin + scanned;
    }
    const qsizetype lineEnd = lf ? lf - m_buffer.constData() : m_end;
    QByteArrayView line(m_buffer.constData() + m_begin, lineEnd - m_begin);
    m_begin = lf ? lineEnd + 1 : lineEnd;

    if (lf && line.endsWith('\r'))
        line.chop(1); // the CR of a CR LF
    const char *cr = static_cast<const char *>(std::memchr(line.data(), '\r', size_t(line.size())));
    if (!cr)
        return line;
    // A lone CR is dropped and does not end the line.
    m_line.resize(0);
    m_line.reserve(line.size());
    const char *from = line.data();
    const char *const end = line.data() + line.size();
    while (cr) {
        m_line.append(from, cr - from);
        from = cr + 1;
        cr = static_cast<const char *>(std::memchr(from, '\r', size_t(end - from)));
    }
    m_line.append(from, end - from);
    return m_line;
}

void AddressFileReader::close()
{
    if (m_fd < 0)
        return;
    const int fd = m_fd;
    m_fd = -1;
    if (::close(fd) != 0 && errno != EINTR)
        throw ioError(errno, FileAction::Read);
}

void AddressFileReader::compact()
{
    if (m_begin == 0)
        return;
    std::memmove(m_buffer.data(), m_buffer.constData() + m_begin, size_t(m_end - m_begin));
    m_end -= m_begin;
    m_begin = 0;
}

bool AddressFileReader::fill()
{
    if (m_eof || m_fd < 0)
        return false;
    compact();
    if (m_buffer.size() - m_end < ChunkSize / 2)
        m_buffer.resize(m_buffer.size() * 2); // a line longer than the buffer is read whole
    ssize_t n;
    do {
        n = ::read(m_fd, m_buffer.data() + m_end, size_t(m_buffer.size() - m_end));
    } while (n < 0 && errno == EINTR);
    if (n < 0)
        throw ioError(errno, FileAction::Read);
    if (n == 0) {
        m_eof = true;
        return false;
    }
    const char *fresh = m_buffer.constData() + m_end;
    if (const void *mark = std::memchr(fresh, EndOfFileMark, size_t(n))) {
        n = static_cast<const char *>(mark) - fresh;
        m_eof = true;
    }
    m_end += n;
    return n > 0;
}

} // namespace pelicast
