// Runs one measurement in a fresh start of the bench and reads back its one line of figures,
// so that each case's peak memory and caches are its own.
#include "child_run.h"

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "memory_sampler.h"

extern char** environ;

ChildFigures RunChild(const std::vector<std::string>& caseArgs) {
    ChildFigures figures;
    int out[2];
    if (::pipe(out) != 0) return figures;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], 1);
    posix_spawn_file_actions_addclose(&actions, out[0]);
    std::vector<std::string> args = {"/proc/self/exe", "--case"};
    args.insert(args.end(), caseArgs.begin(), caseArgs.end());
    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    pid_t pid = -1;
    const int spawned =
        posix_spawn(&pid, "/proc/self/exe", &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    ::close(out[1]);
    std::string text;
    char buffer[512];
    ssize_t n;
    while (spawned == 0 && (n = ::read(out[0], buffer, sizeof buffer)) > 0) text.append(buffer, n);
    ::close(out[0]);
    int status = 0;
    if (spawned != 0 || ::waitpid(pid, &status, 0) != pid || !WIFEXITED(status) ||
        WEXITSTATUS(status) != 0)
        return figures;
    int used = 0;
    if (std::sscanf(text.c_str(), "seconds=%lf hwm_kb=%ld anon_kb=%ld file_kb=%ld%n",
                    &figures.seconds, &figures.hwmKb, &figures.anonKb, &figures.fileKb, &used) != 4)
        return figures;
    figures.extra = text.substr(static_cast<size_t>(used));
    figures.ok = true;
    return figures;
}

void PrintChildFigures(double seconds, const MemoryPeaks& peaks, const std::string& extra) {
    std::printf("seconds=%.6f hwm_kb=%ld anon_kb=%ld file_kb=%ld %s\n", seconds, peaks.hwmKb,
                peaks.anonKb, peaks.fileKb, extra.c_str());
}

double ExtraFigure(const std::string& extra, const std::string& name) {
    const size_t at = extra.find(" " + name + "=");
    return at == std::string::npos ? 0 : std::atof(extra.c_str() + at + name.size() + 2);
}
