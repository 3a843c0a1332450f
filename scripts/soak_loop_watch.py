"""Watches a looping soak run (see soak-loop.sh) and ends it.

  soak_loop_watch.py WORK PID --passes N | --minutes M  [--disturb]

- The sound: SDL's disk driver writes into the FIFO WORK/audio.fifo. The
  driver opens it when the audio device opens and closes it when the device
  closes, which the program does between passes, so each opening is one
  pass's music. Every read is logged with the monotonic time (audio.jsonl);
  the first seconds of each pass are kept (head-K.raw) to find where the
  music starts in it. At the end of each pass the program's resident memory
  and CPU time are read from /proc.
- The trace: each new line of WORK/trace.jsonl with the monotonic time it was
  seen (watch.jsonl), which ties the demo clock to the monotonic one.
- The end: after N passes, or at the first pass end after M minutes, the
  program gets SIGTERM (it ends as if its window were closed).
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
HEAD_BYTES = 4 * 44100 * 3  # the first 3 s of each pass
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


passes_done = 0
pass_started = {}  # pass number -> monotonic time its sound began


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
    number = 0
    ended = False
    while True:
        fd = os.open(fifo, os.O_RDONLY)  # waits for the driver to open it
        number += 1
        try:
            fcntl.fcntl(fd, F_SETPIPE_SZ, 1 << 20)  # room for ~6 s if we lag
        except OSError:
            pass
        head = open(os.path.join(work, f"head-{number}.raw"), "wb")
        total = 0
        while True:
            chunk = os.read(fd, 1 << 16)
            now = time.monotonic()
            if not chunk:
                break
            if total == 0:
                pass_started[number] = now
            if total < HEAD_BYTES:
                head.write(chunk[: HEAD_BYTES - total])
            total += len(chunk)
            out.write(f'{{"m":{now:.6f},"pass":{number},"bytes":{total}}}\n')
        os.close(fd)
        head.close()
        sample = proc_sample()
        record = {"m": time.monotonic(), "pass": number, "end": total}
        if sample:
            record["rss_kb"], record["cpu_s"] = sample
        out.write(json.dumps(record) + "\n")
        out.flush()
        if total == 0:
            continue  # opened and closed without sound: not a pass
        passes_done = number
        if ended:
            continue
        if (args.passes and number >= args.passes) or (
            args.minutes and now - started >= args.minutes * 60.0
        ):
            ended = True
            end_run()


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
        watch.write(json.dumps({"m": now, "rss_kb": sample[0], "cpu_s": sample[1]}) + "\n")
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
