#!/usr/bin/env python3
"""Soak run: merovan-cli polls an exchange directory against merovan-register, which
misbehaves as a seeded plan says, while the driver is killed with SIGKILL now and then and
started again. A POS stand-in drops numbered jobs one at a time, waits for each result and
deletes the job file. At the end the register's receipt log must show every job issued as
exactly one closed receipt holding exactly its items, no receipt holding items of two jobs,
and every result file must end in a final "exitcode = " line."""

import argparse
import os
import random
import re
import signal
import statistics
import struct
import subprocess
import sys
import time
from dataclasses import dataclass, field
from pathlib import Path

POLLING = "Merovan- Αναμονή"
CARD_ANSWER = "358OK:00012345:1:0:{amount}:4:0:0:0:0:TID01:123456:7:VISA:02:AUTH99"
JOB_TIMEOUT = 300.0  # a card answer that never comes costs the driver 200 s

# Fault rates per job. Silent commands cost the driver 5 s (answered on the second attempt)
# or 20 s (never answered), a card answer that never comes 200 s: those stay rare.
FAULTS = [
    ("error", 0.03),
    ("silent-once", 0.02),
    ("silent-never", 0.004),
    ("split", 0.06),
    ("late", 0.05),
]
CARD_SHARE = 0.15          # jobs paid by card
CARD_LATE_SHARE = 0.1      # of those: the terminal answers 3 to 20 s late
CARD_NEVER_SHARE = 0.01    # of those: the terminal never answers
KILL_EVERY = (30, 70)      # jobs between two kills
# A payment that the register refuses or never hears leaves the receipt open, which the job
# language allows; faults that leave a command undone therefore fall on sales only.
UNDOING = ("error", "silent-never")
# An exit code after which the result file goes on: the job is printed again in full.
PRINTED_AGAIN = "exitcode = 5"
# The first jobs show each fault once, so that a short run meets them all; a card answer that
# never comes is left to chance, as it costs 200 s.
PRELUDE = {2: "error", 3: "silent-once", 4: "silent-never", 5: "split", 6: "late", 7: "card"}


@dataclass
class Job:
    number: int
    name: str                 # print.1 ... print.10
    sales: list               # the sale commands the register should see
    payment: str
    card: str = ""            # "", "soon", "late", "never"
    faults: dict = field(default_factory=dict)  # command -> (kind, rule line)
    kill_after: float = -1.0  # seconds after the drop; -1: no kill
    path: Path = None
    # Filled in by the run.
    outcome: str = ""         # "done", "interrupted", "lost"
    seconds: float = 0.0


def plan(count, seed):
    rng = random.Random(seed)
    jobs = []
    next_kill = rng.randint(*KILL_EVERY)
    for n in range(1, count + 1):
        price = 100 + n  # hundredths; makes every job's commands its own
        # No blanks: a scenario rule's pattern ends at the first one.
        sales = [f"KX{price}R1SOAK{n:05d}A", f"KX200R2SOAK{n:05d}B"]
        total = price + 200
        job = Job(n, f"print.{(n - 1) % 10 + 1}", sales, f"KX{total}T1")
        forced = PRELUDE.get(n)
        if forced == "card" or rng.random() < CARD_SHARE:
            job.payment = f"KX{total}T2P1"
            draw = rng.random()
            job.card = ("late" if forced else
                        "never" if draw < CARD_NEVER_SHARE else
                        "late" if draw < CARD_NEVER_SHARE + CARD_LATE_SHARE else "soon")
        draw = rng.random()
        for kind, rate in FAULTS:
            if forced == kind or (not forced and draw < rate):
                target = rng.choice(sales if kind in UNDOING else sales + [job.payment])
                if job.card and target == job.payment:
                    target = sales[0]  # the card payment's own rule decides its answers
                job.faults[target] = (kind, fault_rule(kind, target, rng))
                break
            draw -= rate
        if job.card in ("soon", "late") and job.payment not in job.faults:
            delay = rng.uniform(0.2, 1.0) if job.card == "soon" else rng.uniform(3, 20)
            answer = CARD_ANSWER.format(amount=total)
            job.faults[job.payment] = ("card", f"card {job.payment} {delay:.1f} {answer}")
        if n == next_kill:
            # A job takes about a second: most kills land in the middle of one.
            job.kill_after = rng.uniform(0.0, 1.5)
            next_kill += rng.randint(*KILL_EVERY)
        jobs.append(job)
    return jobs


