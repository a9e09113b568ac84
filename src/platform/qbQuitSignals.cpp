#include "platform/qbQuitSignals.h"

#include <QSocketNotifier>

#include <atomic>
#include <iterator>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>
#endif

#ifdef Q_OS_UNIX

namespace {

constexpr int Watched[] = {SIGTERM, SIGINT, SIGHUP};

int g_pipe[2] = {-1, -1};
std::atomic<int> g_unanswered = 0;
static_assert(std::atomic<int>::is_always_lock_free, "used in a signal handler");
struct sigaction g_previous[std::size(Watched)];

void OnSignal(int signalNumber) {
    const int savedErrno = errno;
    // The other watched signals are blocked while this runs, so the count cannot tear.
    if (++g_unanswered > TqbQuitSignals::MaxUnanswered) {
        ::signal(signalNumber, SIG_DFL);
        ::raise(signalNumber);
    }
    const unsigned char byte = static_cast<unsigned char>(signalNumber);
    // A full pipe already holds a request; nothing is lost by dropping this byte.
    [[maybe_unused]] const ssize_t written = ::write(g_pipe[1], &byte, 1);
    errno = savedErrno;
}

bool MakePipe(int fds[2]) {
    if (::pipe(fds) != 0)
        return false;
    for (int i = 0; i < 2; ++i) {
        ::fcntl(fds[i], F_SETFD, FD_CLOEXEC);
        ::fcntl(fds[i], F_SETFL, ::fcntl(fds[i], F_GETFL) | O_NONBLOCK);
    }
    return true;
}

} // namespace

TqbQuitSignals::TqbQuitSignals(QObject* parent) : QObject(parent) {
    if (g_pipe[0] >= 0 || !MakePipe(g_pipe))
        return;
    g_unanswered = 0;
    m_notifier = new QSocketNotifier(g_pipe[0], QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &TqbQuitSignals::OnReadable);

    struct sigaction action {};
    action.sa_handler = OnSignal;
    action.sa_flags = SA_RESTART;
    sigemptyset(&action.sa_mask);
    for (int signalNumber : Watched)
        sigaddset(&action.sa_mask, signalNumber);
    for (size_t i = 0; i < std::size(Watched); ++i)
        ::sigaction(Watched[i], &action, &g_previous[i]);
}

TqbQuitSignals::~TqbQuitSignals() {
    if (!m_notifier)
        return;
    for (size_t i = 0; i < std::size(Watched); ++i)
        ::sigaction(Watched[i], &g_previous[i], nullptr);
    delete m_notifier;
    ::close(g_pipe[0]);
    ::close(g_pipe[1]);
    g_pipe[0] = g_pipe[1] = -1;
}

void TqbQuitSignals::OnReadable() {
    unsigned char bytes[64];
    int latest = 0;
    ssize_t n;
    while ((n = ::read(g_pipe[0], bytes, sizeof bytes)) > 0 || (n < 0 && errno == EINTR)) {
        if (n > 0)
            latest = bytes[n - 1];
    }
    if (latest == 0)
        return;
    // A request still being carried out (a save that waits for a page that does not answer)
    // is no answer yet: the signals that come meanwhile count towards the default action.
    if (m_answering)
        return;
    m_answering = true;
    emit QuitRequested(latest);
    m_answering = false;
    g_unanswered = 0;
}

#else

TqbQuitSignals::TqbQuitSignals(QObject* parent) : QObject(parent) {}
TqbQuitSignals::~TqbQuitSignals() = default;
void TqbQuitSignals::OnReadable() {}

#endif
