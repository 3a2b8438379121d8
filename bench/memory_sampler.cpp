// Peak memory of a measurement: samples /proc/self/status every 2 ms on a thread of its own
// and keeps the highest whole, heap and mapped-file figures.
#include "memory_sampler.h"

#include <fcntl.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <cstring>

namespace {

long StatusField(const char* status, const char* name) {
    const char* at = std::strstr(status, name);
    return at == nullptr ? 0 : std::strtol(at + std::strlen(name), nullptr, 10);
}

}  // namespace

MemorySampler::MemorySampler() {
    Sample();
    thread_ = std::thread([this] {
        while (running_.load()) {
            Sample();
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
    });
}

MemorySampler::~MemorySampler() {
    Stop();
}

MemoryPeaks MemorySampler::Stop() {
    if (running_.exchange(false)) thread_.join();
    Sample();
    return peaks_;
}

void MemorySampler::Sample() {
    char status[4096];
    const int fd = ::open("/proc/self/status", O_RDONLY | O_CLOEXEC);
    if (fd < 0) return;
    const ssize_t n = ::read(fd, status, sizeof status - 1);
    ::close(fd);
    if (n <= 0) return;
    status[n] = '\0';
    const long hwm = StatusField(status, "VmHWM:");
    const long anon = StatusField(status, "RssAnon:");
    const long file = StatusField(status, "RssFile:");
    if (hwm > peaks_.hwmKb) peaks_.hwmKb = hwm;
    if (anon > peaks_.anonKb) peaks_.anonKb = anon;
    if (file > peaks_.fileKb) peaks_.fileKb = file;
}
