#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

namespace pelicast {

// Reads an address text file line by line, as bytes:
// - a line ends at LF or CR LF, and the line end is not part of the line;
// - a CR that is not followed by LF is dropped and does not end the line;
// - the file ends at its physical end or at the first byte 0x1A, whatever comes first;
// - a last line without a line end is a line too; a file that ends with a line end has no
//   empty line after it;
// - everything else is kept: spaces, tabs, empty lines, a byte-order mark, any length.
// Errors are thrown as pelicast::Error with the I/O error text (IoError.h).
class AddressFileReader
{
public:
    explicit AddressFileReader(const QString &path); // opens the file for reading
    ~AddressFileReader();                             // closes it quietly if still open
    AddressFileReader(const AddressFileReader &) = delete;
    AddressFileReader &operator=(const AddressFileReader &) = delete;

    bool atEnd();
    // The next line; call only when !atEnd(). The view stays valid until the next call.
    QByteArrayView readLine();
    // Closes the file, throwing when the system reports an error in doing so.
    void close();

private:
    bool fill(); // reads more of the file behind what is buffered; false at the end
    void compact();

    int m_fd = -1;
    QByteArray m_buffer;
    qsizetype m_begin = 0; // first unread byte
    qsizetype m_end = 0;   // end of the buffered bytes
    bool m_eof = false;    // nothing more comes from the file
    QByteArray m_line;     // a line with its lone CRs dropped
};

} // namespace pelicast
