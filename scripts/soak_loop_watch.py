"""Watches a looping soak run (see soak-loop.sh) and ends it.

  soak_loop_watch.py WORK PID --passes N | --minutes M  [--disturb]

- The sound: SDL's disk driver writes into the FIFO WORK/audio.fifo. The
  driver opens it when the audio device opens and closes it when the device
  closes, which the program does between passes. Every read is logged with
  the monotonic time (audio.jsonl), and so is each start of the music: the
  first sound of the headless run (WORK/headless.wav) after silence. The
  music start, not the FIFO's end, tells the passes apart: when the program
  opens the device again before this watcher has read the end of the last
  one, one opening carries two passes. At each music start the program's
  resident memory and CPU time are read from /proc.
- The trace: each new line of WORK/trace.jsonl with the monotonic time it was
  seen (watch.jsonl), which ties the demo clock to the monotonic one.
- The end: when the music starts for pass N+1, or for the first pass after M
  minutes, the program gets SIGTERM (it ends as if its window were closed).
- --disturb, during the second pass: the program is stopped (SIGSTOP) for
  5 s, 30 s into the pass, and from 80 s into it both cores are kept busy by
  two spinning processes for 20 s. The moments go to events.jsonl.
"""
import argparse
import fcntl
import json
import os
import signal
import subprocess
import sys
import threading
import time

F_SETPIPE_SZ = 1031
SILENCE = bytes(64)  # sixteen silent sample frames before the music
STALL_AT, STALL_FOR = 30.0, 5.0
STARVE_AT, STARVE_FOR = 80.0, 20.0

ap = argparse.ArgumentParser()
ap.add_argument("work")
ap.add_argument("pid", type=int)
ap.add_argument("--passes", type=int, default=0)
ap.add_argument("--minutes", type=float, default=0.0)
ap.add_argument("--disturb", action="store_true")
args = ap.parse_args()
work, pid = args.work, args.pid
started = time.monotonic()
ticks = os.sysconf("SC_CLK_TCK")

# Our timestamps must stay honest while the cores are starved on purpose.
try:
    os.setpriority(os.PRIO_PROCESS, 0, -5)
except OSError:
    pass


def proc_sample():
    """Resident memory (kB) and CPU time (s) of the program, or None."""
    try:
        with open(f"/proc/{pid}/status") as f:
            rss = next(int(l.split()[1]) for l in f if l.startswith("VmRSS:"))
        with open(f"/proc/{pid}/stat") as f:
            fields = f.read().rsplit(")", 1)[1].split()
        cpu = (int(fields[11]) + int(fields[12])) / ticks  # utime + stime
        return rss, cpu
    except (OSError, StopIteration, IndexError, ValueError):
        return None


lock = threading.Lock()
events = open(os.path.join(work, "events.jsonl"), "w")


def event(**kv):
    with lock:
        events.write(json.dumps({"m": time.monotonic(), **kv}) + "\n")
        events.flush()


def music_signature():
    """The headless run's first sounding 256 bytes, with silence before them."""
    data = open(os.path.join(work, "headless.wav"), "rb").read()
    at = data.index(b"data") + 8
    first = next(i for i in range(at, len(data), 4) if any(data[i : i + 4]))
    return SILENCE + data[first : first + 256]


signature = music_signature()
passes_done = 0
pass_started = {}  # pass number -> monotonic time its music began


def end_run():
    event(what="sigterm")
    try:
        os.kill(pid, signal.SIGTERM)
    except ProcessLookupError:
        pass


def audio_reader():
    global passes_done
    fifo = os.path.join(work, "audio.fifo")
    out = open(os.path.join(work, "audio.jsonl"), "w")
    opening = 0
    ended = False
    while True:
        fd = os.open(fifo, os.O_RDONLY)  # waits for the driver to open it
        opening += 1
        try:
            fcntl.fcntl(fd, F_SETPIPE_SZ, 1 << 20)  # room for ~6 s if we lag
        except OSError:
            pass
        total = 0
        tail = b""  # the end of what came before, for a start across two reads
        while True:
            chunk = os.read(fd, 1 << 16)
            now = time.monotonic()
            if not chunk:
                break
            seen = tail + chunk
            at = seen.find(signature)
            while at >= 0:
                passes_done += 1
                pass_started[passes_done] = now
                record = {"m": now, "opening": opening, "music": total - len(tail) + at + len(SILENCE),
                          "pass": passes_done}
                sample = proc_sample()
                if sample:
                    record["rss_kb"], record["cpu_s"] = sample
                out.write(json.dumps(record) + "\n")
                if not ended and ((args.passes and passes_done > args.passes) or
                                  (args.minutes and passes_done > 1 and now - started >= args.minutes * 60.0)):
                    ended = True
                    end_run()
                at = seen.find(signature, at + 1)
            total += len(chunk)
            tail = seen[-(len(signature) - 1) :]
            out.write(f'{{"m":{now:.6f},"opening":{opening},"bytes":{total}}}\n')
        os.close(fd)
        out.write(json.dumps({"m": time.monotonic(), "opening": opening, "end": total}) + "\n")
        out.flush()


threading.Thread(target=audio_reader, daemon=True).start()

trace_path = os.path.join(work, "trace.jsonl")
watch = open(os.path.join(work, "watch.jsonl"), "w")
trace = None
pending = ""
next_sample = 0.0
burners = []
stall_done = starve_begun = starve_done = False
while True:
    now = time.monotonic()
    if trace is None and os.path.exists(trace_path):
        trace = open(trace_path)
    if trace is not None:
        chunk = trace.read()
        if chunk:
            pending += chunk
            *complete, pending = pending.split("\n")
            for line in complete:
                watch.write(json.dumps({"m": now, "trace": line}) + "\n")
            watch.flush()
    if now >= next_sample:
        sample = proc_sample()
        if sample is None:
            break  # the program has ended
        with open("/proc/loadavg") as f:
            load = float(f.read().split()[0])
        watch.write(json.dumps({"m": now, "rss_kb": sample[0], "cpu_s": sample[1], "load": load}) + "\n")
        next_sample = now + 1.0
    if args.disturb and 2 in pass_started:
        into = now - pass_started[2]
        if not stall_done and into >= STALL_AT:
            event(what="stop")
            os.kill(pid, signal.SIGSTOP)
            time.sleep(STALL_FOR)
            os.kill(pid, signal.SIGCONT)
            event(what="cont")
            stall_done = True
        elif not starve_begun and into >= STARVE_AT:
            spin = "while True: pass"
            burners = [subprocess.Popen([sys.executable, "-c", spin]) for _ in range(os.cpu_count() or 2)]
            for b in burners:  # as important as the demo, no more
                os.setpriority(os.PRIO_PROCESS, b.pid, 0)
            event(what="starve", processes=len(burners))
            starve_begun = True
        elif starve_begun and not starve_done and into >= STARVE_AT + STARVE_FOR:
            for b in burners:
                b.kill()
                b.wait()
            event(what="fed")
            starve_done = True
    time.sleep(0.002)

for b in burners:
    if b.poll() is None:
        b.kill()
        b.wait()
event(what="exit", passes=passes_done)