def fault_rule(kind, command, rng):
    if kind == "error":
        return f"error {command} times=1 {rng.choice([1005, 1011, 6])}"
    if kind == "silent-once":
        return f"silent {command} times=1"
    if kind == "silent-never":
        return f"silent {command}"
    if kind == "split":
        sizes = ",".join(str(rng.randint(1, 3)) for _ in range(rng.randint(1, 3)))
        return f"split {command} {sizes} {rng.randint(10, 400)}"
    # Late, but within the driver's 5 s per attempt: a later answer makes it send again.
    return f"late {command} {rng.randint(300, 4000)}"


def fixed_columns(fields):
    """A job line: each text placed at its 1-based column."""
    line = ""
    for column, text in sorted(fields.items()):
        line = line.ljust(column - 1) + text
    return line


def job_text(job, result):
    lines = [f"resFile:  {result}", f"tag:  SOAK {job.number}"]
    for sale in job.sales:
        price, category, description = re.match(r"KX(\d+)R(\d)(.*)", sale).groups()
        rate = ["24", "13"][int(category) - 1]
        lines.append(fixed_columns({2: "PLU", 20: description, 48: "1.000",
                                    57: f"{int(price) / 100:.2f}", 69: rate}))
    total = re.match(r"KX(\d+)T", job.payment).group(1)
    lines.append(fixed_columns({2: "to", 8: "2" if job.card else "1",
                                11: f"{int(total) / 100:.2f}"}))
    return ("\r\n".join(lines) + "\r\n").encode("cp1253")


class Driver:
    """merovan-cli in the work directory; each run logs to a file of its own."""

    def __init__(self, binary, work, trace):
        self.binary, self.work, self.trace = binary, work, trace
        self.runs = 0
        self.process = None
        self.log = None

    def start(self):
        self.runs += 1
        self.log = self.work / f"driver-{self.runs:03d}.log"
        args = [self.binary] + (["--trace"] if self.trace else [])
        with open(self.log, "wb") as log:
            self.process = subprocess.Popen(args, cwd=self.work, stdout=log, stderr=log)
        deadline = time.monotonic() + 30
        while POLLING not in self.log_text():
            if time.monotonic() > deadline or self.process.poll() is not None:
                self.kill()
                raise SystemExit(f"soak: the driver did not start polling; see {self.log}")
            time.sleep(0.05)

    def log_text(self):
        return self.log.read_text(encoding="utf-8", errors="replace")

    def kill(self):
        self.process.send_signal(signal.SIGKILL)
        self.process.wait()

    def stop(self):
        self.process.send_signal(signal.SIGTERM)
        status = self.process.wait(timeout=JOB_TIMEOUT)
        if status != 0:
            raise SystemExit(f"soak: the driver ended with {status}")


def setup(work, device):
    location = work / "exchange"
    location.mkdir()
    (work / "results").mkdir()
    params = [f"[port] {device}", "[baud] 9600", "[file] print", "[ecrt] vesko",
              "[multi type] true", "[time] 0", "[print_desc] true", "[print_code] falseN",
              "[comments] true", "[currency]=0", "[keyb_off]=false", "[dir_depa]=false",
              "[quantity]=false", "[AutoStar]=yes", f"[location] {location}/"]
    (work / "param.ini").write_bytes(("\r\n".join(params) + "\r\n").encode("cp1253"))
    (work / "vats.dat").write_bytes(struct.pack("<5d", 24, 13, 6, 0, 17))
    # Payment number 2 is a card payment: register kind 2, terminal 1, active.
    (work / "payeft.dat").write_bytes(bytes(128) + struct.pack("<4h", 2, 2, 1, -1))


