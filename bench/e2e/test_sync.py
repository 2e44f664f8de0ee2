"""The sync analysis on made-up players: a clock moving in steps, a pause, a seek."""

import unittest

import sync


def staircase(start, end, step=0.05, every=0.005, offset=0.0, origin=100.0):
    """Samples of a player whose position (wall time - origin + offset) is reported in steps."""
    samples, t = [], start
    while t < end:
        true = t - origin + offset
        samples.append((t, true - (true % step)))
        t += every
    return samples


class PlayerClockTest(unittest.TestCase):
    def test_runs_along_the_steps_not_the_treads(self):
        clock = sync.PlayerClock(staircase(100.0, 102.0))
        for t in (100.5, 100.52, 101.013, 101.7):
            self.assertAlmostEqual(clock.position(t), t - 100.0, delta=0.004)

    def test_a_pause_holds_its_value_and_a_seek_is_not_bridged(self):
        samples = staircase(100.0, 101.0) + [(100.0 + 1.0 + i * 0.005, 0.95) for i in range(100)]
        samples += staircase(101.5, 102.5, offset=19.0)  # a seek to 20 s
        clock = sync.PlayerClock(samples)
        self.assertEqual(clock.position(101.25), 0.95)
        self.assertIsNone(clock.position(101.499))
        self.assertAlmostEqual(clock.position(102.0), 21.0, delta=0.004)

    def test_knows_nothing_before_or_after_the_samples(self):
        clock = sync.PlayerClock(staircase(100.0, 101.0))
        self.assertIsNone(clock.position(99.0))
        self.assertIsNone(clock.position(102.0))
        self.assertIsNone(sync.PlayerClock([]).position(100.0))


class ErrorsTest(unittest.TestCase):
    def test_a_frame_is_judged_less_the_lead(self):
        samples = staircase(100.0, 102.0)
        frames = [(101.0, 1.0 + sync.LEAD + 0.030, None), (101.5, 1.5 + sync.LEAD - 0.010, 1.2)]
        found = sync.errors(frames, samples)
        self.assertEqual(len(found), 2)
        # A step is dated to within half the sampling interval (2.5 ms).
        for (_, error), expected in zip(found, (30.0, -10.0)):
            self.assertAlmostEqual(error, expected, delta=3.0)

    def test_steady_leaves_out_the_start_and_each_event(self):
        found = [(100.0 + i * 0.1, float(i)) for i in range(60)]
        kept = sync.steady(found, events=[103.0], start=100.0, settle=1.0)
        times = [round(t - 100.0, 1) for t, _ in kept]
        self.assertEqual(times[0], 1.0)
        self.assertNotIn(3.0, times)
        self.assertNotIn(3.9, times)
        self.assertIn(4.0, times)

    def test_summary_of_magnitudes_and_signed_mean(self):
        s = sync.summary([(0, -10.0), (1, 20.0), (2, -30.0), (3, 40.0)])
        self.assertEqual(s["frames"], 4)
        self.assertEqual(s["median"], 25.0)
        self.assertEqual(s["max"], 40.0)
        self.assertEqual(s["mean"], 5.0)
        self.assertEqual(sync.summary([])["frames"], 0)


class RecoveryTest(unittest.TestCase):
    def test_counts_until_the_error_stays_within_the_bound(self):
        found = [(10.0 + i * 0.02, 300.0 if i < 20 else 20.0) for i in range(200)]
        self.assertAlmostEqual(sync.recovery(found, 10.0), 0.4, delta=0.001)

    def test_a_brief_dip_does_not_count(self):
        errors = [300.0] * 50
        errors[10] = 0.0
        found = [(10.0 + i * 0.02, e) for i, e in enumerate(errors)] + [(11.0 + i * 0.02, 10.0) for i in range(50)]
        self.assertAlmostEqual(sync.recovery(found, 10.0), 1.0, delta=0.001)

    def test_never_within_the_limit_is_none(self):
        found = [(10.0 + i * 0.02, 300.0) for i in range(400)]
        self.assertIsNone(sync.recovery(found, 10.0))


if __name__ == "__main__":
    unittest.main()
