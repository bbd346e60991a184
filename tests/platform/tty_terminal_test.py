#!/usr/bin/env python3
"""The tty backend in a real terminal: programs run in a shell inside a
private tmux server; keys are typed with send-keys and the screen is read
with capture-pane.

Usage: tty_terminal_test.py CONSOLEDEMO ROTEIRO
"""
import os
import re
import shutil
import subprocess
import sys
import tempfile
import time

DEMO, ROTEIRO = sys.argv[1], sys.argv[2]
SOCKET = "escuta-tty-test-%d" % os.getpid()
failures = []


def tmux(*args, check=True):
    return subprocess.run(["tmux", "-L", SOCKET, *args], capture_output=True, text=True, check=check).stdout


def screen(colours=False):
    return tmux("capture-pane", "-p", *(["-e"] if colours else []), "-t", "t").split("\n")


def wait_for(what, timeout=4.0):
    """Until `what(screen rows)` holds; False on time-out."""
    end = time.time() + timeout
    while time.time() < end:
        if what(screen()):
            return True
        time.sleep(0.05)
    return False


def has(text):
    return lambda rows: any(text in r for r in rows)


def check(ok, message):
    if not ok:
        failures.append(message)
        print("FAIL: " + message, flush=True)
        print("\n".join(screen()), flush=True)


def shell_line(line):
    tmux("send-keys", "-t", "t", "-l", line)
    tmux("send-keys", "-t", "t", "Enter")


def program_pid():
    """The program the pane's shell runs (its one child)."""
    shell = tmux("display", "-p", "-t", "t", "#{pane_pid}").strip()
    for _ in range(100):
        for entry in os.listdir("/proc"):
            if entry.isdigit():
                try:
                    with open("/proc/%s/stat" % entry) as f:
                        fields = f.read().rsplit(")", 1)[1].split()
                except OSError:
                    continue
                if fields[1] == shell:
                    return int(entry)
        time.sleep(0.05)
    return None


def terminal_settings():
    """The pane's terminal settings, as the shell sees them."""
    mark = "STTY%d" % time.time_ns()
    shell_line("clear; echo %s $(stty -g)" % mark)
    found = []
    wait_for(lambda rows: any(r.startswith(mark + " ") and found.append(r) is None for r in rows))
    return found[0].split(" ", 1)[1] if found else None


def enter_until_ended():
    """Enter for the line read, then for each message of the error report."""
    for _ in range(5):
        tmux("send-keys", "-t", "t", "Enter")
        if wait_for(has("STATUS="), 1.0):
            return


def restored_after(way, start, end_it, expect_status):
    """Runs a program with `start`, ends it with `end_it`, and checks the
    shell's terminal: the same settings, the normal screen, the status."""
    before = terminal_settings()
    shell_line("clear; " + start + "; echo STATUS=$?")
    check(wait_for(has("Escuta")), way + ": the console did not appear")
    end_it()
    check(wait_for(has("STATUS=%d" % expect_status)), way + ": no status %d at the end" % expect_status)
    check(terminal_settings() == before, way + ": the terminal settings were not restored")
    check(tmux("display", "-p", "-t", "t", "#{alternate_on}").strip() == "0", way + ": the alternate screen stayed")


def keyscript_screen(config, keys):
    """The screen of the same demo in headless with the same keys."""
    with open(os.path.join(config, "keys.txt"), "w") as f:
        f.write("".join("key %s\n" % k for k in keys))
    out = subprocess.run([DEMO, "--frontend", "headless", "--config-dir", config, "--keys",
                          os.path.join(config, "keys.txt"), "--screen-out", "-"], capture_output=True,
                         text=True, encoding="cp1252", check=False).stdout
    return [r.rstrip() for r in out.split("\n")[:25]]


