"""Watches a real-time soak run: when each trace line appears and when the
audio file grows, on the monotonic clock. Writes watch.jsonl in the folder."""
import json
import os
import sys
import time

work = sys.argv[1]
trace_path = os.path.join(work, "trace.jsonl")
audio_path = os.path.join(work, "audio.raw")
out = open(os.path.join(work, "watch.jsonl"), "w")
offset = 0
pending = ""
last_size = -1
while True:
    now = time.monotonic()
    try:
        size = os.stat(audio_path).st_size
    except FileNotFoundError:
        size = 0
    if size != last_size:
        out.write(json.dumps({"m": now, "audio": size}) + "\n")
        last_size = size
    try:
        with open(trace_path) as f:
            f.seek(offset)
            chunk = f.read()
            offset = f.tell()
    except FileNotFoundError:
        chunk = ""
    if chunk:
        pending += chunk
        *complete, pending = pending.split("\n")
        for line in complete:
            out.write(json.dumps({"m": now, "trace": line}) + "\n")
        out.flush()
    time.sleep(0.0005)
