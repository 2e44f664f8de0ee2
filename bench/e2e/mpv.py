"""mpv with its MPRIS plugin on the session's bus, steered and watched over its JSON IPC socket."""

import json
import os
import socket
import threading
import time

MPRIS_PLUGIN = "/usr/lib/mpv-mpris/mpris.so"


class _Ipc:
    def __init__(self, path):
        self.sock = socket.socket(socket.AF_UNIX)
        self.sock.connect(path)
        self.reader = self.sock.makefile("rb")
        self.next_id = 0

    def request(self, *command):
        self.next_id += 1
        self.sock.sendall(json.dumps({"command": list(command), "request_id": self.next_id}).encode() + b"\n")
        while True:  # events share the socket; ours is the line with our id
            line = self.reader.readline()
            if not line:
                raise ConnectionError("mpv went away")
            reply = json.loads(line)
            if reply.get("request_id") == self.next_id:
                return reply.get("data")


class Mpv:
    def __init__(self, session, song, loop=False, extra=()):
        self.socket_path = session.path("mpv.sock")
        command = ["mpv", "--no-config", f"--script={MPRIS_PLUGIN}", "--no-video", "--ao=null", "--idle=yes",
                   "--really-quiet", f"--input-ipc-server={self.socket_path}"]
        if loop:
            command.append("--loop-file=inf")
        command += list(extra)
        self.process = session.start(command + ([song] if song else []))
        for _ in range(100):
            if os.path.exists(self.socket_path):
                try:
                    self.ipc = _Ipc(self.socket_path)
                    return
                except OSError:
                    pass
            time.sleep(0.05)
        raise RuntimeError("mpv did not open its IPC socket")

    def command(self, *command):
        return self.ipc.request(*command)

    def time_pos(self):
        return self.command("get_property", "time-pos")


class Sampler:
    """mpv's own playhead about every 20 ms on a second connection: (wall time at the middle of the
    request, time-pos or None while nothing is loaded)."""

    def __init__(self, mpv, interval=0.02):
        self.ipc = _Ipc(mpv.socket_path)
        self.interval = interval
        self.samples = []
        self.running = True
        self.thread = threading.Thread(target=self._run, daemon=True)
        self.thread.start()

    def _run(self):
        while self.running:
            before = time.time()
            try:
                position = self.ipc.request("get_property", "time-pos")
            except ConnectionError:
                return
            after = time.time()
            self.samples.append(((before + after) / 2, position))
            time.sleep(self.interval)

    def stop(self):
        self.running = False
        self.thread.join(2)
        return self.samples
