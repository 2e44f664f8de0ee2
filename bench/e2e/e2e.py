"""End-to-end measurements with a real player: how closely Zuvik's drawn playhead follows mpv,
and what each drawn frame costs against the floor program and the OSD Lyrics peer.
Run through bench/e2e/run, which builds what this needs."""

import argparse
import datetime
import json
import os
import platform
import re
import subprocess
import sys
import time

import fixture
import sync
from mpv import Mpv, Sampler
from session import CpuSample, Session, peak_rss_mib, processes_on_bus

STYLES = ("ship", "fisheye", "visual", "fisheye-visual")
HERE = os.path.dirname(os.path.abspath(__file__))


def zuvik_env(session, server, trace):
    env = dict(session.env)
    env.update({"ZUVIK_LYRICS_BASE_URL": server.url, "ZUVIK_FRAME_TRACE": trace})
    return env


def start_zuvik(session, args, server, trace, style="ship"):
    return session.start([args.zuvik, "--style", style], log=session.path("zuvik.log"),
                         env=zuvik_env(session, server, trace))


def trace_lines(path):
    try:
        return sync.read_trace(path)
    except FileNotFoundError:
        return []


# Sync: play, pause 3 s, seek back 20 s, seek forward 15 s (the quick run: play and one seek).
FULL_PLAN = [(20, "pause", ("set_property", "pause", True)), (23, "resume", ("set_property", "pause", False)),
             (30, "seek -20 s", ("seek", -20, "relative")), (40, "seek +15 s", ("seek", 15, "relative")), (50, "end", None)]
QUICK_PLAN = [(8, "seek -5 s", ("seek", -5, "relative")), (14, "end", None)]


def measure_sync(session, args, song, server, plan):
    trace = session.path("sync.trace")
    app = start_zuvik(session, args, server, trace)
    time.sleep(2.0)  # the overlay is up and polling
    mpv = Mpv(session, song)
    sampler = Sampler(mpv, interval=0.004)
    start = time.time()
    events = []
    for at, label, command in plan:
        time.sleep(max(0.0, start + at - time.time()))
        if command:
            events.append((label, time.time()))
            mpv.command(*command)
    samples = sampler.stop()
    session.stop(mpv.process)
    session.stop(app)
    frames = [f for f in trace_lines(trace) if f[0] >= start]
    found = sync.errors(frames, samples)
    result = {
        "frames": len(frames),
        "steady": sync.summary(sync.steady(found, [t for _, t in events], start)),
        "recovery": {label: sync.recovery(found, t) for label, t in events},
        "series": [(t - start, e) for t, e in found],
        "events": [(label, t - start) for label, t in events],
    }
    return result


def window_geometry(pid, env):
    """The first visible window of the process, as WxH+X+Y, or None."""
    try:
        ids = subprocess.run(["xdotool", "search", "--onlyvisible", "--pid", str(pid)], env=env,
                             capture_output=True, text=True, timeout=5).stdout.split()
        for window in ids:
            shell = subprocess.run(["xdotool", "getwindowgeometry", "--shell", window], env=env,
                                   capture_output=True, text=True, timeout=5).stdout
            values = dict(line.split("=", 1) for line in shell.split())
            if int(values.get("WIDTH", 0)) > 10:
                return f"{values['WIDTH']}x{values['HEIGHT']}+{values['X']}+{values['Y']}"
    except (subprocess.SubprocessError, ValueError, KeyError):
        pass
    return None


