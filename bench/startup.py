#!/usr/bin/env python3
"""Time from process start to a running event loop: the program is started
from a private copy of the program folder and timed until its single-instance
server answers "CMD:show;" (which it does from the event loop, after the main
window exists). Printed as the median of N starts and as a ratio against a
bare Qt program (window + local server) measured in the same run.

usage: bench/startup.py [BUILD_DIR] [N]     (needs an X display; run under
       xvfb-run -a when there is none)"""
import os
import shutil
import socket
import statistics
import subprocess
import sys
import tempfile
import time

NAME = "Global\\{3c5e0b7d-9a41-4f2e-b6d8-1e7a90c4d253}"


def time_start(cmd, cwd, tmp):
    env = dict(os.environ, TMPDIR=tmp, QTWEBENGINE_DISABLE_SANDBOX="1")
    path = os.path.join(tmp, NAME)
    if os.path.exists(path):
        os.unlink(path)
    start = time.perf_counter()
    proc = subprocess.Popen(cmd, cwd=cwd, env=env, stdout=subprocess.DEVNULL,
                            stderr=subprocess.DEVNULL)
    try:
        deadline = start + 30
        while time.perf_counter() < deadline:
            try:
                s = socket.socket(socket.AF_UNIX, socket.SOCK_STREAM)
                s.connect(path)
                s.sendall(b"CMD:show;")
                s.settimeout(10)
                if s.recv(64).startswith(b"RES:"):
                    return time.perf_counter() - start
            except OSError:
                time.sleep(0.001)
            finally:
                s.close()
        raise RuntimeError("no answer from %s" % cmd[0])
    finally:
        proc.terminate()
        proc.wait(10)


def main():
    build = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else "build")
    runs = int(sys.argv[2]) if len(sys.argv) > 2 else 10
    with tempfile.TemporaryDirectory() as root:
        folder = os.path.join(root, "program")
        shutil.copytree(os.path.join(build, "stage"), folder)
        tmp = os.path.join(root, "tmp")
        os.mkdir(tmp)
        bare = [os.path.join(build, "bench", "bench_bare_start")]
        client = [os.path.join(folder, "tesk")]
        # Interleaved, so that a noisy moment hits both alike.
        times = {"bare": [], "tesk": []}
        time_start(client, folder, tmp)  # warm the page cache once
        for _ in range(runs):
            times["bare"].append(time_start(bare, folder, tmp))
            times["tesk"].append(time_start(client, folder, tmp))
    b = statistics.median(times["bare"]) * 1000
    t = statistics.median(times["tesk"]) * 1000
    print("start to event loop, median of %d: tesk %.1f ms, bare Qt %.1f ms, ratio %.2f"
          % (runs, t, b, t / b))


if __name__ == "__main__":
    main()
