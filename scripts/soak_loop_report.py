"""Report of a looping soak run (see soak-loop.sh): one row per pass, the
goals for a screen left alone for hours, and with --short what the stall and
the starvation did. Usage: soak_loop_report.py WORK"""
import json
import math
import os
import statistics
import sys

from soak_report import BYTES_PER_FRAME, RATE, count_missed, frames, heard_at, load_trace

FRAME_MS = 1000.0 / 60
DEVICE_BYTES = 512 * BYTES_PER_FRAME  # the program's SDL audio buffer
GOALS = {"rss_kb": 1024, "drift_ms": 2.0, "missed_pct": 0.1, "starved_ms": 2 * FRAME_MS}


def jsonl(path):
    return [json.loads(l) for l in open(path) if l.strip()] if os.path.exists(path) else []


def split_passes(trace):
    """Each pass begins with the sync of order 0, row 0: the music starting."""
    starts = [i for i, d in enumerate(trace) if d["event"] == "sync" and d["order"] == 0 and d["row"] == 0]
    return [trace[a:b] for a, b in zip(starts, starts[1:] + [len(trace)])]


def top_scenes(lines, event):
    return [d for d in lines if d["event"] == event and d["scene"] and "." not in d["scene"]]


def wav_pcm(path):
    data = open(path, "rb").read()
    at = 12
    while at + 8 <= len(data):
        size = int.from_bytes(data[at + 4 : at + 8], "little")
        if data[at : at + 4] == b"data":
            return data[at + 8 : at + 8 + size]
        at += 8 + size + (size & 1)
    raise ValueError(f"{path}: no data chunk")


def first_sound(pcm):
    """Index of the first sample frame that is not silent."""
    for i in range(0, len(pcm) - BYTES_PER_FRAME + 1, BYTES_PER_FRAME):
        if any(pcm[i : i + BYTES_PER_FRAME]):
            return i // BYTES_PER_FRAME
    return None


def med(xs):
    return statistics.median(xs) if xs else float("nan")


def worst(xs):
    return max(xs, key=abs) if xs else float("nan")


def fmt(x, pattern=".1f"):
    return "-" if x is None or (isinstance(x, float) and math.isnan(x)) else format(x, pattern)


def slope(ys):
    """Least-squares change per step of a series, nan for fewer than three."""
    if len(ys) < 3:
        return float("nan")
    xs = range(len(ys))
    mx, my = statistics.mean(xs), statistics.mean(ys)
    return sum((x - mx) * (y - my) for x, y in zip(xs, ys)) / sum((x - mx) ** 2 for x in xs)


def rows(d):
    return d["order"] * 64 + d["row"]


class DemoClock:
    """The demo clock on the monotonic one. A trace line is seen a little
    after it is written, never before, so the smallest gap is the offset.
    A stall (SIGSTOP to SIGCONT) is left out of demo time, so after it the
    offset is larger by the stall: each side of it is fitted on its own."""

    def __init__(self, seen, events):
        self.stop = events["stop"]["m"] if "stop" in events and "cont" in events else None
        if self.stop is None:
            self.before = self.after = min(m - d["t"] for m, d in seen)
            self.boundary = math.inf
            return
        cont = events["cont"]["m"]
        self.before = min(m - d["t"] for m, d in seen if m <= self.stop)
        later = [m - d["t"] for m, d in seen if m > cont]
        self.after = min(later) if later else self.before
        self.boundary = self.stop - self.before  # the demo time where the stall fell

    def mono(self, t):
        return t + (self.before if t <= self.boundary else self.after)

    def demo(self, m):
        return m - (self.before if self.stop is None or m <= self.stop else self.after)

    def describe(self):
        if self.before == self.after:
            return f"{self.before:.4f} s"
        return f"{self.before:.4f} s (after the stall {self.after:.4f} s)"


