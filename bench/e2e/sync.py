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


class PlayerClock:
    """mpv's position at any wall time, from its samples. Without an audio device mpv moves its
    time-pos in steps of about 50 ms, so a sample is fresh only just after a step: playing, the
    clock runs through the steps (each dated between the sample before it and its own) rather
    than along the flat treads; paused, it is the value that stays."""

    def __init__(self, samples, max_gap=0.15):
        samples = sorted((t, p) for t, p in samples if p is not None)
        self.samples, self.times = samples, [t for t, _ in samples]
        self.steps = [((a[0] + b[0]) / 2, b[1]) for a, b in zip(samples, samples[1:]) if b[1] != a[1]]
        self.step_times = [t for t, _ in self.steps]
        self.max_gap = max_gap

    def position(self, t):
        i = bisect.bisect_left(self.step_times, t)
        if 0 < i < len(self.steps):
            (t0, p0), (t1, p1) = self.steps[i - 1], self.steps[i]
            if t1 - t0 <= self.max_gap and abs((p1 - p0) - (t1 - t0)) <= 0.03:
                return p0 + (p1 - p0) * (t - t0) / (t1 - t0)
        return self._still(t)

    def _still(self, t):
        """The value where mpv's position holds for a while around t (paused), else None."""
        lo = bisect.bisect_left(self.times, t - self.max_gap)
        hi = bisect.bisect_right(self.times, t + self.max_gap)
        window = {p for _, p in self.samples[lo:hi]}
        covered = hi - lo >= 3 and self.times[lo] <= t <= self.times[hi - 1]
        return window.pop() if covered and len(window) == 1 else None


def errors(frames, samples, lead=LEAD):
    """(wall time, drawn minus player in milliseconds) for every frame the player's position is known at."""
    clock = PlayerClock(samples)
    found = []
    for wall, playhead, _ in frames:
        position = clock.position(wall)
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
