"""Report of a real-time soak run (see soak.sh). The helpers above main()
are shared with the looping soak's report (soak_loop_report.py)."""
import json
import os
import sys

RATE = 44100
BYTES_PER_FRAME = 4
# A strobe picture stays 0.1 s from before its present: 83..100 ms on screen.
# Gaps this long are deliberate holds, not missed frames.
HOLD = 0.075


def load_trace(path):
    """The trace's events; a last line still being written is left out."""
    out = []
    for line in open(path):
        if line.endswith("\n"):
            out.append(json.loads(line))
    return out


def frames(path):
    """Demo time of every frame in a --frame-hashes file, by index."""
    out = []
    for line in open(path):
        fields = line.split()
        if line.startswith("#") or len(fields) != 3:
            continue  # the comment, or a last line still being written
        out.append(float(fields[1]))
    return out


def count_missed(times, fps=60):
    """(drawn, missed): every frame boundary the drawing loop let pass
    without a frame is a missed frame. Deliberate holds (the strobe's 0.1 s
    pictures, the waits for a sync or a key) present nothing on purpose and
    are not counted."""
    drawn = missed = 0
    for a, b in zip(times, times[1:]):
        gap = b - a
        if gap >= HOLD:
            continue
        drawn += 1
        missed += max(0, round(gap * fps) - 1)
    return drawn, missed


def heard_at(growth, sample, device_bytes=None):
    """Monotonic time the sample was written (heard), interpolated inside the
    buffer it came in. growth: (monotonic time, bytes so far) as the sound
    output grew. device_bytes: the device's buffer, when the watcher sees
    several at once (the disk driver writes through stdio, which hands on
    4096 bytes at a time: two 512-frame buffers, the first written one
    device period earlier than it is seen)."""
    need = (sample + 1) * BYTES_PER_FRAME
    prev_time, prev_size = None, 0
    for m, size in growth:
        if size >= need:
            start, written = prev_size, m
            if device_bytes and size - prev_size > device_bytes:
                count = (size - prev_size) // device_bytes
                period = device_bytes / BYTES_PER_FRAME / RATE
                if prev_time is not None:
                    period = min(period, (m - prev_time) / count)
                index = min(count - 1, (sample * BYTES_PER_FRAME - prev_size) // device_bytes)
                start = prev_size + index * device_bytes
                written = m - (count - 1 - index) * period
            into = (sample * BYTES_PER_FRAME - start) / BYTES_PER_FRAME
            return written + max(0.0, into) / RATE
        prev_time, prev_size = m, size
    return None


def main():
    work, build = sys.argv[1], sys.argv[2]
    headless = load_trace(os.path.join(work, "headless.jsonl"))
    real = load_trace(os.path.join(work, "trace.jsonl"))
    real_frames = frames(os.path.join(work, "frames.txt"))
    headless_frames = frames(os.path.join(work, "headless.frames"))
    wall, user, sys_ = (float(x) for x in open(os.path.join(work, "time.txt")).read().split()[-3:])

    drawn, missed = count_missed(real_frames)
    print(f"frames presented: {len(real_frames)} (headless run of the same demo: {len(headless_frames)}); "
          f"boundaries missed while drawing: {missed} of {drawn + missed} = {100.0 * missed / max(1, drawn + missed):.2f}%")
    print(f"CPU: {user + sys_:.1f} s in {wall:.1f} s = {100.0 * (user + sys_) / wall:.1f}% of one core")

    # Audio written by the disk driver: (monotonic time, bytes) as the file grew.
    watch = [json.loads(l) for l in open(os.path.join(work, "watch.jsonl")) if l.strip()]
    growth = [(w["m"], w["audio"]) for w in watch if "audio" in w]
    trace_seen = [(w["m"], json.loads(w["trace"])) for w in watch if "trace" in w and w["trace"].strip()]

    if len(growth) > 2:
        (m0, s0), (m1, s1) = growth[1], growth[-1]
        pace = (s1 - s0) / BYTES_PER_FRAME / RATE / (m1 - m0)
        print(f"the disk audio driver took the music at {pace:.4f}x real time "
              f"(music-timed scenes are shorter or longer by as much)")

    # Marker samples from the headless run (a sync fires within 64 samples and
    # 1 ms of its row's start; the row start is what we compare with).
    headless_syncs = [d for d in headless if d["event"] == "sync"]
    real_syncs = [(m, d) for m, d in trace_seen if d["event"] == "sync"]
    delays = []
    for (m, d), h in zip(real_syncs, headless_syncs):
        if (d["order"], d["row"]) != (h["order"], h["row"]):
            break
        sample = int(round(h["t"] * RATE)) - 32
        heard = heard_at(growth, sample)
        if heard is None:
            continue
        # The first frame shown after the sync arrived: frame index d["frame"]
        # (frames presented so far) on the demo clock, moved to the monotonic clock.
        if d["frame"] >= len(real_frames):
            continue
        shown = m + (real_frames[d["frame"]] - d["t"])
        delays.append((h["order"], h["row"], (m - heard) * 1000.0, (shown - heard) * 1000.0))

    if delays:
        print("marker heard -> sync delivered -> first frame shown after it (ms):")
        for order, row, deliver, shown in delays:
            print(f"  order {order:2d} row {row:2d}: sync {deliver:6.1f}, frame {shown:6.1f}")
        shown = sorted(x[3] for x in delays)
        print(f"first reacting frame after the marker is heard: median {shown[len(shown)//2]:.1f} ms, "
              f"max {shown[-1]:.1f} ms over {len(shown)} markers (one frame = 16.7 ms)")


if __name__ == "__main__":
    main()
