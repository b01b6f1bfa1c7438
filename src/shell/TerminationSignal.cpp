#include "shell/TerminationSignal.h"

#include <QSocketNotifier>

#include <csignal>
#include <iterator>
#include <sys/socket.h>
#include <unistd.h>

namespace pelicast {

namespace {

int sockets[2] = {-1, -1};
constexpr int handled[] = {SIGTERM, SIGHUP, SIGINT};
struct sigaction previous[std::size(handled)];

extern "C" void onTerminationSignal(int)
{
    const char byte = 1;
    [[maybe_unused]] const ssize_t n = ::write(sockets[0], &byte, 1);
}

} // namespace

TerminationSignal::TerminationSignal(QObject *parent) : QObject(parent)
{
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, sockets) != 0)
        return;
    m_notifier = new QSocketNotifier(sockets[1], QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &TerminationSignal::readSignal);

    struct sigaction action = {};
    action.sa_handler = onTerminationSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (std::size_t i = 0; i < std::size(handled); ++i)
        ::sigaction(handled[i], &action, &previous[i]);
}

TerminationSignal::~TerminationSignal()
{
    if (!m_notifier)
        return;
    for (std::size_t i = 0; i < std::size(handled); ++i)
        ::sigaction(handled[i], &previous[i], nullptr);
    ::close(sockets[0]);
    ::close(sockets[1]);
    sockets[0] = sockets[1] = -1;
}

void TerminationSignal::readSignal()
{
    char byte = 0;
    if (::read(sockets[1], &byte, 1) == 1)
        emit requested();
}

} // namespace pelicast
