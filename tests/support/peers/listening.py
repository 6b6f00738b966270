#!/usr/bin/env python3
"""Waits until a peer we started listens on every one of its ports.

Usage: listening.py PID SECONDS PORT...
  0  PID or one of its descendants listens on each PORT
  1  the peer cannot serve: PID ended, or another process listens on one of
     the ports (the peer's own bind fails or will), said on standard error
  2  the time ran out with the peer still starting

It reads /proc rather than connecting, so that a port answered by some other
program is not taken for the peer's.
"""
import os
import sys
import time

LISTEN = "0A"


def listeners():
    """Port -> set of socket inodes listening on it (any local address)."""
    found = {}
    for table in ("/proc/net/tcp", "/proc/net/tcp6"):
        try:
            with open(table) as f:
                next(f)
                for line in f:
                    fields = line.split()
                    if fields[3] != LISTEN:
                        continue
                    port = int(fields[1].rsplit(":", 1)[1], 16)
                    found.setdefault(port, set()).add(fields[9])
        except OSError:
            pass
    return found


def processes():
    """Pid -> parent pid of every process."""
    parents = {}
    for name in os.listdir("/proc"):
        if not name.isdigit():
            continue
        try:
            with open("/proc/%s/stat" % name) as f:
                stat = f.read()
        except OSError:
            continue
        # The command name may hold spaces and parentheses: fields follow the last ')'.
        parents[int(name)] = int(stat[stat.rindex(")") + 2:].split()[1])
    return parents


def sockets_of(pid):
    inodes = set()
    try:
        for fd in os.listdir("/proc/%d/fd" % pid):
            try:
                target = os.readlink("/proc/%d/fd/%s" % (pid, fd))
            except OSError:
                continue
            if target.startswith("socket:["):
                inodes.add(target[8:-1])
    except OSError:
        pass
    return inodes


def tree(root, parents):
    members = {root}
    grew = True
    while grew:
        grew = False
        for pid, parent in parents.items():
            if parent in members and pid not in members:
                members.add(pid)
                grew = True
    return members


def holder(inodes, parents):
    for pid in parents:
        if sockets_of(pid) & inodes:
            try:
                with open("/proc/%d/cmdline" % pid, "rb") as f:
                    command = " ".join(f.read().decode(errors="replace").replace("\0", " ").split())
            except OSError:
                command = "?"
            return "%d (%s)" % (pid, command[:200])
    return "a process gone meanwhile"


def main():
    root, seconds, ports = int(sys.argv[1]), float(sys.argv[2]), [int(p) for p in sys.argv[3:]]
    deadline = time.monotonic() + seconds
    while True:
        if not os.path.exists("/proc/%d" % root):
            print("the peer (pid %d) ended" % root, file=sys.stderr)
            return 1
        parents = processes()
        ours = set()
        for pid in tree(root, parents):
            ours |= sockets_of(pid)
        found = listeners()
        ready = True
        for port in ports:
            inodes = found.get(port, set())
            if inodes - ours:
                # Our sockets may have come up between the two reads: look again.
                for pid in tree(root, processes()):
                    ours |= sockets_of(pid)
                if inodes - ours:
                    print("port %d is held by %s" % (port, holder(inodes - ours, parents)), file=sys.stderr)
                    return 1
            if not inodes:
                ready = False
        if ready:
            return 0
        if time.monotonic() > deadline:
            print("the peer (pid %d) did not listen on %s in %gs" % (root, ports, seconds), file=sys.stderr)
            return 2
        time.sleep(0.1)


if __name__ == "__main__":
    sys.exit(main())