def drop(job, path, result, rng):
    text = job_text(job, result)
    # A POS either writes aside and renames, or writes the file and closes it promptly.
    if rng.random() < 0.5:
        side = path.with_suffix(".part")
        side.write_bytes(text)
        side.rename(path)
    else:
        path.write_bytes(text)


def final_exit(text):
    """The result file's last line when it is a final "exitcode = " line, else None."""
    lines = text.splitlines()
    last = lines[-1] if lines else ""
    return last if last.startswith("exitcode = ") and last != PRINTED_AGAIN else None


def wait_for_result(job, result, driver):
    deadline = time.monotonic() + JOB_TIMEOUT
    while time.monotonic() < deadline:
        if driver.process.poll() is not None:
            raise SystemExit(f"soak: the driver ended by itself at job {job.number}; "
                             f"see {driver.log}")
        text = result.read_text(encoding="cp1253") if result.exists() else ""
        if final_exit(text):
            return "recovered" if "recAction = " in text else "done"
        time.sleep(0.02)
    return "lost"


def run(args):
    work = Path(args.work).resolve()
    args.bin = str(Path(args.bin).resolve())
    if work.exists():
        subprocess.run(["rm", "-rf", str(work)], check=True)
    work.mkdir(parents=True)
    jobs = plan(args.jobs, args.seed)
    scenario = [rule for job in jobs for _, rule in job.faults.values()]
    (work / "scenario.txt").write_text("\n".join(scenario) + "\n", encoding="cp1253")

    # On a serial line: over UDP the driver binds the register's port on every local address,
    # so the two cannot share one machine.
    register = subprocess.Popen(
        [f"{args.bin}/merovan-register", "--pty", "--traffic", str(work / "traffic.txt"),
         "--receipt-log", str(work / "receipts.txt"), "--scenario", str(work / "scenario.txt")],
        stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True)
    driver = None
    try:
        device = register.stdout.readline().strip()
        if not device:
            raise SystemExit("soak: merovan-register did not start")
        setup(work, device)
        driver = Driver(f"{args.bin}/merovan-cli", work, args.trace)
        driver.start()
        rng = random.Random(args.seed + 1)
        began = time.monotonic()
        for job in jobs:
            job.path = work / "exchange" / job.name
            result = work / "results" / f"job{job.number:05d}.txt"
            start = time.monotonic()
            drop(job, job.path, result, rng)
            if job.kill_after >= 0:
                time.sleep(job.kill_after)
                driver.kill()
                driver.start()
            job.outcome = wait_for_result(job, result, driver)
            job.seconds = time.monotonic() - start
            job.path.unlink(missing_ok=True)  # the POS has read its result
            if job.outcome == "lost":
                print(f"soak: job {job.number} has no result after {JOB_TIMEOUT:.0f} s",
                      file=sys.stderr)
            if args.verbose:
                print(f"job {job.number}: {job.outcome} {job.seconds:.1f}s", flush=True)
        elapsed = time.monotonic() - began
        driver.stop()
    finally:
        if driver and driver.process.poll() is None:
            driver.kill()  # the run stopped short: leave nothing behind
        register.send_signal(signal.SIGTERM)
        register.wait(timeout=10)
    return jobs, work, driver.runs, elapsed


def receipt_log(work):
    """The closed receipts as lists of items, and what was left open, from the register."""
    closed, still_open = [], []
    for line in (work / "receipts.txt").read_bytes().decode("cp1253").splitlines():
        what, _number, _total, *items = line.split("\t")
        if what == "closed":
            closed.append(items)
        elif what.startswith("open-"):
            still_open.append(items)
    return closed, still_open


def job_of(item):
    found = re.search(r"SOAK(\d{5})", item)
    return int(found.group(1)) if found else None


