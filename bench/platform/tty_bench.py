#!/usr/bin/env python3
"""Key to screen and key to sound: the tty backend in a terminal (a
pseudo-terminal this benchmark reads, as a terminal emulator would) beside
the sdl backend under a private Xvfb, in the same run.

Screen: both run the same script, which reads a line: each key is drawn
where the caret is. The tty's screen is updated when the key's character
reaches the terminal; the window's when a snapshot of the screen (XGetImage,
a few milliseconds each) first differs, so the sdl figure includes up to one
snapshot's time.

Sound: both run key_sound_probe (built with the benchmarks, beside roteiro),
which echoes each key by voice as the line editor does and tells when the
sound device took the echo's first sample, on the steady clock this
benchmark reads as well. Both use SDL audio writing to /dev/null, so the
figure is the program's own part: from the key written to the terminal, or
typed into the X server, to the first sample handed to the device.

Usage: bench/platform/tty_bench.py build/bin/roteiro [TRIALS]
Needs Xvfb and libXtst (the project's packages). Run by hand; not a test.
"""
import ctypes
import fcntl
import os
import re
import select
import shutil
import signal
import statistics
import struct
import subprocess
import sys
import tempfile
import termios
import time

ROTEIRO = sys.argv[1]
TRIALS = int(sys.argv[2]) if len(sys.argv) > 2 else 20
ROOT = os.environ.get("ESCUTA_ROOT", os.path.join(os.path.dirname(os.path.abspath(ROTEIRO)), "..", "root"))
PROBE = os.path.join(os.path.dirname(os.path.abspath(ROTEIRO)), "key_sound_probe")
KEYS = "abcdefghijklmnopqrstuvwxyz"
# Control sequences, which hold letters of their own.
SEQUENCE = re.compile(rb"\x1b(\[[0-?]*[ -/]*[@-~]|\][^\x07]*\x07|[()][0-9A-Za-z]|[=>78])")


def drawn(out, key):
    return key in SEQUENCE.sub(b"", out)


def environment():
    return dict(os.environ, ESCUTA_ROOT=ROOT, SDL_AUDIODRIVER="dummy", LANG="C.UTF-8")


def script(work):
    path = os.path.join(work, "le.txt")
    with open(path, "w", encoding="cp1252") as f:
        f.write('escreve "pronto"\nrepete 1000\n  le $x\nfim repete\n')
    return path


def in_terminal(argv, env, pass_fds=()):
    """The program on a pseudo-terminal of 80 x 25; its master side."""
    master, slave = os.openpty()
    fcntl.ioctl(master, termios.TIOCSWINSZ, struct.pack("HHHH", 25, 80, 0, 0))
    env = dict(env, TERM="xterm-256color")
    env.pop("DISPLAY", None)
    proc = subprocess.Popen(argv + ["--frontend", "tty"], stdin=slave, stdout=slave, stderr=slave, env=env,
                            start_new_session=True, pass_fds=pass_fds)
    os.close(slave)
    return proc, master


def drain(master):
    while select.select([master], [], [], 0)[0]:
        try:
            os.read(master, 65536)
        except OSError:
            return


def bench_tty(work):
    proc, master = in_terminal([ROTEIRO, "--config-dir", work, script(work)], environment())
    seen = b""
    end = time.time() + 20
    while b"pronto" not in seen and time.time() < end:
        if select.select([master], [], [], 0.1)[0]:
            seen += os.read(master, 65536)
    screen = []
    for i in range(TRIALS):
        time.sleep(0.4)  # the last echo has ended
        drain(master)
        key = KEYS[i % len(KEYS)].encode()
        t0 = time.perf_counter()
        os.write(master, key)
        out = b""
        while not drawn(out, key) and time.perf_counter() - t0 < 2:
            if select.select([master], [], [], 0.0005)[0]:
                out += os.read(master, 65536)
        if drawn(out, key):
            screen.append((time.perf_counter() - t0) * 1000)
    proc.send_signal(signal.SIGTERM)
    proc.wait()
    os.close(master)
    return screen


class X:
    """Just enough Xlib and XTest, through ctypes, to type a key and to see
    the screen change."""

    def __init__(self, display):
        self.x11 = ctypes.CDLL("libX11.so.6")
        self.xtst = ctypes.CDLL("libXtst.so.6")
        self.x11.XOpenDisplay.restype = ctypes.c_void_p
        self.x11.XGetImage.restype = ctypes.c_void_p
        self.x11.XGetImage.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_int, ctypes.c_uint,
                                       ctypes.c_uint, ctypes.c_ulong, ctypes.c_int]
        self.x11.XDefaultRootWindow.restype = ctypes.c_ulong
        self.x11.XDefaultRootWindow.argtypes = [ctypes.c_void_p]
        self.x11.XStringToKeysym.restype = ctypes.c_ulong
        self.x11.XKeysymToKeycode.argtypes = [ctypes.c_void_p, ctypes.c_ulong]
        self.x11.XFlush.argtypes = [ctypes.c_void_p]
        self.x11.XSync.argtypes = [ctypes.c_void_p, ctypes.c_int]
        self.x11.XFree.argtypes = [ctypes.c_void_p]
        self.xtst.XTestFakeKeyEvent.argtypes = [ctypes.c_void_p, ctypes.c_uint, ctypes.c_int, ctypes.c_ulong]
        self.xtst.XTestFakeMotionEvent.argtypes = [ctypes.c_void_p, ctypes.c_int, ctypes.c_int, ctypes.c_int,
                                                   ctypes.c_ulong]
        self.dpy = self.x11.XOpenDisplay(display.encode())
        self.root = self.x11.XDefaultRootWindow(self.dpy)

    def snapshot(self, w, h):
        image = self.x11.XGetImage(self.dpy, self.root, 0, 0, w, h, 0xFFFFFFFF, 2)
        if not image:
            return b""
        data = ctypes.cast(image + 16, ctypes.POINTER(ctypes.c_void_p))[0]
        stride = ctypes.cast(image + 44, ctypes.POINTER(ctypes.c_int))[0]
        pixels = ctypes.string_at(data, stride * h)
        # XDestroyImage is a macro: its data, then the image itself.
        self.x11.XFree(data)
        self.x11.XFree(image)
        return pixels

    def type(self, char):
        code = self.x11.XKeysymToKeycode(self.dpy, self.x11.XStringToKeysym(char.encode()))
        self.xtst.XTestFakeKeyEvent(self.dpy, code, 1, 0)
        self.xtst.XTestFakeKeyEvent(self.dpy, code, 0, 0)
        self.x11.XFlush(self.dpy)

    def point_at(self, x, y):
        self.xtst.XTestFakeMotionEvent(self.dpy, -1, x, y, 0)
        self.x11.XSync(self.dpy, 0)


