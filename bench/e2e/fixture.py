"""The song every measurement plays: a generated 60-second tone tagged with a title and artist,
its word-level lyrics, and a loopback server answering Zuvik's lyric search and lyric requests
the way the public service does."""

import http.server
import json
import subprocess
import threading
import urllib.parse

TITLE = "Harbour of Lanterns"
ARTIST = "The Sine Waves"
SECONDS = 60
SONG_ID = 7301

# One line every four seconds from 2 s on, five words each, every word 0.6 s.
WORDS = ("lanterns on the water tonight", "counting every light we pass", "I kept your name for later",
         "stay until the morning comes", "rivers know the way back home")


def timed_lines():
    """(start seconds, [(word, start, length)]) per line, over the whole song."""
    lines, start, index = [], 2.0, 0
    while start + 3.5 < SECONDS:
        words = WORDS[index % len(WORDS)].split()
        lines.append((start, [(word, start + 0.65 * i, 0.6) for i, word in enumerate(words)]))
        start += 4.0
        index += 1
    return lines


def word_level_text():
    rows = []
    for start, words in timed_lines():
        end = words[-1][1] + words[-1][2]
        cells = "".join(f"({round(s * 1000)},{round(n * 1000)},0){w} " for w, s, n in words)
        rows.append(f"[{round(start * 1000)},{round((end - start) * 1000)}]{cells.rstrip()}")
    return "\n".join(rows)


def lrc_text():
    rows = [f"[ti:{TITLE}]", f"[ar:{ARTIST}]"]
    for start, words in timed_lines():
        minutes, seconds = divmod(start, 60)
        rows.append(f"[{int(minutes):02d}:{seconds:05.2f}]" + " ".join(w for w, _, _ in words))
    return "\n".join(rows) + "\n"


def make_song(path, seconds=SECONDS):
    subprocess.run(["sox", "-n", "-r", "44100", "-c", "2", "--add-comment", f"TITLE={TITLE}",
                    "--add-comment", f"ARTIST={ARTIST}", path, "synth", str(seconds), "sine", "440"],
                   check=True)


class _Handler(http.server.BaseHTTPRequestHandler):
    def do_GET(self):
        url = urllib.parse.urlparse(self.path)
        if url.path == "/api/search/get":
            body = {"result": {"songs": [{"id": SONG_ID, "name": TITLE, "artists": [{"name": ARTIST}],
                                          "duration": SECONDS * 1000}]}, "code": 200}
        elif url.path == "/api/song/lyric/v1":
            body = {"yrc": {"lyric": word_level_text()}, "lrc": {"lyric": lrc_text()}, "code": 200}
        else:
            self.send_error(404)
            return
        data = json.dumps(body).encode()
        self.send_response(200)
        self.send_header("Content-Type", "application/json")
        self.send_header("Content-Length", str(len(data)))
        self.end_headers()
        self.wfile.write(data)

    def log_message(self, *_):
        pass


class LyricsServer:
    def __init__(self):
        self.server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), _Handler)
        self.thread = threading.Thread(target=self.server.serve_forever, daemon=True)
        self.thread.start()

    @property
    def url(self):
        return f"http://127.0.0.1:{self.server.server_port}"

    def close(self):
        self.server.shutdown()
