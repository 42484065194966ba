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
"""
import os
import sys

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


def main():
    args = sys.argv[1:]
    command_line = bool(args) and args[0] == "--command-line"
    if command_line:
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
        if not command_line:
            f.write(b"[Software\\Tolvek\\Corvane\\Workspaces]\n"
                    b"\"AutoSave\"=dword:00000001\n"
                    b"\"Workspace1\"=\"" + store_value(workspace(urls)) + b"\"\n")
    os.execve(corvane, [corvane, "nologo"] + (urls if command_line else []), env)


if __name__ == "__main__":
    main()
