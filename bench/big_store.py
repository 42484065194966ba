#!/usr/bin/env python3
"""Start-up with a large settings store, measured from outside.

Writes a per-user store holding LINKS links (780,000 make about 58 MB) into a
fresh temporary home, starts a copy of the given corvane on it (nologo,
about:blank, no questions), waits until its open channel answers, lets it
settle, ends it with SIGTERM and prints, for each of RUNS runs:

    up <s>  cpu <s>  peak <MiB>

up: from the start until the channel answers (wall clock); cpu: the
program's own user + system time over the whole run; peak: its peak resident
memory (VmHWM), read just before the SIGTERM.

Usage: bench/big_store.py [--links N] [--runs N] [--settle S] build/corvane
"""

import argparse
import os
import shutil
import signal
import socket
import subprocess
import sys
import tempfile
import time

HEADER = (b'; Corvane per-user store\r\n\r\n[Software\\Tolvek\\Corvane\\Settings]\r\n'
          b'"BiPassDefault"=dword:00000001\r\n"Logo"=dword:00000000\r\n"MsgExit"=dword:00000000\r\n'
          b'\r\n[Software\\Tolvek\\Corvane\\Links]\r\n')


def write_store(path, links):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, 'wb') as f:
        f.write(HEADER)
        for i in range(1, links + 1):
            f.write(b'"Link%d"="Link name %d\xb7|\xb7http://link%d.example.org/page.html"\r\n' % (i, i, i))


def answers(path):
    s = socket.socket(socket.AF_UNIX, socket.SOCK_STREAM)
    s.settimeout(1.0)
    try:
        s.connect(path)
        s.sendall(b'probe\n')
        return bool(s.recv(64))
    except OSError:
        return False
    finally:
        s.close()


def peak_kib(pid):
    try:
        with open('/proc/%d/status' % pid) as f:
            for line in f:
                if line.startswith('VmHWM:'):
                    return int(line.split()[1])
    except OSError:
        pass
    return 0


def cpu_seconds(pid):
    with open('/proc/%d/stat' % pid) as f:
        fields = f.read().rsplit(')', 1)[1].split()
    ticks = os.sysconf('SC_CLK_TCK')
    return (int(fields[11]) + int(fields[12])) / ticks  # utime, stime


def run_once(program, links, settle):
    root = tempfile.mkdtemp(prefix='corvane-big-store-')
    try:
        home = os.path.join(root, 'home')
        install = os.path.join(root, 'install')
        run = os.path.join(root, 'run')
        os.makedirs(install)
        os.makedirs(run, mode=0o700)
        shutil.copy2(program, os.path.join(install, 'corvane'))
        write_store(os.path.join(home, '.config/Tolvek/Corvane.reg'), links)
        env = dict(os.environ, HOME=home, XDG_CONFIG_HOME=home + '/.config', XDG_DATA_HOME=home + '/.local/share',
                   XDG_CACHE_HOME=home + '/.cache', XDG_RUNTIME_DIR=run)
        env.setdefault('QT_QPA_PLATFORM', 'offscreen')
        env.setdefault('QTWEBENGINE_DISABLE_SANDBOX', '1')
        channel = os.path.join(run, 'corvane-open')
        start = time.monotonic()
        proc = subprocess.Popen([os.path.join(install, 'corvane'), 'nologo', 'about:blank'], env=env,
                                stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        while not answers(channel):
            if proc.poll() is not None:
                raise SystemExit('corvane ended early')
            time.sleep(0.02)
        up = time.monotonic() - start
        time.sleep(settle)
        peak = peak_kib(proc.pid)
        cpu = cpu_seconds(proc.pid)
        proc.send_signal(signal.SIGTERM)
        proc.wait(60)
        return up, cpu, peak / 1024
    finally:
        shutil.rmtree(root, ignore_errors=True)


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument('--links', type=int, default=780000)
    parser.add_argument('--runs', type=int, default=3)
    parser.add_argument('--settle', type=float, default=2.0)
    parser.add_argument('program')
    args = parser.parse_args()
    for _ in range(args.runs):
        up, cpu, peak = run_once(args.program, args.links, args.settle)
        print('up %.2f s  cpu %.2f s  peak %.0f MiB' % (up, cpu, peak))
        sys.stdout.flush()


if __name__ == '__main__':
    main()
