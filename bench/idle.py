#!/usr/bin/env python3
"""The program at rest: starts it under xvfb-run in a private network
namespace, with every default transport running (USB, Ethernet, serial,
cameras) and one network interface up, as on an instrument PC, but with
nothing to find. Once it has settled, prints the processor time it used
over a window as a share of one core, with its busiest threads, and its
resident memory; beside it what a bare thread waking as often as one
transport's poll costs on this machine at the same time. Then closes the
window as a user would and prints how long the window took to go and the
process to end.

usage: idle.py PROGRAM CLOSER WAKER [SETTLE_S] [WINDOW_S]"""
import os
import shutil
import signal
import subprocess
import sys
import tempfile
import time

program, closer, waker = (os.path.abspath(path) for path in sys.argv[1:4])
settle_s = float(sys.argv[4]) if len(sys.argv) > 4 else 15
window_s = float(sys.argv[5]) if len(sys.argv) > 5 else 60


def descendants(root):
    pending, found = [root], []
    while pending:
        pid = pending.pop()
        found.append(pid)
        try:
            with open("/proc/%d/task/%d/children" % (pid, pid)) as f:
                pending.extend(int(child) for child in f.read().split())
        except OSError:
            pass
    return found


def find_program(root):
    for pid in descendants(root):
        try:
            if os.path.realpath("/proc/%d/exe" % pid) == program:
                return pid
        except OSError:
            pass
    return None


def thread_times(pid):
    """Nanoseconds on a processor per thread id, with the thread's name."""
    times = {}
    for tid in os.listdir("/proc/%d/task" % pid):
        try:
            with open("/proc/%d/task/%s/schedstat" % (pid, tid)) as f:
                ns = int(f.read().split()[0])
            with open("/proc/%d/task/%s/comm" % (pid, tid)) as f:
                name = f.read().strip()
        except OSError:
            continue
        times[tid] = (name, ns)
    return times


def rss_mb(pid):
    with open("/proc/%d/status" % pid) as f:
        for line in f:
            if line.startswith("VmRSS:"):
                return int(line.split()[1]) / 1024
    return 0


def ended(pid):
    """Whether the process has ended (a zombie waiting for its parent counts)."""
    try:
        with open("/proc/%d/stat" % pid) as f:
            return f.read().rsplit(")", 1)[1].split()[0] == "Z"
    except OSError:
        return True


def share(ns, seconds):
    return 100 * ns / 1e9 / seconds


home = tempfile.mkdtemp()
# A home of its own: no other instance's lock file, no settings of the user.
env = dict(os.environ, HOME=home, XDG_CONFIG_HOME=home + "/config", XDG_DATA_HOME=home + "/data",
           XDG_CACHE_HOME=home + "/cache", XDG_RUNTIME_DIR=home + "/run")
os.mkdir(home + "/run", 0o700)
for name in ("MOVRA_CAMERA_INTERFACES", "QT_QPA_PLATFORM"):
    env.pop(name, None)
namespace = ["unshare", "--net"] if os.geteuid() == 0 else ["unshare", "--user", "--map-root-user", "--net"]
# The interface is one end of a veth pair whose other end is in the same
# namespace: the camera discovery's broadcasts go nowhere else.
network = ("ip link set lo up && ip link add bench0 type veth peer name bench1"
           " && ip addr add 10.200.0.1/24 dev bench0 && ip link set bench1 up && ip link set bench0 up")
command = namespace + ["sh", "-c", network + ' && exec xvfb-run -a -s "-screen 0 1280x1024x24" "$0"', program]
started = subprocess.Popen(command, cwd=os.path.dirname(program), env=env, stdout=subprocess.DEVNULL,
                           stderr=subprocess.DEVNULL, start_new_session=True)
wake = subprocess.Popen([waker])
try:
    pid = None
    deadline = time.monotonic() + 60
    while pid is None and time.monotonic() < deadline and started.poll() is None:
        time.sleep(0.1)
        pid = find_program(started.pid)
    if pid is None:
        sys.exit("the program did not start: %s" % " ".join(command))
    time.sleep(settle_s)
    before, wake_before, clock = thread_times(pid), thread_times(wake.pid), time.monotonic()
    time.sleep(window_s)
    after, wake_after = thread_times(pid), thread_times(wake.pid)
    seconds = time.monotonic() - clock
    used = {tid: (name, ns - before.get(tid, (name, 0))[1]) for tid, (name, ns) in after.items()}
    total = sum(ns for _, ns in used.values())
    floor = sum(ns for _, ns in wake_after.values()) - sum(ns for _, ns in wake_before.values())
    print("  %.4f %% of one core over %.0f s, rss %.1f MB" % (share(total, seconds), seconds, rss_mb(pid)))
    busiest = sorted(used.values(), key=lambda entry: -entry[1])[:6]
    print("  busiest threads: " + ", ".join("%s %.4f %%" % (name, share(ns, seconds)) for name, ns in busiest))
    print("  a bare thread waking every 1.5 s: %.4f %% here at the same time" % share(floor, seconds))

    # The display and its key are those xvfb-run gave the program.
    with open("/proc/%d/environ" % pid, "rb") as f:
        own = dict(item.split(b"=", 1) for item in f.read().split(b"\0") if b"=" in item)
    display = {key: own[key.encode()].decode() for key in ("DISPLAY", "XAUTHORITY") if key.encode() in own}
    clock = time.monotonic()
    gone = subprocess.run([closer], env=dict(env, **display), stdout=subprocess.PIPE, text=True).stdout.strip()
    while not ended(pid) and time.monotonic() - clock < 30:
        time.sleep(0.01)
    print("  closed: the window went in %s s, the process ended %.2f s after the close request"
          % (gone or "?", time.monotonic() - clock))
finally:
    wake.kill()
    wake.wait()
    if started.poll() is None:
        os.killpg(started.pid, signal.SIGTERM)
        started.wait()
    shutil.rmtree(home, ignore_errors=True)
