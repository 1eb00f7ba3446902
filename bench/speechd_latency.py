#!/usr/bin/python3
"""Latency of KORVEN TTS through a private speech-dispatcher, as a client sees it (no part of
the tests): from speak() to the BEGIN event, and from cancel() to the CANCEL event while a long
text is being spoken. The module plays silently (KVTTS_SOUND=silent) in a fresh prefix; the
folder of the private server is left in /tmp (kvtts-sdbench.*) for its logs.

  bench/speechd_latency.py [BUILD_DIR] [ROUNDS]      (defaults: build, 30)
"""
import os
import statistics
import subprocess
import sys
import tempfile
import threading
import time

build = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else "build")
rounds = int(sys.argv[2]) if len(sys.argv) > 2 else 30
root = tempfile.mkdtemp(prefix="kvtts-sdbench.")
for sub in ("conf/modules", "run", "log", "home/.local/share", "prefix"):
    os.makedirs(os.path.join(root, sub), exist_ok=True)
os.chmod(os.path.join(root, "run"), 0o700)
with open(os.path.join(root, "conf/speechd.conf"), "w") as conf:
    conf.write(f'LogDir "{root}/log"\nAudioOutputMethod "libao"\n'
               f'AddModule "kvtts" "{build}/bin/sd_kvtts" "kvtts.conf"\nDefaultModule "kvtts"\n')
with open(os.path.join(root, "home/.libao"), "w") as libao:
    libao.write("default_driver=null\n")
env = dict(os.environ, HOME=f"{root}/home", XDG_RUNTIME_DIR=f"{root}/run",
           KVTTS_PREFIX=f"{root}/prefix", KVTTS_SOUND="silent")
subprocess.run([f"{build}/bin/regsvr", f"{build}/lib/kv_ttse.so"], env=env, check=True,
               stdout=subprocess.DEVNULL)
socket = f"{root}/run/speechd.sock"
server = subprocess.Popen(["speech-dispatcher", "-s", "-t", "0", "-C", f"{root}/conf", "-S", socket],
                          env=env, cwd=root, stderr=subprocess.DEVNULL)
while not os.path.exists(socket):
    time.sleep(0.05)
os.environ["SPEECHD_ADDRESS"] = f"unix_socket:{socket}"
import speechd  # noqa: E402  (after the address is set)

client = speechd.SSIPClient("kvtts-bench")
client.set_output_module("kvtts")
client.set_language("cs")
events = {}
cond = threading.Condition()


def note(kind, index_mark=None):
    with cond:
        events[kind] = time.monotonic()
        cond.notify_all()


def wait_for(kind, timeout):
    with cond:
        cond.wait_for(lambda: kind in events, timeout=timeout)
        return events.get(kind)


kinds = (speechd.CallbackType.BEGIN, speechd.CallbackType.END, speechd.CallbackType.CANCEL)
begin, cancel = [], []
text = "Dobrý den, jak se máte? " * 20
for _ in range(rounds):
    events.clear()
    sent = time.monotonic()
    client.speak(text, callback=note, event_types=kinds)
    # The client registers the callback only after speak() has returned, so an early BEGIN
    # can be missed: such a round counts for STOP only.
    started = wait_for(speechd.CallbackType.BEGIN, 0.3)
    if started:
        begin.append((started - sent) * 1000)
    time.sleep(0.3)
    told = time.monotonic()
    client.cancel()
    canceled = wait_for(speechd.CallbackType.CANCEL, 5)
    if canceled:
        cancel.append((canceled - told) * 1000)
client.close()
server.terminate()
server.wait()


def show(what, values):
    if not values:
        print(f"{what:40} no events")
        return
    values.sort()
    print(f"{what:40} median {statistics.median(values):7.2f} ms   "
          f"p95 {values[len(values) * 95 // 100]:7.2f} ms   max {values[-1]:7.2f} ms   ({len(values)} rounds)")


show("speech-dispatcher: speak() to BEGIN", begin)
show("speech-dispatcher: cancel() to CANCEL", cancel)
