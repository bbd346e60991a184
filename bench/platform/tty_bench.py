#!/usr/bin/env python3
"""Key to screen: the tty backend in a terminal (a pseudo-terminal this
benchmark reads, as a terminal emulator would) beside the sdl backend under
a private Xvfb, in the same run. Both run the same script, which reads a
line: each key is drawn where the caret is. The tty's screen is updated when
the key's character reaches the terminal; the window's when a snapshot of
the screen (XGetImage, a few milliseconds each) first differs, so the sdl
figure includes up to one snapshot's time.

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


def bench_tty(work):
    master, slave = os.openpty()
    fcntl.ioctl(master, termios.TIOCSWINSZ, struct.pack("HHHH", 25, 80, 0, 0))
    env = environment()
    env["TERM"] = "xterm-256color"
    env.pop("DISPLAY", None)
    proc = subprocess.Popen([ROTEIRO, "--frontend", "tty", "--config-dir", work, script(work)], stdin=slave,
                            stdout=slave, stderr=slave, env=env, start_new_session=True)
    os.close(slave)
    seen = b""
    end = time.time() + 20
    while b"pronto" not in seen and time.time() < end:
        if select.select([master], [], [], 0.1)[0]:
            seen += os.read(master, 65536)
    screen = []
    for i in range(TRIALS):
        time.sleep(0.4)  # the last echo has ended
        while select.select([master], [], [], 0)[0]:
            os.read(master, 65536)
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


def bench_sdl(work):
    display = ":%d" % (90 + os.getpid() % 50)
    xvfb = subprocess.Popen(["Xvfb", display, "-screen", "0", "1100x800x24", "-nolisten", "tcp"],
                            stderr=subprocess.DEVNULL)
    time.sleep(1.0)
    env = environment()
    env["DISPLAY"] = display
    proc = subprocess.Popen([ROTEIRO, "--frontend", "sdl", "--config-dir", work, script(work)], env=env,
                            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    x = X(display)
    time.sleep(3.0)
    x.point_at(200, 200)  # with no window manager the focus follows the pointer
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
    xvfb.terminate()
    xvfb.wait()
    return screen


def line(name, values):
    if not values:
        return "%-26s no measurement" % name
    return "%-26s median %6.2f ms  worst %6.2f ms  (%d of %d)" % (name, statistics.median(values), max(values),
                                                                   len(values), TRIALS)


def main():
    work = tempfile.mkdtemp(prefix="escuta-tty-bench-")
    try:
        tty_screen = bench_tty(work)
        sdl_screen = bench_sdl(work) if shutil.which("Xvfb") else []
    finally:
        shutil.rmtree(work, ignore_errors=True)
    print(line("tty key -> screen", tty_screen))
    print(line("sdl key -> screen", sdl_screen))
    if tty_screen and sdl_screen:
        print("screen: tty/sdl %.2f" % (statistics.median(tty_screen) / statistics.median(sdl_screen)))
    return 0


if __name__ == "__main__":
    sys.exit(main())