def main():
    work = sys.argv[1]
    headless = split_passes(load_trace(os.path.join(work, "headless.jsonl")))
    real_trace = load_trace(os.path.join(work, "trace.jsonl"))
    real_frames = frames(os.path.join(work, "frames.txt"))
    head_frames = frames(os.path.join(work, "headless.frames"))
    head_first = first_sound(wav_pcm(os.path.join(work, "headless.wav")))
    watch = jsonl(os.path.join(work, "watch.jsonl"))
    audio = jsonl(os.path.join(work, "audio.jsonl"))
    events = {e["what"]: e for e in jsonl(os.path.join(work, "events.jsonl"))}

    seen = [(w["m"], json.loads(w["trace"])) for w in watch if w.get("trace", "").strip()]
    clock = DemoClock(seen, events)
    # What the program did after it was told to end is no pass of the demo.
    if "sigterm" in events:
        last = clock.demo(events["sigterm"]["m"])
        real_trace = [d for d in real_trace if d["t"] < last]
        real_frames = [t for t in real_frames if t < last]
    real = split_passes(real_trace)

    # The sound: (monotonic time, bytes so far) of each opening of the FIFO,
    # and where in which opening each pass's music starts.
    growth, ends, starts = {}, {}, []
    for a in audio:
        opening = a.get("opening", a.get("pass"))
        if "music" in a:
            starts.append(a)
        elif "end" in a:
            ends[opening] = a
        else:
            growth.setdefault(opening, []).append((a["m"], a["bytes"]))
    if starts:
        count = min(len(real), len(starts) - 1)  # a pass ends where the next begins
        sound = [(a["opening"], a["music"]) for a in starts]
    else:
        count, sound = older_watch(work, real, ends, events, head_first)
    proc = [(w["m"], w["rss_kb"], w["cpu_s"]) for w in watch if "rss_kb" in w]
    # The machine's load (1-minute average): other programs take turns with
    # the demo for the cores, and missed frames follow them.
    loads = [(w["m"], w["load"]) for w in watch if "load" in w]
    if not loads and os.path.exists(os.path.join(work, "load.txt")):
        loads = [tuple(float(x) for x in l.split()) for l in open(os.path.join(work, "load.txt")) if l.strip()]
    print(f"{count} complete passes; the demo clock runs {clock.describe()} behind the monotonic clock")

    table, all_drawn, all_missed, per_pass = [], 0, 0, []
    prev_cpu, prev_end = 0.0, None
    for k in range(count):
        lines = real[k]
        ref = headless[min(k, len(headless) - 1)]
        ref_start = math.floor(ref[0]["t"])  # the headless music starts on a whole second
        opening, music = sound[k] if k < len(sound) and sound[k] else (None, None)
        g = growth.get(opening, [])

        # The pass ends where the next one's music starts; the program's
        # memory and CPU time then.
        if starts:
            stop_m = starts[k + 1]["m"]
            rss, cpu_total = starts[k + 1].get("rss_kb"), starts[k + 1].get("cpu_s")
        else:
            stop_m = clock.mono(real[k + 1][0]["t"]) if k + 1 < len(real) else events.get("sigterm", {}).get("m")
            before = [x for x in proc if stop_m is None or x[0] <= stop_m]
            rss, cpu_total = (before[-1][1], before[-1][2]) if before else (None, None)
        begin_m = clock.mono(lines[0]["t"]) if prev_end is None else prev_end
        prev_end = stop_m
        cpu = (cpu_total - prev_cpu) if cpu_total is not None else float("nan")
        prev_cpu = cpu_total if cpu_total is not None else prev_cpu

        f0 = lines[0]["frame"]
        f1 = real[k + 1][0]["frame"] if k + 1 < len(real) else len(real_frames)
        r = min(k, len(headless) - 1)
        ref_count = (headless[r + 1][0]["frame"] if r + 1 < len(headless) else len(head_frames)) - ref[0]["frame"]
        drawn, missed = count_missed(real_frames[f0:f1])
        all_drawn += drawn
        all_missed += missed

        # Markers: each sync of the pass against the same marker of the
        # headless pass, heard when its sample reached the driver.
        ref_syncs = [d for d in ref if d["event"] == "sync"]
        used = set()
        syncs = []
        for d in (d for d in lines if d["event"] == "sync"):
            match = next((i for i, h in enumerate(ref_syncs)
                          if i not in used and (h["order"], h["row"]) == (d["order"], d["row"])), None)
            if match is None or music is None:
                continue
            used.add(match)
            sample = int(round((ref_syncs[match]["t"] - ref_start) * RATE)) - 32
            heard = heard_at(g, music // BYTES_PER_FRAME + sample - head_first, DEVICE_BYTES)
            if heard is None:
                continue
            delivered = (clock.mono(d["t"]) - heard) * 1000.0
            # The first frame drawn after the sync, unless the demo was holding
            # a picture on purpose then (it waits for the next pass, say).
            shown = None
            if d["frame"] < len(real_frames) and real_frames[d["frame"]] - d["t"] < 0.1:
                shown = (clock.mono(real_frames[d["frame"]]) - heard) * 1000.0
            syncs.append({"heard": heard, "order": d["order"], "row": d["row"], "sync": delivered, "shown": shown})

        wall = (stop_m - begin_m) if stop_m is not None else float("nan")
        load = [x for m, x in loads if begin_m <= m <= (stop_m or math.inf)]
        per_pass.append({"k": k + 1, "lines": lines, "ref": ref, "syncs": syncs, "rss": rss, "frames": (f0, f1)})
        shown = [s["shown"] for s in syncs if s["shown"] is not None]
        table.append([
            k + 1, f"{f1 - f0} ({ref_count})", f"{missed} of {drawn + missed}",
            f"{fmt(med([s['sync'] for s in syncs]))} / {fmt(worst([s['sync'] for s in syncs]))}",
            f"{fmt(med(shown))} / {fmt(worst(shown))}", f"{len(syncs)}/{len(ref_syncs)}",
            fmt(rss / 1024.0 if rss is not None else None, ".2f"),
            f"{cpu:.1f} ({100.0 * cpu / wall:.0f}%)", fmt(wall), fmt(med(load))])

    head = ["pass", "frames (headless)", "missed", "sync ms median / worst", "frame shown ms median / worst",
            "markers", "RSS MB at end", "CPU s (% of a core)", "wall s", "load"]
    print("| " + " | ".join(head) + " |")
    print("|" + "---|" * len(head))
    for row in table:
        print("| " + " | ".join(str(x) for x in row) + " |")
    print("(sync: marker heard -> sync delivered; frame shown: -> the first frame drawn after it; "
          "markers: those measured of the headless pass's; load: the machine's, median of the 1-minute average)")

    # Goals for a screen left alone.
    if per_pass:
        rss = [p["rss"] for p in per_pass if p["rss"] is not None]
        if not rss:
            rss = [float("nan")]
        growth_kb = max(rss) - rss[0] if rss else float("nan")
        trend = slope(rss[1:])
        print(f"memory: {rss[0] / 1024:.2f} MB after pass 1, largest rise after it {growth_kb / 1024:.2f} MB, "
              f"trend from pass 2 on {fmt(trend, '+.0f')} kB a pass "
              f"(goal: within 1 MB) -> {'met' if abs(growth_kb) <= GOALS['rss_kb'] else 'NOT met'}")
        quiet = [p for p in per_pass if (p["k"] != 2 or "stop" not in events) and p["syncs"]]
        if len(quiet) < 2:
            print("sync drift: needs two undisturbed passes")
            quiet = []
    if per_pass and quiet:
        first = med([s["sync"] for s in quiet[0]["syncs"]])
        last = med([s["sync"] for s in quiet[-1]["syncs"]])
        trend = slope([med([s["sync"] for s in p["syncs"]]) for p in quiet])
        drift = last - first
        print(f"sync drift: median {first:.1f} ms in pass {quiet[0]['k']}, {last:.1f} ms in pass {quiet[-1]['k']} "
              f"({drift:+.1f} ms; trend {fmt(trend, '+.2f')} ms a pass; goal: within {GOALS['drift_ms']:.0f} ms) -> "
              f"{'met' if abs(drift) <= GOALS['drift_ms'] else 'NOT met'}")
    if per_pass:
        pct = 100.0 * all_missed / max(1, all_drawn + all_missed)
        print(f"missed frames: {all_missed} of {all_drawn + all_missed} = {pct:.3f}% (goal: under 0.1%) -> "
              f"{'met' if pct < GOALS['missed_pct'] else 'NOT met'}")

    if "stop" in events and len(per_pass) >= 2:
        report_stall(per_pass[1], per_pass[0], events, clock, real_frames)
    if "starve" in events and "fed" in events and len(per_pass) >= 2:
        report_starvation(per_pass[1], events, clock, real_frames)


def older_watch(work, real, ends, events, head_first):
    """Passes and music starts from a watcher that told passes apart by the
    FIFO's end alone: an opening as long as n passes carried n of them, and
    only the first one's start is known (from the kept head of the opening)."""
    sizes = sorted(e["end"] for e in ends.values() if e["end"] > 0)
    one = sizes[len(sizes) // 2] if sizes else 1
    sound = []
    for opening in sorted(ends):
        if ends[opening]["end"] == 0 or ("sigterm" in events and ends[opening]["m"] > events["sigterm"]["m"]):
            continue
        head = open(os.path.join(work, f"head-{opening}.raw"), "rb").read()
        sound.append((opening, first_sound(head) * BYTES_PER_FRAME))
        sound += [None] * (max(1, round(ends[opening]["end"] / one)) - 1)
    count = min(len(real), len(sound)) if "sigterm" in events else len(real) - 1
    return count, sound


def scene_steps(p):
    """Top-level scene ends with the music position, real against headless."""
    real_ends = top_scenes(p["lines"], "end")
    ref_ends = {d["scene"]: d for d in top_scenes(p["ref"], "end")}
    return [(d, ref_ends.get(d["scene"])) for d in real_ends]


def report_stall(p, calm, events, clock, real_frames):
    stop, cont = events["stop"]["m"], events["cont"]["m"]
    print(f"\nStall: the program stopped for {cont - stop:.2f} s, "
          f"{stop - clock.mono(p['lines'][0]['t']):.1f} s into pass {p['k']}")
    f0, f1 = p["frames"]
    shown = [(i, clock.mono(real_frames[i])) for i in range(f0, f1)]
    before = [x for x in shown if x[1] <= stop]
    after = [x for x in shown if x[1] > stop]
    if before and after:
        first = after[0]
        gap = first[1] - before[-1][1]
        second = [x for x in after if x[1] < first[1] + 1.0]
        burst = sum(1 for a, b in zip(second, second[1:]) if b[1] - a[1] < 0.008)
        print(f"  first frame {1000 * (first[1] - cont):.0f} ms after SIGCONT; the demo clock moved "
              f"{real_frames[first[0]] - real_frames[before[-1][0]]:.2f} s across the gap of {gap:.2f} s")
        print(f"  frames in the second after it: {len(second)} (60 at the normal pace), "
              f"{burst} of them less than 8 ms after the one before (catch-up burst)")
    names = [d["scene"] for d in top_scenes(p["lines"], "begin")]
    ref_names = [d["scene"] for d in top_scenes(p["ref"], "begin")]
    skipped = [n for n in ref_names if n not in names]
    print(f"  scenes played: {len(names)} of {len(ref_names)}" + (f"; skipped: {', '.join(skipped)}" if skipped else ""))
    print("  where each scene ended in the music, rows after the headless run "
          f"(pass {p['k']} | undisturbed pass {calm['k']}):")
    calm_off = {d["scene"]: rows(d) - rows(h) for d, h in scene_steps(calm) if h}
    for d, h in scene_steps(p):
        off = rows(d) - rows(h) if h else None
        when = "after" if clock.mono(d["t"]) > cont else "before"
        print(f"    {d['scene']:15s} {fmt(off, '+d'):>5s} | {fmt(calm_off.get(d['scene']), '+d'):>5s}   ({when} the stall)")
    later = [s for s in p["syncs"] if s["heard"] > cont]
    if later:
        print(f"  markers heard after the stall: {len(later)}; sync median {med([s['sync'] for s in later]):.1f} ms, "
              f"worst {worst([s['sync'] for s in later]):.1f} ms; first frame shown median "
              f"{fmt(med([s['shown'] for s in later if s['shown'] is not None]))} ms, worst "
              f"{fmt(worst([s['shown'] for s in later if s['shown'] is not None]))} ms")


def report_starvation(p, events, clock, real_frames):
    a, b = events["starve"]["m"], events["fed"]["m"]
    f0, f1 = p["frames"]
    times = [real_frames[i] for i in range(f0, f1) if a <= clock.mono(real_frames[i]) <= b]
    drawn, missed = count_missed(times)
    print(f"\nStarvation: {events['starve'].get('processes', 2)} spinning processes for {b - a:.1f} s "
          f"in pass {p['k']}")
    print(f"  frames shown: {len(times)}; boundaries missed while drawing: {missed} of {drawn + missed} "
          f"= {100.0 * missed / max(1, drawn + missed):.1f}%")
    inside = [s for s in p["syncs"] if a <= s["heard"] <= b]
    if inside:
        shown = [s["shown"] for s in inside if s["shown"] is not None]
        ok = shown and max(abs(x) for x in shown) <= GOALS["starved_ms"]
        print(f"  markers heard meanwhile: {len(inside)}; sync median {med([s['sync'] for s in inside]):.1f} ms, "
              f"worst {worst([s['sync'] for s in inside]):.1f} ms; first frame shown median {fmt(med(shown))} ms, "
              f"worst {fmt(worst(shown))} ms (goal: within two frames, {GOALS['starved_ms']:.1f} ms) -> "
              f"{'met' if ok else 'NOT met'}")
        for s in inside:
            print(f"    order {s['order']:2d} row {s['row']:2d}: sync {s['sync']:7.1f}, frame {fmt(s['shown']):>7s}")
    else:
        print("  no marker was heard meanwhile")


if __name__ == "__main__":
    main()
