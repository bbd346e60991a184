#!/usr/bin/python3
"""recorded_voice_bench.py [--build DIR] [--tools DIR]: the recorded voice beside eSpeak NG.

Says each sentence of frases.txt, words alone (the recorded path names
punctuation aloud) and ended with TERMINA MUDO, through roteiro --audio-out at
every speed, from a fresh Escuta.ini, and with eSpeak NG pt-BR at its default
pace. Everything is brought to the voice's 11025 Hz 8-bit format with sox.
Prints the words a minute of each speed beside eSpeak NG's, and at speed 3 the
mean MCD-DTW (below 5 kHz) against eSpeak NG pt-BR, beside two yardsticks
measured in the same run: eSpeak NG's pt-PT and Spanish voices reading the same
Portuguese sentences. Run by hand with Debian's python3 (numpy, scipy), sox and
espeak-ng; not a test."""
import argparse, os, re, shutil, subprocess, sys, tempfile, wave

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(os.path.dirname(HERE))
YARDSTICKS = [("eSpeak NG pt-PT", "roa/pt"), ("eSpeak NG es", "roa/es")]


def words_alone(sentence):
    return " ".join(re.findall(r"[^\W\d_]+", sentence))


def to_voice_format(src, dst):
    subprocess.run(["sox", src, "-r", "11025", "-b", "8", "-e", "unsigned-integer", "-c", "1", dst], check=True)


def spoken_seconds(path):
    """Length from the first to the last sample above -40 dB of the peak."""
    with wave.open(path, "rb") as w:
        raw, rate = w.readframes(w.getnframes()), w.getframerate()
    level = [abs(b - 128) for b in raw]
    floor = max(level, default=0) / 100
    loud = [i for i, v in enumerate(level) if v > floor]
    return (loud[-1] - loud[0]) / rate if loud else 0.0


def ours(roteiro, config, speed, text, out):
    script = out + ".txt"
    with open(script, "wb") as f:
        f.write(f'SINTCONFIG 0 {speed} -1 -1 -1 -1\r\nFALA "{text}"\r\nTERMINA MUDO\r\n'.encode("cp1252"))
    subprocess.run([roteiro, "--frontend", "headless", "--clock-speed", "100", "--config-dir", config,
                    "--audio-out", out, script], check=True)


def espeak(voice, text, out):
    raw = out + ".raw.wav"
    subprocess.run(["espeak-ng", "-v", voice, "-w", raw, text], check=True)
    to_voice_format(raw, out)


def mcd(tools, a, b):
    r = subprocess.run(["/usr/bin/python3", os.path.join(tools, "voice_mcd.py"), "--fmax", "5000", a, b],
                       check=True, capture_output=True, text=True)
    return float(r.stdout)


def main():
    p = argparse.ArgumentParser()
    p.add_argument("--build", default=os.path.join(ROOT, "build"))
    p.add_argument("--tools", default=os.path.join(os.path.dirname(ROOT), "shared", "tools"))
    p.add_argument("--ini", help="an Escuta.ini to start from instead of none (a speed table to try)")
    p.add_argument("--speeds", default="12345", help="the speeds to measure, as digits")
    a = p.parse_args()
    roteiro = os.path.join(a.build, "bin", "roteiro")
    with open(os.path.join(a.tools, "frases.txt"), encoding="utf-8") as f:
        sentences = [words_alone(s) for s in f if s.strip()]
    words = sum(len(s.split()) for s in sentences)
    env_root = os.environ.setdefault("ESCUTA_ROOT", os.path.join(a.build, "root"))
    print(f"{len(sentences)} sentences, {words} words; data root {env_root}")

    with tempfile.TemporaryDirectory() as tmp:
        config = os.path.join(tmp, "config")  # fresh: the first start writes the speed table
        if a.ini:
            os.makedirs(config)
            shutil.copy(a.ini, os.path.join(config, "Escuta.ini"))
        reference, seconds = [], 0.0
        for i, s in enumerate(sentences):
            reference.append(os.path.join(tmp, f"ptbr{i}.wav"))
            espeak("roa/pt-BR", s, reference[-1])
            seconds += spoken_seconds(reference[-1])
        peer = words * 60 / seconds
        print(f"eSpeak NG pt-BR, default pace: {peer:.0f} words a minute")

        pace, at3 = {}, []
        for speed in map(int, a.speeds):
            seconds = 0.0
            for i, s in enumerate(sentences):
                out = os.path.join(tmp, f"ours{speed}_{i}.wav")
                ours(roteiro, config, speed, s, out)
                seconds += spoken_seconds(out)
                if speed == 3:
                    at3.append(out)
            pace[speed] = words * 60 / seconds
            print(f"speed {speed}: {pace[speed]:.0f} words a minute, {pace[speed] / peer:.2f} x eSpeak NG pt-BR")
        if 1 in pace and 5 in pace:
            print(f"speed 5 / speed 1: {pace[5] / pace[1]:.2f} (goal >= 2)")
        if 3 not in pace:
            return 0
        print(f"speed 3 / eSpeak NG: {pace[3] / peer:.2f} (goal 0.90 to 1.10)")

        def mean_mcd(files):
            return sum(mcd(a.tools, f, r) for f, r in zip(files, reference)) / len(files)

        ours_mcd = mean_mcd(at3)
        print(f"mean MCD-DTW against eSpeak NG pt-BR, below 5 kHz:")
        print(f"  ours at speed 3: {ours_mcd:.2f} dB")
        worst = 0.0
        for name, voice in YARDSTICKS:
            files = []
            for i, s in enumerate(sentences):
                files.append(os.path.join(tmp, f"{voice.replace('/', '_')}{i}.wav"))
                espeak(voice, s, files[-1])
            m = mean_mcd(files)
            worst = m if not worst else min(worst, m)
            print(f"  {name}: {m:.2f} dB")
        print(f"ours / best yardstick: {ours_mcd / worst:.2f} (goal < 1)")


if __name__ == "__main__":
    sys.exit(main())