def measure_cost(session, label, process, trace, seconds, extra_pids=lambda: (), settle=5.0, watch=None,
                 servers=None):
    """CPU of the program (with extra_pids), the X server and the compositor over `seconds`;
    `watch`, when given, is called every few seconds meanwhile and its answers kept. `servers`:
    the X server's and the compositor's processes, Xvfb and picom unless given (None: none)."""
    time.sleep(settle)
    xserver, compositor = servers or (session.xvfb, session.picom)
    def sample():
        programs = {pid: CpuSample(pid) for pid in (process.pid, *extra_pids())}
        return (programs, CpuSample(xserver.pid if xserver else -1), CpuSample(compositor.pid if compositor else -1),
                time.time())
    (p0, x0, c0, t0) = sample()
    watched = [watch()] if watch else []
    while time.time() < t0 + seconds:
        time.sleep(min(5.0, max(0.0, t0 + seconds - time.time())))
        if watch and time.time() < t0 + seconds:
            watched.append(watch())
    (p1, x1, c1, t1) = sample()
    # A helper started in between counts from nothing.
    app = sum(p0.get(pid, CpuSample(-1)).spent_until(later) for pid, later in p1.items())
    span = t1 - t0
    frames = sum(1 for f in trace_lines(trace) if t0 <= f[0] < t1) if trace else None
    app, xserver, compositor = app / span, x0.spent_until(x1) / span, c0.spent_until(c1) / span
    row = {"label": label, "app": 100 * app, "x": 100 * xserver, "compositor": 100 * compositor,
           "total": 100 * (app + xserver + compositor), "fps": frames / span if frames is not None else None,
           "rss": peak_rss_mib(process.pid), "watched": watched}
    row["ms_per_frame"] = 1000 * (app + xserver + compositor) / row["fps"] if row["fps"] else None
    print(f"  {label:<24} {row['total']:6.2f} % of a core, "
          f"{row['fps'] if row['fps'] is not None else float('nan'):5.1f} frames/s, peak RSS {row['rss']:.0f} MiB",
          flush=True)
    return row


