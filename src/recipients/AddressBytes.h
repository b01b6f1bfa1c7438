#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QStringView>

namespace pelicast {

// The UTF-8 bytes of an address-sized text, as every lookup and store of a list needs them,
// without a heap allocation for the usual all-ASCII address. The bytes are those of
// QString::toUtf8().
class AddressBytes
{
public:
    explicit AddressBytes(QStringView text);
    AddressBytes(const AddressBytes &) = delete;
    AddressBytes &operator=(const AddressBytes &) = delete;

    QByteArrayView view() const { return m_view; }

private:
    static constexpr qsizetype Capacity = 256;
    char m_buffer[Capacity];
    QByteArray m_heap;
    QByteArrayView m_view;
};

} // namespace pelicast
