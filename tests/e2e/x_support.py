# SPDX-FileCopyrightText: 2026 Kalvex developers
#
# SPDX-License-Identifier: MIT

"""What the end-to-end tests share: a private X server, and waiting for a
condition."""
import os
import subprocess
import time


def start_display(size):
    """A private Xvfb of `size` (width, height) on the first display number
    from 40 with no server."""
    for number in range(40, 100):
        if os.path.exists(f"/tmp/.X{number}-lock"):
            continue
        xvfb = subprocess.Popen(["Xvfb", f":{number}", "-screen", "0", "%dx%dx24" % size,
                                 "-nolisten", "tcp"], stderr=subprocess.DEVNULL)
        for _ in range(100):
            if os.path.exists(f"/tmp/.X11-unix/X{number}"):
                return xvfb, f":{number}"
            if xvfb.poll() is not None:
                break
            time.sleep(0.05)
        xvfb.kill()
    raise RuntimeError("no display could be started")


def wait_for(what, test, timeout=30):
    """What `test` returns once it is true; fails after `timeout` seconds."""
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline:
        found = test()
        if found:
            return found
        time.sleep(0.05)
    raise AssertionError(f"timed out waiting for {what}")
