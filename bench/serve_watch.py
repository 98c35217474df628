#!/usr/bin/env python3
"""What the printer watch costs the calls, and the service's own share of a
cheap query (not a test; the figures go in the change's notes):

  bench/serve_watch.py BUILD_FOLDER [CALLS]

KALPO_NumeroCupom on BEMATECHMP20's virtual printer over one kept-alive
connection, with the watch off, at its default interval and at 0.25 s over
three printers; for each, calls a second, the median and 99th-percentile
latency, and the service's own share (the latency less the call's own time
the answer gives as `ms`: the HTTP trip, the queue, the log line, the look
for new pages).  Then libkalpo straight (ctypes), in the same run."""
import http.client
import json
import os
import statistics
import tempfile
import time

from cheap_query import MODEL, arguments, direct

build, calls = arguments(5000)
from service import Service  # noqa: E402


def summary(times, shares, elapsed):
    times.sort()
    row = {"per_second": round(len(times) / elapsed), "median_ms": statistics.median(times),
           "p99_ms": times[int(len(times) * 0.99)]}
    if shares:
        row["share_ms"] = statistics.median(shares)
    return row


def through(service):
    connection = http.client.HTTPConnection("127.0.0.1", service.port)
    headers = {"Host": "127.0.0.1:%d" % service.port, "Authorization": "Bearer " + service.token,
               "Content-Type": "application/json"}
    body = json.dumps({"args": {"modelo": MODEL}})

    def call():
        connection.request("POST", "/v1/call/NumeroCupom", body, headers)
        answer = json.loads(connection.getresponse().read())
        assert answer["result"] == 1, answer
        return answer["ms"]

    for _ in range(300):
        call()
    times, shares = [], []
    started = time.perf_counter()
    for _ in range(calls):
        before = time.perf_counter()
        own = call()
        took = (time.perf_counter() - before) * 1000
        times.append(took)
        shares.append(took - own)
    elapsed = time.perf_counter() - started
    connection.close()
    return summary(times, shares, elapsed)


rows = {}
for name, args in (("watch off", ["--watch-interval", "0"]),
                   ("watch on, 3 s (default)", ["--printer", MODEL]),
                   ("watch on, 0.25 s, 3 printers", ["--printer", MODEL, "--printer", "SWEDA7000", "--printer",
                                                     "DARUMA32", "--watch-interval", "0.25"])):
    service = Service(*args, "--log-format", "json")
    try:
        rows[name] = through(service)
    finally:
        service.stop()

with tempfile.TemporaryDirectory(prefix="kalpo-bench-") as folder:
    os.environ.update(KALPO_SIM_DIR=os.path.join(folder, "sim"), KALPO_DRIVE_C=os.path.join(folder, "c"))
    query = direct(build)
    for _ in range(300):
        query()
    times = []
    started = time.perf_counter()
    for _ in range(calls):
        before = time.perf_counter()
        query()
        times.append((time.perf_counter() - before) * 1000)
    rows["libkalpo directly (ctypes)"] = summary(times, [], time.perf_counter() - started)

print("KALPO_NumeroCupom, %d calls each, one kept-alive connection:" % calls)
print("| %-30s | %8s | %9s | %8s | %13s |" % ("", "calls/s", "median ms", "p99 ms", "service's ms"))
print("|%s|%s|%s|%s|%s|" % ("-" * 32, "-" * 10, "-" * 11, "-" * 10, "-" * 15))
for name, row in rows.items():
    share = "%.3f" % row["share_ms"] if "share_ms" in row else "-"
    print("| %-30s | %8d | %9.3f | %8.3f | %13s |" % (name, row["per_second"], row["median_ms"], row["p99_ms"], share))
