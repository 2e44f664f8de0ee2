"""A private desktop for one measurement: Xvfb at 1920x1080, picom's xrender back end, a session
bus of its own and a home of its own, so that nothing of the user's session is touched."""

import os
import re
import shutil
import signal
import subprocess
import tempfile
import time

TICKS = os.sysconf("SC_CLK_TCK")


def cpu_seconds(pid):
    """User plus system CPU time of a process so far, in seconds (0 once it is gone), in clock
    ticks: threads that have ended are counted, but a tick is 10 ms."""
    try:
        with open(f"/proc/{pid}/stat") as stat:
            fields = stat.read().rsplit(")", 1)[1].split()
        return (int(fields[11]) + int(fields[12])) / TICKS
    except (FileNotFoundError, ProcessLookupError, IndexError):
        return 0.0


def thread_seconds(pid):
    """Each live thread's time on a CPU so far, to the nanosecond, by thread ID ({} once gone)."""
    threads = {}
    try:
        tids = os.listdir(f"/proc/{pid}/task")
    except (FileNotFoundError, ProcessLookupError):
        return threads
    for tid in tids:
        try:
            with open(f"/proc/{pid}/task/{tid}/schedstat") as schedstat:
                threads[tid] = int(schedstat.read().split()[0]) / 1e9
        except (FileNotFoundError, ProcessLookupError, IndexError, ValueError):
            pass
    return threads


class CpuSample:
    """A process's CPU time at one moment, to compare with a later sample of it. Ticks alone
    cannot tell an idle program's 0.05 % from nothing over a short run; the threads' own clocks
    can, as long as no thread that ran ends in between."""

    def __init__(self, pid):
        self.ticks = cpu_seconds(pid)
        self.threads = thread_seconds(pid)

    def spent_until(self, later):
        if self.threads and later.threads and self.threads.keys() <= later.threads.keys():
            return sum(seconds - self.threads.get(tid, 0.0) for tid, seconds in later.threads.items())
        return later.ticks - self.ticks


def peak_rss_mib(pid):
    try:
        with open(f"/proc/{pid}/status") as status:
            for line in status:
                if line.startswith("VmHWM:"):
                    return int(line.split()[1]) / 1024
    except FileNotFoundError:
        pass
    return 0.0


def processes_on_bus(address, excluded=()):
    """Every process whose environment names this session bus, but those excluded: how a peer's
    bus-started helpers are found, whoever their parent is now."""
    wanted = b"DBUS_SESSION_BUS_ADDRESS=" + address.encode()
    found = []
    for entry in os.listdir("/proc"):
        if not entry.isdigit() or int(entry) in excluded:
            continue
        try:
            with open(f"/proc/{entry}/environ", "rb") as environ:
                if wanted in environ.read().split(b"\0"):
                    found.append(int(entry))
        except (FileNotFoundError, ProcessLookupError, PermissionError):
            continue
    return found


class Session:
    def __init__(self, width=1920, height=1080):
        self.folder = tempfile.mkdtemp(prefix="zuvik-e2e-")
        self.processes = []
        self.env = dict(os.environ)
        for name in ("config", "state", "cache", "data", "run", "home"):
            os.makedirs(self.path(name), mode=0o700)
        self.env.update({
            "HOME": self.path("home"), "XDG_CONFIG_HOME": self.path("config"),
            "XDG_STATE_HOME": self.path("state"), "XDG_CACHE_HOME": self.path("cache"),
            "XDG_DATA_HOME": self.path("data"), "XDG_RUNTIME_DIR": self.path("run"),
        })
        self.env.pop("WAYLAND_DISPLAY", None)
        self.env.pop("QT_QPA_PLATFORM", None)
        read, write = os.pipe()
        self.xvfb = self.start(["Xvfb", "-displayfd", str(write), "-screen", "0", f"{width}x{height}x24",
                                "-nolisten", "tcp", "-noreset"], pass_fds=(write,))
        os.close(write)
        with os.fdopen(read) as display:
            self.env["DISPLAY"] = ":" + display.readline().strip()
        self.picom = self.start(["picom", "--backend", "xrender", "--no-fading-openclose"])
        bus = subprocess.run(["dbus-daemon", "--session", "--fork", "--print-address=1", "--print-pid=1"],
                             env=self.env, capture_output=True, text=True, check=True).stdout.split()
        self.env["DBUS_SESSION_BUS_ADDRESS"], self.bus_pid = bus[0], int(bus[1])
        time.sleep(0.5)

    def start_sway(self):
        """Headless sway with one 1920x1080 output, as an unprivileged user (sway refuses root), in a
        runtime folder of its own; returns the process and the socket's full path."""
        user = "zuvik-compositor"
        if os.geteuid() == 0 and subprocess.run(["id", user], capture_output=True).returncode != 0:
            subprocess.run(["useradd", "--system", "--no-create-home", "--shell", "/usr/sbin/nologin", user], check=True)
        runtime = tempfile.mkdtemp(prefix="zuvik-sway-")  # outside this session's folder, which is the caller's own
        self.sway_runtime = runtime
        config = os.path.join(runtime, "config")
        with open(config, "w") as out:
            out.write("xwayland disable\noutput * mode 1920x1080 bg #101418 solid_color\n")
        as_user = []
        if os.geteuid() == 0:
            shutil.chown(runtime, user, user)
            as_user = ["setpriv", f"--reuid={user}", f"--regid={user}", "--clear-groups", "--"]
        env = {"PATH": "/usr/bin:/bin", "XDG_RUNTIME_DIR": runtime, "WLR_BACKENDS": "headless",
               "WLR_RENDERER": "pixman", "WLR_LIBINPUT_NO_DEVICES": "1"}
        sway = self.start(as_user + ["sway", "-c", config], env=env)
        for _ in range(100):
            sockets = [name for name in os.listdir(runtime) if re.fullmatch(r"wayland-\d+", name)]
            if sockets:
                time.sleep(0.5)
                return sway, os.path.join(runtime, sockets[0])
            time.sleep(0.1)
        raise RuntimeError("headless sway did not start")

    def path(self, *parts):
        return os.path.join(self.folder, *parts)

    def start(self, command, log=None, env=None, **options):
        output = open(log, "ab") if log else subprocess.DEVNULL
        process = subprocess.Popen(command, env=env or self.env, stdout=output, stderr=subprocess.STDOUT,
                                   stdin=subprocess.DEVNULL, **options)
        self.processes.append(process)
        return process

    @staticmethod
    def stop(process, timeout=5):
        if process.poll() is None:
            process.terminate()
            try:
                process.wait(timeout)
            except subprocess.TimeoutExpired:
                process.kill()
                process.wait()

    def close(self):
        for process in reversed(self.processes):
            self.stop(process)
        try:
            os.kill(self.bus_pid, signal.SIGTERM)
        except (ProcessLookupError, AttributeError):
            pass
        shutil.rmtree(self.folder, ignore_errors=True)
        if getattr(self, "sway_runtime", None):
            shutil.rmtree(self.sway_runtime, ignore_errors=True)

    def __enter__(self):
        return self

    def __exit__(self, *_):
        self.close()
