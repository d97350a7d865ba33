#!/usr/bin/env python3
"""A whole job through the desktop program, by keyboard alone.

Starts `lorvane` under Xvfb with openbox, with a fresh home and settings folder, walks
to a folder of generated MP3 files, adds them, moves one up, starts the job through the
metadata dialog with the real ffmpeg, answers the success question and checks the M4B
files and their tags. Then it starts the program twice more to see that the settings
come back. Only key presses reach the program (xdotool); the checks read files.

Usage: ende_zu_ende.py LORVANE   (on an X display, as tests/gui/unter-xvfb gives one). Exit 77 = skipped.
"""

import os
import re
import subprocess
import sys

# The shared module is imported from the source tree, which stays clean.
sys.dont_write_bytecode = True
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from xsitzung import (TITEL, Programm, aufruf, bild, einstellungen,  # noqa: E402
                      mp3_erzeugen, sitzung, taste, tippen, ton)


def tags_von(datei):
    lauf = subprocess.run(["ffprobe", "-v", "error", "-show_entries", "format_tags",
                           "-of", "default=noprint_wrappers=1", datei],
                          capture_output=True, text=True, check=True)
    tags = {}
    for zeile in lauf.stdout.splitlines():
        name, _, wert = zeile.partition("=")
        tags[name.replace("TAG:", "").lower()] = wert
    return tags


def stille_beginnt(datei):
    lauf = subprocess.run(["ffmpeg", "-nostdin", "-i", datei, "-af",
                           "silencedetect=noise=-50dB:d=1", "-f", "null", "-"],
                          capture_output=True, text=True)
    treffer = re.search(r"silence_start: ([0-9.]+)", lauf.stderr)
    return float(treffer.group(1)) if treffer else None


def main():
    lorvane, code = aufruf(__doc__, "ffmpeg", "ffprobe")
    if lorvane is None:
        return code

    with sitzung("lorvane-e2e-") as (home, umgebung):
        quelle = os.path.join(home, "Hoerbuch")
        os.makedirs(quelle)
        # Natural order gives 1, 2, 10; the walk moves "Kapitel 10" above "Kapitel 2",
        # so the silence of chapter 10 must start after 2 seconds, not after 4.
        stille = "anullsrc=r=22050:cl=mono:d=2"
        mp3_erzeugen(os.path.join(quelle, "Kapitel 1.mp3"), ton(2),
                     {"title": "Vorschlag", "artist": "Niemand", "album": "Nichts"})
        mp3_erzeugen(os.path.join(quelle, "Kapitel 2.mp3"), ton(2), {})
        mp3_erzeugen(os.path.join(quelle, "Kapitel 10.mp3"), stille, {})
        # The main window's activation (waited for) also shows that openbox runs.
        return lauf(lorvane, umgebung, home)


def lauf(lorvane, umgebung, home):
    programm = Programm(lorvane, umgebung)
    # Drive level: the home folder is the first row; Enter opens it, its first visible
    # subfolder "Hoerbuch" gets the focus and the selection.
    # Qt handles the keys in order, each completely: no waiting between them.
    taste("Return")
    bild("e2e-0-ordner")
    taste("ctrl+h")
    programm.warte_auf_dialog("Meldung nach dem Hinzufügen", name=TITEL)
    taste("Return")
    programm.warte_auf_haupt("Hauptfenster nach dem Hinzufügen")
    taste("ctrl+2", "Down", "Down", "shift+ctrl+Up")
    bild("e2e-1-dateiliste")
    taste("ctrl+w")
    programm.warte_auf_dialog("Metadaten-Dialog", name="Metainformationen eingeben")
    taste("ctrl+a")
    tippen("Anna Autorin")
    taste("Tab", "ctrl+a")
    tippen("Wellen")
    taste("Tab", "ctrl+a")
    tippen("Brandung")
    taste("Tab", "ctrl+a")
    tippen("3")
    taste("Return")
    # The success question comes when the progress window has closed.
    programm.warte_auf_dialog("Erfolgsmeldung", name=TITEL, sekunden=300)
    taste("Escape")
    programm.warte_auf_haupt("Hauptfenster nach der Erfolgsmeldung")
    programm.beenden()

    ordner = os.path.join(home, "lorvane-Ausgabeordner", "Brandung")
    m4b = sorted(f for f in os.listdir(ordner) if f.endswith(".m4b"))
    assert len(m4b) == 1, m4b
    tags = tags_von(os.path.join(ordner, m4b[0]))
    assert tags.get("artist") == "Anna Autorin", tags
    assert tags.get("album") == "Brandung", tags
    assert tags.get("title", "").startswith("Wellen"), tags
    beginn = stille_beginnt(os.path.join(ordner, m4b[0]))
    assert beginn is not None and 1.5 < beginn < 2.8, beginn

    gespeichert = einstellungen(home)
    assert gespeichert.get("MaxStunden") == "3", gespeichert
    assert gespeichert.get("Path") == home + "/", gespeichert
    # A start and a close write the settings again from what was loaded.
    os.remove(os.path.join(home, ".config", "Lorvane", "Software", "Lorvane.ini"))
    with open(os.path.join(home, ".config", "Lorvane", "Software", "Lorvane.ini"), "w",
              encoding="utf-8") as f:
        f.write("[General]\nMaxStunden=7\nPath=%s/Hoerbuch/\nFontSize=14\n" % home)
    Programm(lorvane, umgebung).beenden()
    wieder = einstellungen(home)
    assert wieder.get("MaxStunden") == "7", wieder
    assert wieder.get("Path") == home + "/Hoerbuch/", wieder
    assert wieder.get("FontSize") == "14", wieder
    print("OK: %s, Tags %s, Stille ab %.2f s" % (m4b[0], tags, beginn))
    return 0


if __name__ == "__main__":
    sys.exit(main())
