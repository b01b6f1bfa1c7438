#pragma once

#include <QObject>

class QSocketNotifier;

namespace pelicast {

// Turns the system's request to end the program (SIGTERM, SIGHUP, SIGINT) into an ordinary
// event: requested() is emitted from the event loop, and the program closes its window as
// if the user had, which writes its state. A signal handler may do almost nothing itself, so
// it only writes one byte to a socket pair that the event loop watches.
class TerminationSignal : public QObject
{
    Q_OBJECT
public:
    // One instance per program; the handlers are installed for its lifetime.
    explicit TerminationSignal(QObject *parent = nullptr);
    ~TerminationSignal() override;

Q_SIGNALS:
    void requested();

private:
    void readSignal();
    QSocketNotifier *m_notifier = nullptr;
};

} // namespace pelicast
