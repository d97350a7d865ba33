#!/usr/bin/env python3
"""scripts/include-check on the project's own tree and on small trees with one include
each: down passes; up, sideways and an unknown folder fail, naming the file."""
import pathlib
import subprocess
import sys
import tempfile

SKRIPT = pathlib.Path(__file__).resolve().parents[2] / "scripts" / "include-check"

# (including file, included header, passes)
FAELLE = [
    ("engine/encoder/A.cpp", "engine/prozess/B.h", True),
    ("ui/haupt/A.cpp", "base/B.h", True),
    ("engine/A.cpp", "engine/B.h", True),
    ("base/A.h", "engine/B.h", False),
    ("engine/prozess/A.cpp", "engine/ordner/B.h", False),
    ("platform/aussehen/A.cpp", "ui/B.h", False),
    ("engine/A.cpp", "engine/auswahl/B.h", False),
    ("neu/A.cpp", "base/B.h", False),
]


def pruefen(src):
    return subprocess.run([sys.executable, str(SKRIPT), str(src)], capture_output=True,
                          text=True)


def main():
    fehler = []
    eigenes = pruefen(SKRIPT.parent.parent / "src")
    if eigenes.returncode != 0:
        fehler.append("the project's own tree: " + eigenes.stderr)
    for datei, ziel, passt in FAELLE:
        with tempfile.TemporaryDirectory() as ordner:
            src = pathlib.Path(ordner)
            for name, text in ((ziel, ""), (datei, f'#include "{ziel}"\n')):
                (src / name).parent.mkdir(parents=True, exist_ok=True)
                (src / name).write_text(text, encoding="utf-8")
            ergebnis = pruefen(src)
            if (ergebnis.returncode == 0) != passt:
                fehler.append(f"{datei} -> {ziel}: exit {ergebnis.returncode}, {ergebnis.stderr}")
            elif not passt and datei not in ergebnis.stderr:
                fehler.append(f"{datei} -> {ziel}: the message does not name the file: "
                              + ergebnis.stderr)
    for zeile in fehler:
        print(zeile, file=sys.stderr)
    return 1 if fehler else 0


if __name__ == "__main__":
    sys.exit(main())