def typical_window(geometries):
    """Of the windows seen (WxH+X+Y), the one of median area."""
    def area(geometry):
        width, height = geometry.split("+", 1)[0].split("x")
        return int(width) * int(height)
    seen = sorted((g for g in geometries if g), key=area)
    return seen[len(seen) // 2] if seen else None


def renderer_in_log(path):
    """The renderer named by the last "renderer: " line of Zuvik's log: "software" or "OpenGL"."""
    try:
        with open(path, errors="replace") as log:
            lines = [line for line in log if "renderer: " in line and "restarting" not in line]
    except FileNotFoundError:
        return None
    if not lines:
        return None
    return "software" if "renderer: software" in lines[-1] else "OpenGL"


def measure_floor(session, args, label, geometry, renderer):
    """The floor program in the given window, on the given renderer."""
    trace = session.path(f"floor-{label}.trace")
    env = dict(session.env, ZUVIK_FRAME_TRACE=trace)
    if renderer == "software":
        env["QT_QUICK_BACKEND"] = "software"
    floor = session.start([args.floor, "--geometry", geometry or "1920x240+0+420"], env=env)
    row = measure_cost(session, f"floor ({label})", floor, trace, args.seconds)
    session.stop(floor)
    return row


def sway_runs(session, args, server):
    """Each look on layer surfaces under headless sway (software renderer), the player still playing."""
    sway, socket = session.start_sway()
    rows = []
    for style in args.styles:
        trace = session.path(f"sway-{style}.trace")
        app = session.start([args.zuvik, "--style", style], log=session.path("zuvik-sway.log"),
                            env=dict(zuvik_env(session, server, trace), WAYLAND_DISPLAY=socket, DISPLAY=""))
        rows.append(measure_cost(session, f"{style} (sway)", app, trace, args.seconds, servers=(None, sway)))
        session.stop(app)
    session.stop(sway)
    return rows


def cost_runs(session, args, song, server):
    """Each look, then the floor in that look's typical window on that look's renderer."""
    rows, floors = [], []
    mpv = Mpv(session, song, loop=True)
    for style in args.styles:
        trace = session.path(f"cost-{style}.trace")
        app = start_zuvik(session, args, server, trace, style)
        row = measure_cost(session, style, app, trace, args.seconds,
                           watch=lambda: window_geometry(app.pid, session.env))
        session.stop(app)
        row["window"] = typical_window(row["watched"])
        row["renderer"] = os.environ.get("QT_QUICK_BACKEND") or renderer_in_log(session.path("zuvik.log"))
        print(f"  {style}: {row['renderer']}, window {row['window']}", flush=True)
        floor = measure_floor(session, args, style, row["window"], row["renderer"])
        row["floor_ms_per_frame"], row["floor_rss"] = floor["ms_per_frame"], floor["rss"]
        rows.append(row)
        floors.append(floor)
    sway = sway_runs(session, args, server) if args.sway else []
    idle = []
    trace = session.path("idle.trace")
    app = start_zuvik(session, args, server, trace)
    mpv.command("stop")  # the player stays, between songs
    idle.append(measure_cost(session, "player stopped", app, trace, args.idle_seconds, settle=3))
    session.stop(mpv.process)  # no player at all
    idle.append(measure_cost(session, "no player", app, trace, args.idle_seconds, settle=3))
    session.stop(app)
    return rows, floors, idle, sway


OSD_CONFIG = """[General]
display-mode-osd = 1
display-mode-scroll = 0
notify-music = 0
lrc-path = ~/.lyrics;
lrc-filename = %p-%t;
[Download]
download-engine =
download-first-lyric = 0
[OSD]
line-count = 2
locked = 1
"""


def peer_run(session, args, song):
    home = session.env["HOME"]
    os.makedirs(os.path.join(home, ".config", "osdlyrics"), exist_ok=True)
    os.makedirs(os.path.join(home, ".lyrics"), exist_ok=True)
    with open(os.path.join(home, ".config", "osdlyrics", "osdlyrics.conf"), "w") as conf:
        conf.write(OSD_CONFIG)
    with open(os.path.join(home, ".lyrics", f"{fixture.ARTIST}-{fixture.TITLE}.lrc"), "w") as lrc:
        lrc.write(fixture.lrc_text())
    mpv = Mpv(session, song, loop=True)
    gui = session.start(["osdlyrics"], log=session.path("osdlyrics.log"))
    others = {gui.pid, mpv.process.pid, session.bus_pid, session.xvfb.pid, session.picom.pid, os.getpid()}
    helpers = lambda: processes_on_bus(session.env["DBUS_SESSION_BUS_ADDRESS"], others)
    row = measure_cost(session, "OSD Lyrics", gui, None, args.seconds, extra_pids=helpers, settle=8)
    shot = os.path.join(args.out, "osdlyrics.png")
    subprocess.run(["import", "-window", "root", shot], env=session.env, check=False)
    text = subprocess.run(["tesseract", shot, "stdout"], capture_output=True, text=True).stdout
    lyric_words = {w for line in fixture.WORDS for w in line.split() if len(w) > 3}
    row["ocr"] = sorted(w for w in lyric_words if re.search(rf"\b{w}\b", text, re.I))
    row["helpers"] = len(helpers())
    session.stop(gui)
    session.stop(mpv.process)
    return row


def versions():
    def first_line(command):
        try:
            return subprocess.run(command, capture_output=True, text=True, timeout=10).stdout.splitlines()[0]
        except (OSError, IndexError, subprocess.SubprocessError):
            return "?"
    def package(name):
        out = subprocess.run(["dpkg-query", "-W", "-f=${Version}", name], capture_output=True, text=True).stdout
        return out or "?"
    cpu = "?"
    with open("/proc/cpuinfo") as info:
        for line in info:
            if line.startswith("model name"):
                cpu = line.split(":", 1)[1].strip()
                break
    return {"cpu": f"{cpu}, {os.cpu_count()} cores", "kernel": platform.release(), "qt": package("qt6-base-dev"),
            "mesa": package("libgl1-mesa-dri"), "mpv": first_line(["mpv", "--version"]),
            "picom": first_line(["picom", "--version"]), "osdlyrics": package("osdlyrics")}


def fmt(value, digits=1):
    return "–" if value is None or value != value else f"{value:.{digits}f}"


def write_results(path, sync_result, rows, idle, peer, info, plot_name, sway=()):
    s = sync_result["steady"]
    lines = [
        "# End-to-end results", "",
        f"Measured {datetime.date.today().isoformat()} by `bench/e2e/run` on {info['cpu']} (Linux {info['kernel']}); "
        f"Qt {info['qt']}, Mesa {info['mesa']} (llvmpipe), {info['mpv']}, picom {info['picom']} "
        "(xrender), Xvfb 1920×1080.", "",
        "## Sync", "",
        "Drawn playhead (minus the 0.18 s lead) against mpv's `time-pos`, sampled about every 5 ms over its IPC "
        "socket. mpv without an audio device moves `time-pos` in steps of about 50 ms; the player's clock is "
        "taken along the steps (a value is fresh when it has just changed), not along the flat treads between them.", "",
        "| steady play | frames | median | 95th percentile | max | mean (signed) |", "|---|---|---|---|---|---|",
        f"| all | {s['frames']} | {fmt(s['median'])} ms | {fmt(s['p95'])} ms | {fmt(s['max'])} ms | {fmt(s['mean'])} ms |",
        "", "| event | back within 80 ms after |", "|---|---|"]
    for label, seconds in sync_result["recovery"].items():
        lines.append(f"| {label} | {fmt(seconds, 2) + ' s' if seconds is not None else 'not within 5 s'} |")
    lines += ["", f"![Playhead error over time]({plot_name})", "",
              "## Cost per drawn frame", "",
              "CPU in % of one core (application, X server, compositor), frames drawn per second and CPU per "
              "drawn frame, over the same stretch of singing; peak resident memory of the application. After each "
              "look the floor program runs in that look's typical window (of median area over the run) on the "
              "renderer Zuvik chose for it.", "",
              "| look | renderer | window | app | X server | compositor | total | frames/s | ms per frame | "
              "floor ms per frame | × floor | peak RSS | floor's peak RSS |",
              "|---|---|---|---|---|---|---|---|---|---|---|---|---|"]
    for r in rows:
        ratio = r["ms_per_frame"] / r["floor_ms_per_frame"] if r["ms_per_frame"] and r["floor_ms_per_frame"] else None
        lines.append(f"| {r['label']} | {r['renderer']} | {(r['window'] or '?').split('+')[0]} | {fmt(r['app'])} % | "
                     f"{fmt(r['x'])} % | {fmt(r['compositor'])} % | {fmt(r['total'])} % | {fmt(r['fps'])} | "
                     f"{fmt(r['ms_per_frame'], 2)} | {fmt(r['floor_ms_per_frame'], 2)} | {fmt(ratio, 2)} | "
                     f"{fmt(r['rss'], 0)} MiB | {fmt(r['floor_rss'], 0)} MiB |")
    if sway:
        lines += ["", "### Under headless sway", "",
                  "The same looks on layer surfaces under headless sway (its pixman renderer, one 1920×1080 output), "
                  "in the same run and on the same song: Zuvik draws with Qt Quick's software renderer into shared "
                  "memory and sway composites; there is no X server. CPU in % of one core.", "",
                  "| look | app | compositor (sway) | total | frames/s | ms per frame | on X11 (Xvfb + picom) | × X11 |",
                  "|---|---|---|---|---|---|---|---|"]
        on_x11 = {r["label"]: r for r in rows}
        for r in sway:
            x11 = on_x11.get(r["label"].replace(" (sway)", ""), {})
            ratio = r["ms_per_frame"] / x11["ms_per_frame"] if r["ms_per_frame"] and x11.get("ms_per_frame") else None
            lines.append(f"| {r['label']} | {fmt(r['app'])} % | {fmt(r['compositor'])} % | {fmt(r['total'])} % | "
                         f"{fmt(r['fps'])} | {fmt(r['ms_per_frame'], 2)} | {fmt(x11.get('ms_per_frame'), 2)} | "
                         f"{fmt(ratio, 2)} |")
    lines += ["", "While nothing is visible:", "", "| state | app | X server | frames/s |", "|---|---|---|---|"]
    for r in idle:
        lines.append(f"| {r['label']} | {fmt(r['app'], 2)} % | {fmt(r['x'], 2)} % | {fmt(r['fps'])} |")
    if peer:
        lines += ["", "## Side by side with OSD Lyrics", "",
                  f"OSD Lyrics {info['osdlyrics']} on the same song from the same mpv, lyrics from an `.lrc` file: "
                  f"{fmt(peer['app'])} % of a core in its GUI and {peer['helpers']} bus-started helpers, "
                  f"{fmt(peer['x'])} % in the X server, {fmt(peer['compositor'])} % in the compositor "
                  f"({fmt(peer['total'])} % in all). OCR of its screenshot read: "
                  f"{', '.join(peer['ocr']) or 'no lyric word'}.", "",
                  "| look | Zuvik total | OSD Lyrics total | ratio |", "|---|---|---|---|"]
        for r in rows:
            lines.append(f"| {r['label']} | {fmt(r['total'])} % | {fmt(peer['total'])} % | "
                         f"{fmt(r['total'] / peer['total'] if peer['total'] else None, 1)} |")
    with open(path, "w") as out:
        out.write("\n".join(lines) + "\n")


def write_plot(folder, sync_result, name):
    data = os.path.join(folder, "sync-error.dat")
    with open(data, "w") as out:
        for t, e in sync_result["series"]:
            out.write(f"{t:.3f} {e:.2f}\n")
    marks = "".join(f"set arrow from {t:.2f}, graph 0 to {t:.2f}, graph 1 nohead dt 2 lc rgb '#888888'\n"
                    f"set label '{label}' at {t + 0.3:.2f}, graph 0.95\n" for label, t in sync_result["events"])
    script = (f"set terminal pngcairo size 1000,420\nset output '{os.path.join(folder, name)}'\n"
              "set xlabel 'seconds'\nset ylabel 'drawn − player (ms)'\nset yrange [-200:200]\nset grid\n" + marks +
              f"plot '{data}' using 1:2 with points pt 7 ps 0.3 lc rgb '#d0306a' title 'per frame'\n")
    subprocess.run(["gnuplot"], input=script, text=True, check=False)


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("--zuvik", required=True)
    parser.add_argument("--floor")
    parser.add_argument("--seconds", type=float, default=60, help="each cost measurement")
    parser.add_argument("--idle-seconds", type=float, default=20)
    parser.add_argument("--quick", action="store_true", help="a 15-second sync check only")
    parser.add_argument("--max-p95", type=float, help="fail when the steady 95th percentile passes this (ms)")
    parser.add_argument("--no-peer", action="store_true")
    parser.add_argument("--sway", action="store_true", help="also each look on layer surfaces under headless sway")
    parser.add_argument("--out", default=HERE, help="where RESULTS.md and the plot go")
    parser.add_argument("--styles", type=lambda text: text.split(","), default=list(STYLES),
                        help="the looks to measure, comma-separated (default: all four)")
    args = parser.parse_args()
    os.makedirs(args.out, exist_ok=True)
    unknown = sorted(set(args.styles) - set(STYLES))
    if unknown:
        parser.error(f"unknown look {', '.join(unknown)}; the looks are {', '.join(STYLES)}")

    with Session() as session:
        song = session.path("song.flac")
        fixture.make_song(song)
        server = fixture.LyricsServer()
        print("sync…", flush=True)
        result = measure_sync(session, args, song, server, QUICK_PLAN if args.quick else FULL_PLAN)
        s = result["steady"]
        print(f"  {result['frames']} frames; steady median {fmt(s['median'])} ms, 95th percentile {fmt(s['p95'])} ms, "
              f"max {fmt(s['max'])} ms, mean {fmt(s['mean'])} ms; recovery "
              + ", ".join(f"{k}: {fmt(v, 2)} s" for k, v in result["recovery"].items()), flush=True)
        if args.quick:
            if s["frames"] < 100:
                print("FAIL: too few frames were traced to judge", file=sys.stderr)
                return 1
            if args.max_p95 is not None and not s["p95"] <= args.max_p95:
                print(f"FAIL: 95th percentile {fmt(s['p95'])} ms is over {args.max_p95} ms", file=sys.stderr)
                return 1
            return 0
        print("cost…", flush=True)
        rows, floors, idle, sway = cost_runs(session, args, song, server)
        peer = None
        if not args.no_peer:
            print("peer…", flush=True)
            peer = peer_run(session, args, song)
        server.close()
        plot = "sync-error.png"
        write_plot(args.out, result, plot)
        write_results(os.path.join(args.out, "RESULTS.md"), result, rows, idle, peer, versions(), plot, sway)
        with open(os.path.join(args.out, "results.json"), "w") as out:
            json.dump({"sync": {k: v for k, v in result.items() if k != "series"}, "cost": rows, "floors": floors, "idle": idle,
                       "peer": peer, "sway": sway}, out, indent=1)
    return 0


if __name__ == "__main__":
    sys.exit(main())
