"""How far the drawn playhead is from the player's: each traced frame against mpv's own position,
interpolated between the samples around it."""

import bisect
import statistics

LEAD = 0.18  # the application draws this far ahead of the player, on purpose


def read_trace(path):
    """(wall seconds, playhead drawn, word start or None) per frame line."""
    frames = []
    with open(path) as trace:
        for line in trace:
            parts = line.split()
            if len(parts) == 3:
                frames.append((float(parts[0]), float(parts[1]), None if parts[2] == "-" else float(parts[2])))
    return frames


def player_position(samples, times, t, max_gap=0.1):
    """mpv's position at wall time t, or None where it cannot be told: no sample close on both
    sides, or a jump between them (a seek) that playing alone does not explain."""
    i = bisect.bisect_left(times, t)
    if i == 0 or i == len(times):
        return None
    (t0, p0), (t1, p1) = samples[i - 1], samples[i]
    if p0 is None or p1 is None or t1 - t0 > max_gap:
        return None
    advance = p1 - p0
    if not (-0.005 <= advance <= (t1 - t0) + 0.03):
        return None
    return p0 + advance * (t - t0) / (t1 - t0)


def errors(frames, samples, lead=LEAD):
    """(wall time, drawn minus player in milliseconds) for every frame the player's position is known at."""
    samples = sorted(samples)
    times = [t for t, _ in samples]
    found = []
    for wall, playhead, _ in frames:
        position = player_position(samples, times, wall)
        if position is not None:
            found.append((wall, (playhead - lead - position) * 1000.0))
    return found


def percentile(values, fraction):
    ordered = sorted(values)
    if not ordered:
        return float("nan")
    index = min(len(ordered) - 1, max(0, round(fraction * (len(ordered) - 1))))
    return ordered[index]


def steady(found, events, start, settle=1.0):
    """The frames of steady play: from `settle` after the start, and not within `settle` after any
    event (a pause, a resume, a seek)."""
    def quiet(t):
        return t >= start + settle and not any(e <= t < e + settle for e in events)
    return [(t, e) for t, e in found if quiet(t)]


def summary(found):
    magnitudes = [abs(e) for _, e in found]
    if not magnitudes:
        return {"frames": 0, "median": float("nan"), "p95": float("nan"), "max": float("nan"), "mean": float("nan")}
    return {"frames": len(magnitudes), "median": statistics.median(magnitudes), "p95": percentile(magnitudes, 0.95),
            "max": max(magnitudes), "mean": statistics.fmean(e for _, e in found)}


def recovery(found, event, bound=80.0, hold=0.3, limit=5.0):
    """Seconds from the event to the first frame from which the error stays within `bound` for
    `hold` seconds; None when that does not happen within `limit`."""
    after = [(t, e) for t, e in found if event <= t <= event + limit]
    for i, (t, _) in enumerate(after):
        window = [abs(e) for u, e in after[i:] if u <= t + hold]
        if window and max(window) <= bound and after[-1][0] >= t + hold:
            return t - event
    return None
