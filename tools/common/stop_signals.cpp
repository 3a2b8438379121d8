// The stop signals' one piece of state: what a handler may safely write.
#include "stop_signals.h"

#include <csignal>
#include <initializer_list>

namespace {

volatile std::sig_atomic_t g_stopSignal = 0;

void NoteStop(int signal) {
    if (g_stopSignal == 0) g_stopSignal = signal;
}

}  // namespace

void CatchStopSignals(SecondStop second) {
    struct sigaction stop {};
    stop.sa_handler = NoteStop;
    // The handler runs once; the signal's default action then ends the program.
    if (second == SecondStop::EndsAtOnce) stop.sa_flags = SA_RESETHAND;
    sigemptyset(&stop.sa_mask);
    for (int signal : {SIGINT, SIGTERM, SIGHUP, SIGPIPE, SIGXFSZ})
        ::sigaction(signal, &stop, nullptr);
}

int StopSignal() {
    return g_stopSignal;
}

const char* StopReason() {
    if (g_stopSignal == SIGPIPE) return "the output's reader closed the pipe";
    if (g_stopSignal == SIGXFSZ) return "the output reached the file size limit (ulimit -f)";
    return "";
}