def start_xvfb():
    display = ":%d" % (90 + os.getpid() % 50)
    xvfb = subprocess.Popen(["Xvfb", display, "-screen", "0", "1100x800x24", "-nolisten", "tcp"],
                            stderr=subprocess.DEVNULL)
    time.sleep(1.0)
    return xvfb, display


def in_window(argv, env, display, pass_fds=()):
    """The program's window, with the keyboard's focus; an X connection."""
    proc = subprocess.Popen(argv + ["--frontend", "sdl"], env=dict(env, DISPLAY=display), stdout=subprocess.DEVNULL,
                            stderr=subprocess.DEVNULL, pass_fds=pass_fds)
    x = X(display)
    time.sleep(3.0)
    x.point_at(200, 200)  # with no window manager the focus follows the pointer
    return proc, x


def bench_sdl(work, display):
    proc, x = in_window([ROTEIRO, "--config-dir", work, script(work)], environment(), display)
    w, h = 1040, 734
    screen = []
    for i in range(TRIALS):
        time.sleep(0.4)
        before = x.snapshot(w, h)
        t0 = time.perf_counter()
        x.type(KEYS[i % len(KEYS)])
        while time.perf_counter() - t0 < 2:
            if x.snapshot(w, h) != before:
                screen.append((time.perf_counter() - t0) * 1000)
                break
    proc.send_signal(signal.SIGTERM)
    proc.wait()
    return screen


def key_to_sound(start, type_key):
    """Starts the probe with `start` (its argv, environment and descriptor to
    keep; back: the process and what `type_key` needs) and times each typed
    key to its echo's first sample."""
    read_end, write_end = os.pipe()
    env = dict(environment(), SDL_AUDIODRIVER="disk", SDL_DISKAUDIOFILE="/dev/null",
               ESCUTA_BENCH_FD=str(write_end))
    work = tempfile.mkdtemp(prefix="escuta-sound-bench-")
    proc, target = start([PROBE, "--config-dir", work], env, (write_end,))
    os.close(write_end)
    lines = os.fdopen(read_end)
    sound = []
    try:
        if select.select([lines], [], [], 20)[0] and lines.readline().strip() == "ready":
            for i in range(TRIALS):
                time.sleep(0.4)  # the last echo has ended
                t0 = time.monotonic_ns() // 1000
                type_key(target, KEYS[i % len(KEYS)])
                if not select.select([lines], [], [], 2)[0]:
                    continue
                started = int(lines.readline() or 0)
                if started >= t0:
                    sound.append((started - t0) / 1000)
    finally:
        proc.send_signal(signal.SIGTERM)
        proc.wait()
        lines.close()
        shutil.rmtree(work, ignore_errors=True)
    return sound


def sound_tty():
    def type_key(master, key):
        drain(master)
        os.write(master, key.encode())

    return key_to_sound(lambda argv, env, fds: in_terminal(argv, env, fds), type_key)


def sound_sdl(display):
    return key_to_sound(lambda argv, env, fds: in_window(argv, env, display, fds), lambda x, key: x.type(key))


def line(name, values):
    if not values:
        return "%-32s no measurement" % name
    return "%-32s median %6.2f ms  worst %6.2f ms  (%d of %d)" % (name, statistics.median(values), max(values),
                                                                   len(values), TRIALS)


def main():
    work = tempfile.mkdtemp(prefix="escuta-tty-bench-")
    probe = os.access(PROBE, os.X_OK)
    tty_sound = sdl_sound = sdl_screen = []
    xvfb = None
    try:
        tty_screen = bench_tty(work)
        if probe:
            tty_sound = sound_tty()
        if shutil.which("Xvfb"):
            xvfb, display = start_xvfb()
            sdl_screen = bench_sdl(work, display)
            if probe:
                sdl_sound = sound_sdl(display)
    finally:
        if xvfb:
            xvfb.terminate()
            xvfb.wait()
        shutil.rmtree(work, ignore_errors=True)
    for what, tty, sdl in (("screen", tty_screen, sdl_screen), ("first sample", tty_sound, sdl_sound)):
        print(line("tty key -> " + what, tty))
        print(line("sdl key -> " + what, sdl))
        if tty and sdl:
            print("%s: tty/sdl %.2f" % (what, statistics.median(tty) / statistics.median(sdl)))
    if not probe:
        print("(no %s: build with -DESCUTA_BENCH=ON for the sound figures)" % PROBE)
    return 0


if __name__ == "__main__":
    sys.exit(main())
