#!/usr/bin/env python3
"""Speaks the Czech corpus into WAVE files through our engine (as a SAPI host does, with
bench/speak_file) and with `espeak-ng -v cs -w`, side by side, and prints CPU time, peak memory
and the ratios; then speaks ten copies of the corpus through our engine to show the cost grows
linearly.

Usage: bench/run_benchmark.py [--build DIR] [--corpus FILE] [--runs N] [--formats]

With --formats it also speaks the corpus with kvtts into each audio file format and prints
CPU time, peak memory and the file's size.

Targets: our CPU time at most a third of espeak-ng's, our peak memory at most 8 MiB, and ten
copies costing ten times one copy. The figures are printed, not asserted.
"""
import argparse
import os
import shutil
import subprocess
import sys
import tempfile
import wave

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(HERE)


def measure(command, env):
    """Runs a command; returns (CPU seconds, peak resident KiB) of that process alone.

    GNU time reports the program's own peak; a child forked from this interpreter would count
    the interpreter's pages from before exec, so wait4 is only the fallback."""
    gnu_time = "/usr/bin/time"
    if os.path.exists(gnu_time):
        with tempfile.NamedTemporaryFile("r") as report:
            result = subprocess.run([gnu_time, "-f", "%U %S %M", "-o", report.name] + command,
                                    env=env, stdout=subprocess.DEVNULL)
            if result.returncode != 0:
                sys.exit("failed: " + " ".join(command))
            user, system, peak = report.read().split()[-3:]
            return float(user) + float(system), int(peak)
    pid = os.fork()
    if pid == 0:
        try:
            os.execvpe(command[0], command, env)
        finally:
            os._exit(127)
    _, status, usage = os.wait4(pid, 0)
    if os.waitstatus_to_exitcode(status) != 0:
        sys.exit("failed: " + " ".join(command))
    return usage.ru_utime + usage.ru_stime, usage.ru_maxrss


def best(command, env, runs):
    results = [measure(command, env) for _ in range(runs)]
    return min(r[0] for r in results), max(r[1] for r in results)


def seconds_of(path):
    with wave.open(path, "rb") as w:
        return w.getnframes() / w.getframerate()


def print_formats(kvtts, corpus, work, env, runs):
    print(f"{'kvtts -o corpus.EXT':22}{'CPU s':>10}{'peak MiB':>10}{'size MiB':>10}")
    for extension in ("wav", "flac", "ogg", "opus", "mp3"):
        out = os.path.join(work, "corpus." + extension)
        cpu, mem = best([kvtts, "--quiet", "-f", corpus, "-o", out], env, runs)
        print(f"{extension:22}{cpu:10.3f}{mem / 1024:10.2f}"
              f"{os.path.getsize(out) / 2**20:10.2f}")


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--build", default=os.path.join(ROOT, "build"))
    parser.add_argument("--corpus", default=None)
    parser.add_argument("--runs", type=int, default=3)
    parser.add_argument("--formats", action="store_true")
    args = parser.parse_args()

    corpus = args.corpus
    if corpus is None:
        for candidate in (os.path.join(ROOT, "..", "shared", "bench", "corpus_cs.txt"),
                          "/work/shared/bench/corpus_cs.txt"):
            if os.path.exists(candidate):
                corpus = candidate
                break
    if corpus is None or not os.path.exists(corpus):
        sys.exit("corpus not found; pass --corpus")
    speak_file = os.path.join(args.build, "bin", "speak_file")
    regsvr = os.path.join(args.build, "bin", "regsvr")
    engine = os.path.join(args.build, "lib", "kv_ttse.so")
    for path in (speak_file, regsvr, engine):
        if not os.path.exists(path):
            sys.exit(f"{path} is missing: build first (cmake --build {args.build})")
    espeak = shutil.which("espeak-ng")

    work = tempfile.mkdtemp(prefix="kvtts-bench-")
    try:
        env = dict(os.environ, KVTTS_PREFIX=os.path.join(work, "prefix"))
        os.makedirs(env["KVTTS_PREFIX"])
        subprocess.run([regsvr, engine], env=env, check=True, stdout=subprocess.DEVNULL)

        ours_wav = os.path.join(work, "ours.wav")
        ours_cpu, ours_mem = best([speak_file, corpus, ours_wav], env, args.runs)
        ours_len = seconds_of(ours_wav)
        ten_wav = os.path.join(work, "ten.wav")
        ten_cpu, ten_mem = best([speak_file, "--copies", "10", corpus, ten_wav], env, args.runs)
        ten_len = seconds_of(ten_wav)

        print(f"corpus: {corpus} ({os.path.getsize(corpus)} bytes)")
        print(f"{'':22}{'CPU s':>10}{'peak MiB':>10}{'speech s':>10}")
        print(f"{'KORVEN (engine path)':22}{ours_cpu:10.3f}{ours_mem / 1024:10.2f}{ours_len:10.1f}")
        if espeak:
            espeak_wav = os.path.join(work, "espeak.wav")
            e_cpu, e_mem = best([espeak, "-v", "cs", "-w", espeak_wav, "-f", corpus], env,
                                args.runs)
            print(f"{'espeak-ng -v cs':22}{e_cpu:10.3f}{e_mem / 1024:10.2f}"
                  f"{seconds_of(espeak_wav):10.1f}")
            ratio = ours_cpu / e_cpu if e_cpu > 0 else float("inf")
            print(f"CPU ratio (ours / espeak-ng): {ratio:.3f}   target <= 0.333: "
                  f"{'met' if ratio <= 1 / 3 else 'NOT met'}")
        else:
            print("espeak-ng not found: no comparison")
        print(f"peak memory: {ours_mem / 1024:.2f} MiB   target <= 8 MiB: "
              f"{'met' if ours_mem <= 8 * 1024 else 'NOT met'}")
        scale = ten_cpu / ours_cpu if ours_cpu > 0 else float("inf")
        print(f"ten copies: {ten_cpu:.3f} s CPU, {ten_mem / 1024:.2f} MiB peak, "
              f"{ten_len:.1f} s of speech; {scale:.2f} x one copy (target about 10)")
        if args.formats:
            print_formats(os.path.join(args.build, "bin", "kvtts"), corpus, work, env, args.runs)
    finally:
        shutil.rmtree(work, ignore_errors=True)


if __name__ == "__main__":
    main()
