#pragma once

namespace pelicast {

// The outcome of sending to one recipient.
enum class SendResult {
    NotConnected, // no connection was open and none could be opened; nothing was sent
    Sent,         // the server accepted the message
    Failed,       // the send was attempted and did not complete; the connection is closed
};

} // namespace pelicast
