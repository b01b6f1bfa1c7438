#include "mailing/OutgoingMessage.h"

#include "mailing/CharsetEncoder.h"

namespace pelicast {

OutgoingMessage::OutgoingMessage() : m_encoder(std::make_unique<CharsetEncoder>(QString())) {}

OutgoingMessage::~OutgoingMessage() = default;

void OutgoingMessage::setCharSet(const QString &charset)
{
    if (charset != m_encoder->charset())
        m_encoder = std::make_unique<CharsetEncoder>(charset);
}

QString OutgoingMessage::CharSet() const
{
    return m_encoder->charset();
}

} // namespace pelicast
