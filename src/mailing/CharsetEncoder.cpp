#include "mailing/CharsetEncoder.h"

#include <unicode/ucnv.h>
#include <unicode/ucnv_err.h>

namespace pelicast {

CharsetEncoder::CharsetEncoder(const QString &charset) : m_charset(charset)
{
    if (charset.isEmpty())
        return;
    UErrorCode status = U_ZERO_ERROR;
    m_converter = ucnv_open(charset.toLatin1().constData(), &status);
    if (U_FAILURE(status)) {
        m_converter = nullptr;
        return;
    }
    // Unmappable characters must fail the conversion, not become substitutes.
    ucnv_setFromUCallBack(m_converter, UCNV_FROM_U_CALLBACK_STOP, nullptr, nullptr, nullptr,
                          &status);
    if (U_FAILURE(status)) {
        ucnv_close(m_converter);
        m_converter = nullptr;
    }
}

CharsetEncoder::~CharsetEncoder()
{
    if (m_converter)
        ucnv_close(m_converter);
}

std::optional<QByteArray> CharsetEncoder::encode(QStringView text) const
{
    if (!m_converter)
        return std::nullopt;
    if (text.isEmpty())
        return QByteArray();
    const auto *source = reinterpret_cast<const UChar *>(text.utf16());
    const auto length = int32_t(text.size());
    QByteArray out(UCNV_GET_MAX_BYTES_FOR_STRING(length, ucnv_getMaxCharSize(m_converter)),
                   Qt::Uninitialized);
    UErrorCode status = U_ZERO_ERROR;
    // ucnv_fromUChars resets the converter first and flushes at the end.
    const int32_t written =
        ucnv_fromUChars(m_converter, out.data(), int32_t(out.size()), source, length, &status);
    if (U_FAILURE(status))
        return std::nullopt;
    out.truncate(written);
    return out;
}

} // namespace pelicast