def check(jobs, work):
    """Problems as (job, kind, detail), kind "duplicate", "lost" or "mixed"; and how many
    receipts held items of two jobs."""
    closed, still_open = receipt_log(work)
    receipts = {job.number: [] for job in jobs}
    problems = []
    mixed = 0
    for items, issued in [(items, True) for items in closed] + [(items, False)
                                                               for items in still_open]:
        owners = {job_of(item) for item in items}
        if len(owners) > 1:
            mixed += 1
            for number in sorted(n for n in owners if n is not None):
                problems.append((jobs[number - 1], "mixed", f"a receipt holds {items}"))
        elif issued and owners and None not in owners:
            receipts[owners.pop()].append(items)
    for job in jobs:
        undone = {sale for sale, (kind, _) in job.faults.items() if kind in UNDOING}
        # Only the first copy of a command is refused or unheard: a job printed again after a
        # kill may have its refused sale carried out the second time.
        once = {sale for sale, (kind, _) in job.faults.items() if kind == "error"}
        must = [sale for sale in job.sales if sale not in undone]
        may = set(must) | (once if job.outcome == "recovered" else set())
        result = work / "results" / f"job{job.number:05d}.txt"
        text = result.read_text(encoding="cp1253") if result.exists() else ""
        held = receipts[job.number]
        if len(held) > 1:
            problems.append((job, "duplicate", f"{len(held)} receipts: {held}"))
        elif not held:
            problems.append((job, "lost", "no closed receipt holds its items"))
        elif any(held[0].count(item) > 1 or item not in may for item in held[0]):
            problems.append((job, "duplicate", f"its receipt holds {held[0]}"))
        elif any(item not in held[0] for item in must):
            problems.append((job, "lost", f"its receipt holds {held[0]}, expected {must}"))
        elif not final_exit(text):
            problems.append((job, "lost", "its result file has no final exitcode line"))
    return problems, mixed


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("jobs", nargs="?", type=int, default=1000)
    parser.add_argument("--seed", type=int, default=20261206)
    parser.add_argument("--bin", default="build/release/src/apps")
    parser.add_argument("--work", default="build/soak")
    parser.add_argument("--trace", action="store_true", help="register traffic in the logs")
    parser.add_argument("--verbose", action="store_true", help="a line per job")
    args = parser.parse_args()

    jobs, work, runs, elapsed = run(args)
    problems, mixed = check(jobs, work)
    recovered = [job for job in jobs if job.outcome == "recovered"]
    done = [job for job in jobs if job.outcome == "done"]
    killed = [job for job in jobs if job.kill_after >= 0]
    actions = {}
    for path in sorted((work / "results").glob("job*.txt")):
        for line in path.read_text(encoding="cp1253").splitlines():
            if line.startswith("recAction = "):
                action = line[len("recAction = "):]
                actions[action] = actions.get(action, 0) + 1
    kinds = {}
    for job in jobs:
        for kind, _ in job.faults.values():
            kinds[kind] = kinds.get(kind, 0) + 1
        if job.card == "never":
            kinds["card-never"] = kinds.get("card-never", 0) + 1
    kinds["card-late"] = sum(1 for job in jobs if job.card == "late")
    seconds = sorted(job.seconds for job in done + recovered)
    duplicates = sum(1 for _, what, _ in problems if what == "duplicate")
    lost = sum(1 for _, what, _ in problems if what == "lost")

    print(f"soak: {len(jobs)} jobs in {elapsed:.0f} s, seed {args.seed}")
    print(f"  kills {runs - 1} ({len(killed)} planned); jobs recovered at a restart "
          f"{len(recovered)}: " +
          (", ".join(f"{action} {count}" for action, count in sorted(actions.items()))
           or "none"))
    print("  faults: " + ", ".join(f"{kind} {count}" for kind, count in sorted(kinds.items())))
    if seconds:
        print(f"  time per job: mean {statistics.mean(seconds):.2f} s, median "
              f"{statistics.median(seconds):.2f} s, max {seconds[-1]:.1f} s")
    print(f"  duplicates {duplicates}, lost {lost}, mixed {mixed}")
    for job, what, detail in problems[:20]:
        print(f"  job {job.number} ({job.name}): {what}: {detail}", file=sys.stderr)
    if problems:
        print(f"soak: FAILED; the run is in {work}", file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
