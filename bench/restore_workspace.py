#!/usr/bin/env python3
"""Starts Corvane so that it restores a workspace of one window per address.

    restore_workspace.py PROFILE CORVANE URL...

Writes, in the empty folder PROFILE, a home with a per-user store holding
AutoSave and a "default" workspace of one maximized window per URL, then
replaces itself with CORVANE started on that home without arguments: the
start-up restore opens the windows. For browser_bench.py, beside the engine
floor opening the same pages:

    browser_bench.py --pages 10 --label corvane -- \
        bench/restore_workspace.py {profile} build/corvane {urls}

With --command-line first, the same home holds no workspace and the URLs
are given on the command line instead (each opens a window), as the floor
gets them: the first page of a plain start.

    browser_bench.py --label corvane -- \
        bench/restore_workspace.py --command-line {profile} build/corvane {url}

With --open-requests first, the home holds no workspace either: CORVANE
starts at the first URL and each other one is handed to it by a second
start with /dde, one after another, as a desktop opens links in the running
browser. The windows open as ChildMaximized says: --open-requests=normal
(not maximized) or --open-requests=maximized. The script waits for the
program, so browser_bench.py measures its whole tree.

    browser_bench.py --pages 10 --settle 5 --idle 20 --label corvane -- \
        bench/restore_workspace.py --open-requests=normal {profile} build/corvane {urls}
"""
import os
import signal
import socket
import subprocess
import sys
import time

FIELD = b"\xb7"
RECORD = b"\xb7|\xb7"
WINDOW = b"|\xb7|"


def number_fields(*numbers):
    return b"".join(FIELD + str(n).encode() for n in numbers)


def workspace(urls):
    # Each window: url, bottom left right top, maximized, AutoRefresh off
    # (2:00), not scrolled.
    windows = WINDOW.join(u.encode() + number_fields(515, 94, 770, 132, 3, 0, 2, 0, 0, 0) for u in urls)
    # The main window as the floor's: 1024 x 768, bars shown, no tabs.
    return b"default" + number_fields(0, 768, 0, 1024, 0, 1, 1, 1, 1, 0) + RECORD + windows


def store_value(data):
    out = bytearray()
    for b in data:
        if b in (0x5C, 0x22):
            out += b"\\" + bytes([b])
        elif b < 0x20:
            out += b"\\x%02x" % b
        else:
            out.append(b)
    return bytes(out)


def wait_for_channel(path, proc, timeout=60):
    # The open channel answers once the running program's event loop does.
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline and proc.poll() is None:
        try:
            with socket.socket(socket.AF_UNIX) as s:
                s.settimeout(5)
                s.connect(path)
                s.sendall(b"probe\n")
                if s.recv(64):
                    return True
        except OSError:
            pass
        time.sleep(0.1)
    return False


def open_one_by_one(corvane, urls, env):
    proc = subprocess.Popen([corvane, "nologo", urls[0]], env=env)
    # Ended from outside: the program is ended too, and waited for.
    signal.signal(signal.SIGTERM, lambda *_: proc.send_signal(signal.SIGTERM))
    if wait_for_channel(os.path.join(env["XDG_RUNTIME_DIR"], "corvane-open"), proc):
        for url in urls[1:]:
            subprocess.run([corvane, "nologo", "/dde", url], env=env, timeout=60)
    sys.exit(proc.wait())


def main():
    args = sys.argv[1:]
    open_requests = None
    if args and args[0].startswith("--open-requests"):
        open_requests = args[0].partition("=")[2] or "normal"
        if open_requests not in ("normal", "maximized"):
            sys.exit(__doc__)
        args = args[1:]
    command_line = open_requests is not None or (bool(args) and args[0] == "--command-line")
    if command_line and open_requests is None:
        args = args[1:]
    if len(args) < 3:
        sys.exit(__doc__)
    profile, corvane, urls = args[0], os.path.abspath(args[1]), args[2:]
    home = os.path.join(profile, "home")
    env = dict(os.environ)
    for name, sub in (("HOME", ""), ("XDG_CONFIG_HOME", ".config"), ("XDG_DATA_HOME", ".local/share"),
                      ("XDG_CACHE_HOME", ".cache"), ("XDG_RUNTIME_DIR", "run")):
        env[name] = os.path.join(home, sub) if sub else home
        os.makedirs(env[name], mode=0o700, exist_ok=True)
    store = os.path.join(env["XDG_CONFIG_HOME"], "Tolvek", "Corvane.reg")
    os.makedirs(os.path.dirname(store), exist_ok=True)
    with open(store, "wb") as f:
        f.write(b"[Software\\Tolvek\\Corvane\\Settings]\n"
                b"\"BiPassDefault\"=dword:00000001\n"
                b"\"Logo\"=dword:00000000\n"
                b"\"Version\"=\"3.00\"\n")
        if open_requests:
            f.write(b"\"ChildMaximized\"=dword:0000000%d\n" % (open_requests == "maximized"))
        if not command_line:
            f.write(b"[Software\\Tolvek\\Corvane\\Workspaces]\n"
                    b"\"AutoSave\"=dword:00000001\n"
                    b"\"Workspace1\"=\"" + store_value(workspace(urls)) + b"\"\n")
    if open_requests:
        open_one_by_one(corvane, urls, env)
    os.execve(corvane, [corvane, "nologo"] + (urls if command_line else []), env)


if __name__ == "__main__":
    main()
