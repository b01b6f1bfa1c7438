#include "recipients/AddressBytes.h"

namespace pelicast {

AddressBytes::AddressBytes(QStringView text)
{
    const qsizetype size = text.size();
    if (size <= Capacity) {
        const char16_t *units = text.utf16();
        qsizetype i = 0;
        for (; i < size && units[i] < 0x80; ++i)
            m_buffer[i] = char(units[i]);
        if (i == size) {
            m_view = QByteArrayView(m_buffer, size);
            return;
        }
    }
    m_heap = text.toUtf8();
    m_view = m_heap;
}

} // namespace pelicast