def main():
    if not shutil.which("tmux"):
        print("tmux is missing")
        return 1
    config = tempfile.mkdtemp(prefix="escuta-tty-")
    env = "ESCUTA_ROOT=%s SDL_AUDIODRIVER=dummy LANG=C.UTF-8 " % os.environ.get("ESCUTA_ROOT", "")
    demo = "%s%s --frontend tty --config-dir %s" % (env, DEMO, config)
    tmux("-f", "/dev/null", "new-session", "-d", "-s", "t", "-x", "80", "-y", "25", "sh")
    try:
        tmux("set", "-s", "escape-time", "0")
        tmux("set", "-g", "default-terminal", "tmux-256color")
        shell_line("export TERM=tmux-256color PS1='$ '")

        # Text, colours, title.
        shell_line("clear; " + demo)
        check(wait_for(has("Escuta: o console falante")), "the demo's first line is not shown")
        rows = screen()
        check(rows[0].startswith("Escuta: o console falante") and rows[1].startswith("80 colunas"),
              "the console is not at the terminal's top left")
        coloured = "\n".join(screen(colours=True))
        # Yellow (14) text, and the colour bar's blue (1) background, as 256 colours.
        check("38;5;226" in coloured, "yellow text is not drawn in the 256-colour yellow")
        check("48;5;21" in coloured, "the blue background is not drawn in the 256-colour blue")
        check("demonstra" in tmux("display", "-p", "-t", "t", "#{pane_title}"), "the title did not reach the terminal")

        # Keys: each as the same key of a key script gives it.
        table = [("a", "a"), ("A", "A"), ("ç", "ç"), ("F1", "F1"), ("S-F5", "Shift+F5"), ("C-F12", "Ctrl+F12"),
                 ("M-F2", "Alt+F2"), ("Up", "Up"), ("C-Left", "Ctrl+Left"), ("Home", "Home"), ("End", "End"),
                 ("PPage", "PageUp"), ("NPage", "PageDown"), ("IC", "Insert"), ("DC", "Delete"),
                 ("C-a", "Ctrl+a"), ("M-x", "Alt+x"), ("Tab", "Tab"), ("BSpace", "Backspace")]
        for sent, _ in table:
            tmux("send-keys", "-t", "t", *(["-l", sent] if len(sent) == 1 else [sent]))
        want = keyscript_screen(config, [k for _, k in table])
        check(wait_for(lambda rows: [r.rstrip() for r in rows[:25]] == want),
              "the keys did not arrive as the key script's: got %r, want %r" % (screen()[:25], want))

        # A smaller terminal shows what fits and says so; the full size comes back.
        tmux("resize-window", "-t", "t", "-x", "60", "-y", "20")
        check(wait_for(has("Terminal de 60×20")), "the small terminal is not told")
        tmux("resize-window", "-t", "t", "-x", "80", "-y", "25")
        check(wait_for(lambda rows: not has("Terminal de")(rows) and has("Tecla:")(rows)),
              "the whole console did not come back")

        # Ctrl+Z stops it with the terminal given back; fg brings it again.
        tmux("send-keys", "-t", "t", "C-z")
        check(wait_for(lambda rows: tmux("display", "-p", "-t", "t", "#{alternate_on}").strip() == "0"),
              "Ctrl+Z left the alternate screen on")
        shell_line("fg")
        check(wait_for(has("Escuta: o console falante")), "the console was not drawn again after fg")
        tmux("send-keys", "-t", "t", "Escape")
        check(wait_for(has("$ ")), "Esc did not end the demo")

        # Every way out gives the terminal back.
        script = os.path.join(config, "termina.txt")
        with open(script, "w", encoding="cp1252") as f:
            f.write('escreve "Escuta"\nle $x\ntermina\nescreve "nunca"\nle $x\n')
        error = os.path.join(config, "erro.txt")
        with open(error, "w", encoding="cp1252") as f:
            f.write('escreve "Escuta"\nle $x\nseja a 4\ndivide a 0\n')
        roteiro = "%s%s --frontend tty --config-dir %s" % (env, ROTEIRO, config)
        restored_after("Esc", demo, lambda: tmux("send-keys", "-t", "t", "Escape"), 0)
        restored_after("SIGTERM", demo, lambda: os.kill(program_pid(), 15), 143)
        # A sanitizer's own SIGSEGV handler would take the crash (and the
        # program leaves such a handler alone): the crash is the program's.
        restored_after("SIGSEGV", "ASAN_OPTIONS=handle_segv=0 " + demo, lambda: os.kill(program_pid(), 11), 139)
        restored_after("TERMINA", roteiro + " " + script, lambda: tmux("send-keys", "-t", "t", "Enter"), 0)
        restored_after("execution error", roteiro + " " + error, lambda: enter_until_ended(), 1)

        # A program started in front has the terminal while it runs.
        child = os.path.join(config, "executa.txt")
        with open(child, "w", encoding="cp1252") as f:
            f.write('escreve "Escuta antes"\nexecuta "sh -c ""echo FILHO-AQUI; read x"""\n'
                    'escreve "Escuta depois"\nle $x\n')
        shell_line("clear; " + roteiro + " " + child)
        check(wait_for(has("FILHO-AQUI")), "the started program's output is not in the terminal")
        check(not has("Escuta antes")(screen()), "the console is drawn over the started program")
        shell_line("ok")
        check(wait_for(has("Escuta depois")), "the console did not come back after the started program")
    finally:
        tmux("kill-server", check=False)
        shutil.rmtree(config, ignore_errors=True)
    print("%d passed, %d failed" % (0 if failures else 1, 1 if failures else 0))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
