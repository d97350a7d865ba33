#!/usr/bin/env python3
"""Two real starts of the program, as from a file manager's "Open with".

A first instance starts under Xvfb with openbox and two folders of its own, named
"-platform" and "offscreen": they are added, and Qt never takes them for its option
(the window would not appear on the display). A second start without arguments brings
its minimised main window back to the front. A second start with two sibling folders
(given relative to the sender's folder, one with a leading blank, one with "|" and "%"
in its name) hands them over: the first instance shows their parent, selects both and
adds their files after "Ja" to emptying the list, which the job's M4B length proves
(a third sibling and the first two folders stay out). A
"ProgramClose" value written while the job runs is taken and dropped; written after it,
it closes the program. The second starts must end at once, without a window.

Usage: zwei_instanzen.py LORVANE   (on an X display, as tests/gui/unter-xvfb gives one). Exit 77 = skipped.
"""

import os
import shutil
import subprocess
import sys
import time

# The shared module is imported from the source tree, which stays clean.
sys.dont_write_bytecode = True
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from xsitzung import (TITEL, Programm, aufruf, einstellungen,  # noqa: E402
                      mp3_erzeugen, sitzung, taste, tippen, ton, warten, xdotool)

ORDNER_A = " Teil A"
ORDNER_B = "Teil|B 100%"


def zweiter_start(lorvane, umgebung, ordner, *argumente):
    beginn = time.monotonic()
    lauf = subprocess.run([lorvane, *argumente], env=umgebung, cwd=ordner, timeout=30,
                          capture_output=True, text=True)
    dauer = time.monotonic() - beginn
    assert lauf.returncode == 0, (lauf.returncode, lauf.stderr)
    # It only writes the hand-over; it never waits for the first instance's answer. The
    # bound catches a wait, not a slow start: a sanitizer build on a loaded machine takes
    # seconds just to start.
    assert dauer < 15, dauer
    return dauer


def tor_ffmpeg(bin_ordner, tor, gerufen):
    """An ffmpeg in front of the real one that waits while the gate file exists, so that
    the job is known to run for as long as the test needs."""
    echt = shutil.which("ffmpeg")
    os.makedirs(bin_ordner)
    datei = os.path.join(bin_ordner, "ffmpeg")
    with open(datei, "w", encoding="utf-8") as f:
        f.write("#!/bin/sh\n: > '%s'\nwhile [ -e '%s' ]; do sleep 0.05; done\nexec '%s' \"$@\"\n"
                % (gerufen, tor, echt))
    os.chmod(datei, 0o755)


def dauer_von(datei):
    lauf = subprocess.run(["ffprobe", "-v", "error", "-show_entries", "format=duration",
                           "-of", "default=noprint_wrappers=1:nokey=1", datei],
                          capture_output=True, text=True, check=True)
    return float(lauf.stdout.strip())


def schliessen_anfordern(uebergabe):
    """What another process may write: the close request, written in one step."""
    os.makedirs(os.path.dirname(uebergabe), exist_ok=True)
    with open(uebergabe + ".neu", "w", encoding="utf-8") as f:
        f.write("[General]\nProgramClose=1\n")
    os.rename(uebergabe + ".neu", uebergabe)


def main():
    lorvane, code = aufruf(__doc__, "ffmpeg", "ffprobe")
    if lorvane is None:
        return code

    with sitzung("lorvane-zwei-") as (home, umgebung):
        sammlung = os.path.join(home, "Sammlung")
        for ordner, sekunden in ((ORDNER_A, 2), (ORDNER_B, 3), ("Teil C", 4), ("-platform", 1),
                                 ("offscreen", 1)):
            os.makedirs(os.path.join(sammlung, ordner))
            mp3_erzeugen(os.path.join(sammlung, ordner, "Kapitel.mp3"), ton(sekunden))
        tor = os.path.join(home, "tor")
        gerufen = os.path.join(home, "ffmpeg-gerufen")
        tor_ffmpeg(os.path.join(home, "bin"), tor, gerufen)
        umgebung["PATH"] = os.path.join(home, "bin") + os.pathsep + umgebung.get("PATH", "")
        return lauf(lorvane, umgebung, home, sammlung, tor, gerufen)


def lauf(lorvane, umgebung, home, sammlung, tor, gerufen):
    uebergabe = os.path.join(home, ".config", "Lorvane", "Lorvane.ini")
    erste = Programm(lorvane, umgebung, argumente=["-platform", "offscreen"], ordner=sammlung)

    xdotool("windowminimize", erste.haupt)
    warten(lambda: not erste.aktiv_und_fokussiert(), "Hauptfenster minimiert")
    zweiter_start(lorvane, umgebung, home)
    warten(erste.aktiv_und_fokussiert, "zweiter Start ohne Argumente holt das Hauptfenster nach vorn")

    dauer = zweiter_start(lorvane, umgebung, sammlung, ORDNER_A, ORDNER_B)
    # The list holds the first two folders' files: first the question whether to empty
    # it (Enter: "Ja"), then the add dialog's closing message.
    frage = erste.warte_auf_dialog("Frage nach dem Leeren der Dateiliste", name=TITEL)
    assert not os.path.exists(uebergabe), "Übergabe nicht abgeholt"
    taste("Return")
    erste.warte_auf_dialog("Meldung nach dem Hinzufügen der übergebenen Ordner", name=TITEL,
                           ausser=frage)
    taste("Return")
    erste.warte_auf_haupt("Hauptfenster nach dem Hinzufügen")

    open(tor, "w").close()
    taste("ctrl+w")
    erste.warte_auf_dialog("Metadaten-Dialog", name="Metainformationen eingeben")
    for feld in ("Zwei Starts", "Sendung", "Uebergabe", "3"):
        taste("ctrl+a")
        tippen(feld)
        taste("Tab")
    taste("Return")
    warten(lambda: os.path.exists(gerufen), "der Job ruft ffmpeg")
    schliessen_anfordern(uebergabe)
    warten(lambda: not os.path.exists(uebergabe), "Schließen-Anforderung abgeholt")
    os.remove(tor)
    erste.warte_auf_dialog("Erfolgsmeldung nach dem Job", name=TITEL, sekunden=300)
    assert erste.prozess.poll() is None, "während des Jobs geschlossen"
    taste("Escape")
    erste.warte_auf_haupt("Hauptfenster nach der Erfolgsmeldung")

    schliessen_anfordern(uebergabe)
    erste.warte_auf_ende("Schließen-Anforderung ohne Job beendet das Programm")
    assert not os.path.exists(uebergabe), "Schließen-Anforderung nicht abgeholt"

    ausgabe = os.path.join(home, "lorvane-Ausgabeordner", "Uebergabe")
    m4b = sorted(f for f in os.listdir(ausgabe) if f.endswith(".m4b"))
    assert len(m4b) == 1, m4b
    laenge = dauer_von(os.path.join(ausgabe, m4b[0]))
    # 2 s from the first folder and 3 s from the second; the others' seconds stay out.
    assert 4.5 < laenge < 5.6, laenge
    gespeichert = einstellungen(home)
    assert gespeichert.get("Path") == sammlung + "/", gespeichert
    print("OK: zweiter Start in %.2f s, %s mit %.2f s" % (dauer, m4b[0], laenge))
    return 0


if __name__ == "__main__":
    sys.exit(main())
