#!/usr/bin/env bash
# Measures how the program starts: it is run N times on a private X server,
# from a folder holding a device.config (so no bus scan), with a cdrecord that
# answers nothing (so "Burnproof" is ticked). For each run it takes the time
# from exec to the main window's MapNotify and the resident size (VmRSS) at
# that moment, and prints the medians. The first run only warms the X server
# and the disk cache and is not counted.
#   scripts/bench-startup.sh [N] [program]     N defaults to 20, program to build/tarvelin
set -euo pipefail
cd "$(dirname "$0")/.."
runs=${1:-20}
program=$(realpath "${2:-build/tarvelin}")

read -r -d '' bench <<'PYTHON' || true
import os, shutil, signal, statistics, subprocess, sys, tempfile, time
from Xlib import X, Xatom, display, protocol

runs, program = int(sys.argv[1]), sys.argv[2]
base = tempfile.mkdtemp(prefix="tarvelin-bench-")
try:
    folder, tools = os.path.join(base, "program"), os.path.join(base, "tools")
    os.mkdir(folder)
    os.mkdir(tools)
    # A copy: the program looks for device.config beside its own executable.
    shutil.copy2(program, os.path.join(folder, "tarvelin"))
    with open(os.path.join(folder, "device.config"), "w") as f:
        f.write("/dev/cdrom\n")
    os.symlink("/bin/true", os.path.join(tools, "cdrecord"))
    env = dict(os.environ, PATH=tools + ":/usr/bin:/bin", NO_AT_BRIDGE="1")

    screen = display.Display()
    root = screen.screen().root
    root.change_attributes(event_mask=X.SubstructureNotifyMask)
    net_wm_pid = screen.intern_atom("_NET_WM_PID")
    protocols = screen.intern_atom("WM_PROTOCOLS")
    delete = screen.intern_atom("WM_DELETE_WINDOW")

    def vm_rss_kib(pid):
        with open(f"/proc/{pid}/status") as f:
            for line in f:
                if line.startswith("VmRSS:"):
                    return int(line.split()[1])

    def svg_loader_mapped(pid):
        with open(f"/proc/{pid}/maps") as f:
            maps = f.read()
        return "librsvg" in maps or "pixbufloader-svg" in maps

    def one_run():
        start = time.monotonic()
        process = subprocess.Popen([os.path.join(folder, "tarvelin")], cwd=base, env=env,
                                   stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL)
        while True:
            event = screen.next_event()
            if event.type != X.MapNotify or event.override:
                continue
            owner = event.window.get_full_property(net_wm_pid, Xatom.CARDINAL)
            if owner and owner.value[0] == process.pid:
                break
        elapsed = time.monotonic() - start
        rss = vm_rss_kib(process.pid)
        # The check marks are drawn after the window maps: look again once
        # the program has had the time to paint them.
        time.sleep(0.5)
        svg = svg_loader_mapped(process.pid)
        event = protocol.event.ClientMessage(window=event.window, client_type=protocols,
                                             data=(32, [delete, X.CurrentTime, 0, 0, 0]))
        event.window.send_event(event, event_mask=X.NoEventMask)
        screen.sync()
        if process.wait(30) != 0:
            sys.exit(f"the program ended with status {process.returncode}")
        return elapsed, rss, svg

    one_run()
    results = [one_run() for _ in range(runs)]
    times = [r[0] * 1000 for r in results]
    sizes = [r[1] / 1024 for r in results]
    print(f"runs: {runs}")
    print(f"median time from exec to the mapped window: {statistics.median(times):.1f} ms"
          f" (min {min(times):.1f}, max {max(times):.1f})")
    print(f"median resident size when the window maps: {statistics.median(sizes):.1f} MB"
          f" (min {min(sizes):.1f}, max {max(sizes):.1f})")
    print(f"runs with the SVG loader mapped: {sum(r[2] for r in results)}")
finally:
    shutil.rmtree(base, True)
PYTHON

exec xvfb-run -a -s "-screen 0 1024x768x24 -nolisten tcp" /usr/bin/python3 -c "$bench" "$runs" "$program"
