#!/usr/bin/env python3
"""A cheap query (KALPO_NumeroCupom on BEMATECHMP20's virtual printer) three
ways, for the figures the README quotes (not a test):

  bench/client_bench.py BUILD_FOLDER [CALLS]

through the JavaScript client in Node and through fetch alone (each over one
kept-alive connection), through Python's http.client on a kept-alive
connection, and straight into libkalpo (ctypes): calls a second, and the
median and 99th-percentile latency."""
import http.client
import json
import os
import statistics
import subprocess
import time

from cheap_query import HERE as here, MODEL, arguments, direct

build, calls = arguments(3000)
from service import Service  # noqa: E402


def figures(call):
    for _ in range(200):
        call()
    times = []
    started = time.perf_counter()
    for _ in range(calls):
        before = time.perf_counter()
        call()
        times.append((time.perf_counter() - before) * 1000)
    elapsed = time.perf_counter() - started
    times.sort()
    return {"per_second": round(calls / elapsed), "median_ms": statistics.median(times),
            "p99_ms": times[int(calls * 0.99)]}


service = Service()
os.environ.update(KALPO_SIM_DIR=os.path.join(service.folder.name, "sim"),
                  KALPO_DRIVE_C=os.path.join(service.folder.name, "c"))
try:
    rows = {}
    node = subprocess.run(["node", os.path.join(here, "client_bench.mjs"), service.base, service.token, str(calls)],
                          capture_output=True, text=True, check=True)
    measured = json.loads(node.stdout)
    rows["JS client (Node, kept-alive)"] = measured["client"]
    rows["fetch alone (Node, kept-alive)"] = measured["fetch"]

    connection = http.client.HTTPConnection("127.0.0.1", service.port)
    headers = {"Host": "127.0.0.1:%d" % service.port, "Authorization": "Bearer " + service.token,
               "Content-Type": "application/json"}
    body = json.dumps({"args": {"modelo": MODEL}})

    def over_http():
        connection.request("POST", "/v1/call/NumeroCupom", body, headers)
        assert json.loads(connection.getresponse().read())["result"] == 1

    rows["raw HTTP (Python, kept-alive)"] = figures(over_http)
    connection.close()

    rows["libkalpo directly (ctypes)"] = figures(direct(build))
finally:
    service.stop()
print("KALPO_NumeroCupom, %d calls each:" % calls)
print("  %-32s %10s %10s %10s" % ("", "calls/s", "median ms", "p99 ms"))
for name, row in rows.items():
    print("  %-32s %10d %10.3f %10.3f" % (name, row["per_second"], row["median_ms"], row["p99_ms"]))
