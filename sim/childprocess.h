#pragma once

#include <string>
#include <sys/types.h>
#include <vector>

// Runs helper programs (ffmpeg) without a shell, so paths need no quoting. Children die with
// the simulator (parent-death signal), so a killed simulator leaves no stream behind.
namespace childprocess {

// Starts argv[0] found on PATH; stdout goes to /dev/null, stderr is inherited.
// Returns the child's pid, or -1.
pid_t start(const std::vector<std::string>& argv);

// Sends SIGTERM, waits up to two seconds, then SIGKILL; always reaps.
void stop(pid_t pid);

// Runs to completion; true when the exit code is 0.
bool run(const std::vector<std::string>& argv);

} // namespace childprocess
