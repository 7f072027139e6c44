#!/usr/bin/env python3
"""A small mutation runner: do the fast tests notice a planted fault?

Each mutant of tools/mutants.txt is a one-line edit of a source file. The
runner copies the repository's files (as they are in the worktree, committed
or not) to a scratch folder, builds the test programs there once, and then
for every mutant: applies the edit, rebuilds only the test programs (ninja
recompiles the one file and relinks what uses it), runs the tests of the
programs that changed (unit, dsp, effects, integration and the desktop bus;
never the end-to-end tests), and puts the line back. A mutant is

  caught    some test failed or timed out,
  survived  every test passed,
  n/a       its line is not in the file any more, or it does not compile.

Usage:
  tools/mutate.py                      # every mutant, table on stdout
  tools/mutate.py --check              # only check that every mutant applies
  tools/mutate.py --only registry,INI  # mutants whose name contains a word
  tools/mutate.py --report out.md      # also write the table as Markdown
The scratch folder defaults to build-mutate/ in the repository (ignored by
git); kept between runs, so a second run starts warm.
"""
import argparse
import os
import re
import shutil
import subprocess
import sys
import time
from pathlib import Path

ROOT = Path(__file__).resolve().parent.parent
TEST_PROGRAMS = {
    "mixora_unit_tests": "unit",
    "mixora_dsp_tests": "dsp",
    "mixora_effect_tests": "effects",
    "mixora_integration_tests": "integration",
    # MPRIS as a client sees it, on a private session bus of its own.
    "mixora_bus_tests": "bus",
}


class Mutant:
    def __init__(self, fields, line_no):
        self.name = fields.get("name", f"line {line_no}")
        self.file = fields["file"]
        self.original = fields["from"]
        self.replacement = fields["to"]
        self.nth = int(fields.get("nth", "0"))
        self.result = ""
        self.detail = ""


def read_mutants(path):
    mutants, fields, start = [], {}, 0
    lines = path.read_text().splitlines() + [""]
    for number, line in enumerate(lines, 1):
        if line.startswith("#"):
            continue
        if not line.strip():
            if fields:
                for key in ("file", "from", "to"):
                    if key not in fields:
                        sys.exit(f"{path}:{start}: mutant without '{key}:'")
                mutants.append(Mutant(fields, start))
                fields = {}
            continue
        key, sep, value = line.partition(":")
        if not sep:
            sys.exit(f"{path}:{number}: expected 'key: value'")
        if not fields:
            start = number
        fields[key.strip()] = value.strip()
    return mutants


def apply(mutant, text):
    """The mutated text, or None when the line is not found exactly once
    (or at the given occurrence)."""
    lines = text.split("\n")
    hits = [i for i, l in enumerate(lines) if l.strip() == mutant.original]
    if mutant.nth:
        if len(hits) < mutant.nth:
            return None
        at = hits[mutant.nth - 1]
    else:
        if len(hits) != 1:
            return None
        at = hits[0]
    indent = lines[at][: len(lines[at]) - len(lines[at].lstrip())]
    lines[at] = indent + mutant.replacement
    return "\n".join(lines)


def run(cmd, cwd, timeout=None, log=None):
    with open(log, "w") if log else open(os.devnull, "w") as out:
        try:
            return subprocess.run(cmd, cwd=cwd, stdout=out, stderr=subprocess.STDOUT,
                                  timeout=timeout).returncode
        except subprocess.TimeoutExpired:
            return -1


def copy_sources(scratch):
    """Mirrors the worktree's tracked files into scratch/src: only files that
    differ are written, with a fresh time so ninja sees them as changed, and
    files no longer tracked are removed (the test lists are globbed)."""
    files = subprocess.run(["git", "ls-files", "-z"], cwd=ROOT, check=True,
                           capture_output=True).stdout.decode().split("\0")
    dest = scratch / "src"
    tracked = set()
    for name in filter(None, files):
        source = ROOT / name
        if not source.is_file():
            continue
        tracked.add(name)
        target = dest / name
        if target.is_file() and target.read_bytes() == source.read_bytes():
            continue
        target.parent.mkdir(parents=True, exist_ok=True)
        shutil.copy(source, target)
    if dest.is_dir():
        for path in dest.rglob("*"):
            if path.is_file() and path.relative_to(dest).as_posix() not in tracked:
                path.unlink()
    return dest


def program_times(build):
    times = {}
    for program in TEST_PROGRAMS:
        found = list(build.glob(f"tests/{program}"))
        times[program] = found[0].stat().st_mtime if found else 0
    return times


