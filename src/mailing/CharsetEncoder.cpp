#include "mailing/CharsetEncoder.h"

#include <unicode/ucnv.h>
#include <unicode/ucnv_err.h>

namespace pelicast {

namespace {

// True when the text holds no surrogate code unit, so that it is well-formed UTF-16 without
// pairs to look at. No early exit: the compiler makes vector code of the loop.
bool hasNoSurrogate(QStringView text)
{
    unsigned seen = 0;
    for (QChar c : text)
        seen |= unsigned((c.unicode() & 0xF800) == 0xD800);
    return seen == 0;
}

} // namespace

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
        return;
    }
    m_utf8 = ucnv_getType(m_converter) == UCNV_UTF8;
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
    // Text of the Basic Multilingual Plane has one UTF-8 form, which Qt writes many times
    // faster; surrogates are left to ICU, which pairs them or refuses a lone one.
    if (m_utf8 && hasNoSurrogate(text))
        return text.toUtf8();
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
