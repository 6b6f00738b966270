// The Linux side of a process Wine runs, read through Wine's view of the root
// folder (drive Z:): the Wine process is the Linux process, so its memory is
// what the kernel counts for it.
#pragma once

#include <string>

// The proportional set size in kB of the process started from that program
// file (its full path: another tree's program of the same name is not it);
// negative when no such process is found.
long UnixProcessPssKb(const std::wstring& programPath);
