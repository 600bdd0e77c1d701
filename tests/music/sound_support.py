# SPDX-FileCopyrightText: 2026 Kalvex developers
#
# SPDX-License-Identifier: MIT

"""What the sound-server tests share: a private folder for a sound server and
the game, the mixer's streams as pactl lists them, the sink's monitor, and the
game process's threads, files, memory and CPU time."""
import array
import math
import os
import select
import shutil
import signal
import subprocess
import sys
import tempfile
import time

SINK = "kalvex_test"
failures = []


def check(ok, what):
    print(("ok   " if ok else "FAIL ") + what, flush=True)
    if not ok:
        failures.append(what)
    return ok


def finish():
    if failures:
        print(f"{len(failures)} check(s) failed", flush=True)
    sys.exit(1 if failures else 0)


class Lab:
    """A private runtime folder, home and configuration, and the environment
    that points a sound server, its tools and the game at them. With
    `alsa_to_server`, ALSA's default device goes to the sound server through
    the pulse plugin for these programs alone, as pipewire-alsa or PulseAudio's
    ALSA hook do for a whole desktop."""

    def __init__(self, prefix, alsa_to_server=True):
        self.root = tempfile.mkdtemp(prefix=prefix)
        self.runtime = os.path.join(self.root, "run")
        self.home = os.path.join(self.root, "home")
        os.makedirs(self.runtime, mode=0o700)
        os.makedirs(os.path.join(self.home, ".config", "pulse"))
        # No program here may start a server of its own (pactl, ALSA's pulse plugin).
        with open(os.path.join(self.home, ".config", "pulse", "client.conf"), "w") as f:
            f.write("autospawn = no\n")
        os.makedirs(os.path.join(self.home, ".local", "state"))
        if alsa_to_server:
            with open(os.path.join(self.home, ".asoundrc"), "w") as f:
                f.write("pcm.!default { type pulse }\nctl.!default { type pulse }\n")
        self.env = dict(os.environ, HOME=self.home, XDG_RUNTIME_DIR=self.runtime,
                        XDG_CONFIG_HOME=os.path.join(self.home, ".config"),
                        XDG_STATE_HOME=os.path.join(self.home, ".local", "state"),
                        QT_QPA_PLATFORM="offscreen")
        for name in ("DISPLAY", "WAYLAND_DISPLAY", "PULSE_SERVER", "PULSE_RUNTIME_PATH",
                     "PIPEWIRE_REMOTE", "ALSA_CONFIG_PATH"):
            self.env.pop(name, None)
        self.socket = os.path.join(self.runtime, "pulse", "native")
        self.children = []

    def path(self, *parts):
        return os.path.join(self.root, *parts)

    def spawn(self, args, log=None, **kwargs):
        out = open(self.path(log), "w") if log else subprocess.DEVNULL
        kwargs.setdefault("env", self.env)
        proc = subprocess.Popen(args, stdout=out, stderr=subprocess.STDOUT if log else out,
                                **kwargs)
        self.children.append(proc)
        return proc

    def session_bus(self):
        """A private D-Bus session bus, as a desktop session has."""
        address = "unix:path=" + self.path("bus")
        self.spawn(["dbus-daemon", "--session", "--nofork", "--nopidfile",
                    "--address=" + address])
        wait_until(lambda: os.path.exists(self.path("bus")), 5, "the session bus did not start")
        self.env["DBUS_SESSION_BUS_ADDRESS"] = address

    def close(self):
        for proc in reversed(self.children):
            end(proc)
        shutil.rmtree(self.root, ignore_errors=True)


class PulseServer:
    """A PulseAudio server with the null sink and the stream-restore module."""

    def __init__(self, lab):
        self.lab = lab
        self.script = lab.path("server.pa")
        with open(self.script, "w") as f:
            f.write(f"load-module module-null-sink sink_name={SINK}\n"
                    "load-module module-native-protocol-unix auth-anonymous=1\n"
                    "load-module module-stream-restore\n"
                    f"set-default-sink {SINK}\n")
        self.proc = None

    def start(self, hung=False):
        """Returns once the server answers, or, `hung`, stopped (SIGSTOP) as
        soon as it listens."""
        if os.path.exists(self.lab.socket):
            os.unlink(self.lab.socket)  # left by a killed one
        self.proc = self.lab.spawn(
            ["pulseaudio", "-n", "--daemonize=no", "--exit-idle-time=-1", "--disallow-exit",
             "-F", self.script])
        if hung:
            wait_until(lambda: os.path.exists(self.lab.socket), 10,
                       "the PulseAudio server did not start", step=0.001)
            self.stop()
        else:
            wait_until(lambda: answers(self.lab) or self.proc.poll() is not None, 10)
            if not answers(self.lab):
                sys.exit("the PulseAudio server did not start")

    def stop(self):
        os.kill(self.proc.pid, signal.SIGSTOP)

    def kill(self):
        end(self.proc)


def end(proc):
    if proc.poll() is None:
        try:
            os.kill(proc.pid, signal.SIGCONT)
            proc.kill()
        except ProcessLookupError:
            pass
    proc.wait()


