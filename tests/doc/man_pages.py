#!/usr/bin/env python3
"""The manual pages say what the programs do: each program's page lists the
options and variables its --help lists, no more and no fewer, and escuta.ini(5)
has every section and key the sources read by name.

usage: man_pages.py SOURCE_DIR ASSEMBLED_PAGES_DIR BIN_DIR
"""
import os
import re
import subprocess
import sys
import tempfile
from pathlib import Path

PROGRAM_PAGES = {"roteiro": "roteiro.1", "telinha": "telinha.1", "telinha_con": "telinha_con.1",
                 "vitrine-demo": "vitrine-demo.1"}
OPTION = re.compile(r"(?<![\w-])--[a-z][a-z-]*")
VARIABLE = re.compile(r"\bESCUTA_[A-Z_]+\b")
SETTING_READ = re.compile(r'read(?:Setting|SettingOrInit|Direct)\("([A-Za-z]+)",\s*"([^"]+)"')


def section(page, heading):
    """The text of a '# HEADING' section of an scdoc page, up to the next."""
    match = re.search(r"^# " + re.escape(heading) + r"\n(.*?)(?=^# |\Z)", page, re.M | re.S)
    return match.group(1) if match else ""


def page_options(page):
    text = section(page, "OPTIONS")
    return {o for line in text.splitlines() if line.startswith("*--")
            for o in re.findall(r"\*(--[a-z][a-z-]*)\*", line)}


def check_program(program, page_file, bin_dir, problems):
    with tempfile.TemporaryDirectory() as root:
        env = dict(os.environ, ESCUTA_ROOT=root)
        run = subprocess.run([str(bin_dir / program), "--help"], capture_output=True, text=True, env=env,
                             timeout=60)
    if run.returncode != 0:
        problems.append(f"{program} --help: status {run.returncode}")
        return
    page = page_file.read_text(encoding="utf-8")
    helped, documented = set(OPTION.findall(run.stdout)), page_options(page)
    for option in sorted(helped - documented):
        problems.append(f"{program}: {option} is in --help but not in the OPTIONS of {page_file.name}")
    for option in sorted(documented - helped):
        problems.append(f"{program}: {option} is in the OPTIONS of {page_file.name} but not in --help")
    for variable in sorted(set(VARIABLE.findall(run.stdout)) - set(VARIABLE.findall(page))):
        problems.append(f"{program}: {variable} is in --help but not in {page_file.name}")


def check_settings(source_dir, page_file, problems):
    page = page_file.read_text(encoding="utf-8")
    read = set()
    for path in source_dir.rglob("*.cpp"):
        parts = path.relative_to(source_dir).parts
        if parts[0] in ("tests", "fuzz", "bench") or parts[0].startswith("build"):
            continue
        read |= set(SETTING_READ.findall(path.read_text(encoding="utf-8", errors="replace")))
    if not read:
        problems.append("no setting read found in the sources")
    for sect, key in sorted(read):
        text = section(page, f"[{sect.upper()}]")
        if not text:
            problems.append(f"{page_file.name} has no section [{sect.upper()}] (read in the sources)")
        elif f"*{key}*" not in text:
            problems.append(f"{page_file.name}: key {key} of [{sect.upper()}] is read but not described")


def main():
    source_dir, pages_dir, bin_dir = (Path(a) for a in sys.argv[1:4])
    problems = []
    for program, page in PROGRAM_PAGES.items():
        check_program(program, pages_dir / f"{page}.scd", bin_dir, problems)
    check_settings(source_dir, source_dir / "doc/man/escuta.ini.5.scd", problems)
    print("\n".join(problems) if problems else "the pages agree with --help and the settings read")
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