def main():
    parser = argparse.ArgumentParser(description=__doc__,
                                     formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--list", type=Path, default=ROOT / "tools" / "mutants.txt")
    parser.add_argument("--scratch", type=Path, default=ROOT / "build-mutate")
    parser.add_argument("--only", default="")
    parser.add_argument("--check", action="store_true")
    parser.add_argument("--report", type=Path)
    parser.add_argument("--jobs", default="2")
    parser.add_argument("--test-timeout", type=int, default=300)
    parser.add_argument("--until", help="start no mutant after this clock time (HH:MM); "
                        "the rest are listed as not run")
    args = parser.parse_args()

    wanted = [w for w in args.only.split(",") if w] or [""]
    mutants = [m for m in read_mutants(args.list) if any(w in m.name for w in wanted)]
    if args.check:
        bad = 0
        for m in mutants:
            path = ROOT / m.file
            if not path.is_file() or apply(m, path.read_text()) is None:
                print(f"does not apply: {m.name} ({m.file})")
                bad += 1
        print(f"{len(mutants) - bad} of {len(mutants)} mutants apply")
        return 1 if bad else 0

    scratch = args.scratch.resolve()
    source = copy_sources(scratch)
    build = source / "build"
    logs = scratch / "logs"
    logs.mkdir(parents=True, exist_ok=True)
    # CI's flags for the gcc build (so a compiler cache already holds every
    # object; a mutant that only warns counts as not compiling), linked by
    # gold without debug info: the test programs relink for every mutant
    # and that is most of the time a mutant takes.
    configure = ["cmake", "-S", ".", "-B", "build", "-G", "Ninja",
                 "-DCMAKE_BUILD_TYPE=RelWithDebInfo", "-DMIXORA_BUILD_BENCH=OFF",
                 "-DMIXORA_WERROR=ON",
                 "-DCMAKE_EXE_LINKER_FLAGS=-fuse-ld=gold -Wl,--strip-debug"]
    if shutil.which("ccache"):
        configure.append("-DCMAKE_CXX_COMPILER_LAUNCHER=ccache")
    build_cmd = ["cmake", "--build", "build", "-j", args.jobs, "--target", *TEST_PROGRAMS]
    if run(configure, source, log=logs / "configure.log") != 0:
        sys.exit(f"configure failed, see {logs / 'configure.log'}")
    print("building the test programs once ...", flush=True)
    if run(build_cmd, source, log=logs / "baseline-build.log") != 0:
        sys.exit(f"baseline build failed, see {logs / 'baseline-build.log'}")
    labels = "|".join(TEST_PROGRAMS.values())
    ctest = ["ctest", "--test-dir", "build", "-j", args.jobs, "--stop-on-failure",
             "--timeout", str(args.test_timeout)]
    started = time.time()
    if run(ctest + ["-L", labels], source, log=logs / "baseline-tests.log") != 0:
        sys.exit(f"the tests fail without any mutant, see {logs / 'baseline-tests.log'}")
    print(f"baseline: tests pass ({time.time() - started:.0f} s)", flush=True)

    deadline = None
    if args.until:
        hour, minute = (int(v) for v in args.until.split(":"))
        now = time.localtime()
        deadline = time.mktime((now.tm_year, now.tm_mon, now.tm_mday, hour, minute, 0, 0, 0, -1))
    for index, m in run_order(mutants):
        if deadline and time.time() > deadline:
            m.result, m.detail = "not run", "out of time"
            continue
        path = source / m.file
        original = path.read_text() if path.is_file() else None
        mutated = apply(m, original) if original is not None else None
        if mutated is None:
            m.result, m.detail = "n/a", "line not found"
        else:
            before = program_times(build)
            path.write_text(mutated)
            try:
                log = logs / f"{index:03d}.log"
                if run(build_cmd, source, log=log) != 0:
                    m.result, m.detail = "n/a", "does not compile"
                else:
                    after = program_times(build)
                    changed = [TEST_PROGRAMS[p] for p in TEST_PROGRAMS if after[p] != before[p]]
                    if not changed:
                        m.result, m.detail = "survived", "no test program uses the line"
                    else:
                        rc = run(ctest + ["-L", "|".join(changed), "--output-on-failure"],
                                 source, timeout=args.test_timeout * 3, log=log)
                        m.result = "caught" if rc != 0 else "survived"
                        m.detail = first_failure(log) if rc != 0 else "+".join(changed)
            finally:
                path.write_text(original)
        print(f"[{index}/{len(mutants)}] {m.result:8} {m.name} ({m.detail})", flush=True)

    # Put the scratch build back to the unmutated state for the next run.
    run(build_cmd, source, log=logs / "restore-build.log")
    table = render(mutants)
    print(table)
    if args.report:
        args.report.write_text(table)
    return 0


def run_order(mutants):
    """(number, mutant) pairs taking one mutant of each folder in turn, so a
    run cut short still has covered every room."""
    rooms = {}
    for index, m in enumerate(mutants, 1):
        rooms.setdefault(str(Path(m.file).parent), []).append((index, m))
    queues = list(rooms.values())
    while any(queues):
        for queue in queues:
            if queue:
                yield queue.pop(0)


def first_failure(log):
    pattern = re.compile(r"Test\s+#\d+: (\S+) \.*\*\*\*(Failed|Timeout|Exception)")
    for line in Path(log).read_text(errors="replace").splitlines():
        found = pattern.search(line)
        if found:
            return found.group(1)
    return "a test failed"


def render(mutants):
    counted = [m for m in mutants if m.result in ("caught", "survived")]
    caught = sum(m.result == "caught" for m in counted)
    not_run = sum(m.result == "not run" for m in mutants)
    lines = ["| # | mutant | file | result | caught by / note |",
             "|---|---|---|---|---|"]
    for i, m in enumerate(mutants, 1):
        lines.append(f"| {i} | {m.name} | {m.file} | {m.result} | {m.detail} |")
    share = 100.0 * caught / len(counted) if counted else 0.0
    lines.append("")
    lines.append(f"{len(mutants)} mutants: {caught} caught, {len(counted) - caught} survived, "
                 f"{len(mutants) - len(counted) - not_run} not applicable, {not_run} not run; "
                 f"{share:.0f}% of those run caught.")
    return "\n".join(lines) + "\n"


if __name__ == "__main__":
    sys.exit(main())