def wait_until(done, seconds, why=None, step=0.02):
    """Seconds until done() held, or None (or exit with `why`) after `seconds`."""
    start = time.monotonic()
    while True:
        if done():
            return time.monotonic() - start
        if time.monotonic() - start > seconds:
            if why:
                sys.exit(why)
            return None
        time.sleep(step)


def pactl(lab, *args):
    return subprocess.run(["pactl", *args], env=lab.env, capture_output=True, text=True,
                          timeout=10)


def answers(lab):
    try:
        return pactl(lab, "info").returncode == 0
    except subprocess.TimeoutExpired:
        return False


def sink_inputs(lab):
    """The mixer's playback streams: index, mute, volume (%) and properties."""
    found, current = [], None
    try:
        listing = pactl(lab, "list", "sink-inputs").stdout
    except subprocess.TimeoutExpired:
        return []
    for line in listing.splitlines():
        line = line.strip()
        if line.startswith("Sink Input #"):
            current = {"index": line.split("#")[1], "props": {}}
            found.append(current)
        elif current and line.startswith("Mute:"):
            current["mute"] = line.split(":", 1)[1].strip() == "yes"
        elif current and line.startswith("Volume:"):
            current["volume"] = line.split("/")[1].strip()
        elif current and " = " in line:
            key, value = line.split(" = ", 1)
            current["props"][key] = value.strip('"')
    return found


def name_of(stream):
    return stream["props"].get("application.name", "?")


def recorder(lab, channels=2):
    """Starts recording the sink's monitor, 16-bit at 44.1 kHz."""
    return subprocess.Popen(["parec", "-d", SINK + ".monitor", "--format=s16le", "--rate=44100",
                             f"--channels={channels}", "--raw", "--latency-msec=20"],
                            env=lab.env, stdout=subprocess.PIPE)


def record(lab, seconds, channels=2, skip=0.2, rec=None):
    """`seconds` of the sink's monitor after the first `skip` (what was queued
    before), one array per channel; shorter if the monitor stays quiet."""
    rec = rec or recorder(lab, channels)
    frame = 2 * channels
    skipped, wanted = int(44100 * skip) * frame, int(44100 * seconds) * frame
    got = bytearray()
    deadline = time.monotonic() + skip + seconds + 5
    while len(got) < skipped + wanted and time.monotonic() < deadline:
        if select.select([rec.stdout], [], [], 0.1)[0]:
            chunk = os.read(rec.stdout.fileno(), skipped + wanted - len(got))
            if not chunk:
                break
            got += chunk
    end(rec)
    got = got[skipped:]
    data = array.array("h", bytes(got[:len(got) // frame * frame]))
    return [data[c::channels] for c in range(channels)]


def rms(samples):
    return math.sqrt(sum(s * s for s in samples) / max(1, len(samples)))


def level(lab, seconds=0.5):
    """RMS of the sink's monitor, both channels, full scale 32768."""
    left, right = record(lab, seconds)
    return math.sqrt((rms(left) ** 2 + rms(right) ** 2) / 2)


def write_tone(path, seconds, hz=880, amplitude=8000):
    """A stereo 16-bit WAV of a sine tone."""
    import wave
    with wave.open(path, "wb") as w:
        w.setnchannels(2)
        w.setsampwidth(2)
        w.setframerate(44100)
        frames = array.array("h")
        for i in range(int(44100 * seconds)):
            s = int(amplitude * math.sin(2 * math.pi * hz * i / 44100))
            frames.extend((s, s))
        w.writeframes(frames.tobytes())


# The game process, from /proc.

def threads(pid):
    return len(os.listdir(f"/proc/{pid}/task"))


def fds(pid):
    return len(os.listdir(f"/proc/{pid}/fd"))


def rss_mib(pid):
    with open(f"/proc/{pid}/status") as f:
        return next(int(l.split()[1]) for l in f if l.startswith("VmRSS")) / 1024


def cpu_seconds(pid):
    """CPU time of the process so far, threads that ended included."""
    with open(f"/proc/{pid}/stat") as f:
        fields = f.read().rsplit(")", 1)[1].split()
    return (int(fields[11]) + int(fields[12])) / os.sysconf("SC_CLK_TCK")


def thread_cpu(pid):
    """CPU seconds of each running thread, by id and name."""
    found = {}
    for task in os.listdir(f"/proc/{pid}/task"):
        try:
            with open(f"/proc/{pid}/task/{task}/comm") as f:
                name = f.read().strip()
            with open(f"/proc/{pid}/task/{task}/schedstat") as f:
                found[(task, name)] = int(f.read().split()[0]) / 1e9
        except FileNotFoundError:
            pass
    return found


def voluntary_switches(pid):
    """Voluntary context switches of all the process's threads so far."""
    total = 0
    for task in os.listdir(f"/proc/{pid}/task"):
        try:
            with open(f"/proc/{pid}/task/{task}/status") as f:
                total += next(int(l.split()[1]) for l in f
                              if l.startswith("voluntary_ctxt_switches"))
        except FileNotFoundError:
            pass
    return total
