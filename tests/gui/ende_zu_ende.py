#!/usr/bin/env python3
"""A whole job through the desktop program, by keyboard alone.

Starts `lorvane` under Xvfb with openbox, with a fresh home and settings folder, walks
to a folder of generated MP3 files, adds them, moves one up, starts the job through the
metadata dialog with the real ffmpeg, answers the success question and checks the M4B
files and their tags. Then it starts the program twice more to see that the settings
come back. Only key presses reach the program (xdotool); the checks read files.

Usage: ende_zu_ende.py LORVANE   (inside xvfb-run). Exit 77 = skipped.
"""

import os
import re
import shutil
import subprocess
import sys
import tempfile
import time

SKIP = 77
TITEL = "Lorvane V1.13"


def fehlt(*programme):
    return [p for p in programme if shutil.which(p) is None]


def warten(bedingung, beschreibung, sekunden=60.0):
    ende = time.monotonic() + sekunden
    while time.monotonic() < ende:
        wert = bedingung()
        if wert:
            return wert
        time.sleep(0.1)
    fenster, name = aktives_fenster()
    raise AssertionError("Zeitüberschreitung: %s (aktiv: %s \"%s\")" % (beschreibung, fenster, name))


def xdotool(*args):
    lauf = subprocess.run(["xdotool", *args], capture_output=True, text=True)
    return lauf.stdout.strip() if lauf.returncode == 0 else ""


def aktives_fenster():
    fenster = xdotool("getactivewindow")
    return (fenster, xdotool("getwindowname", fenster)) if fenster else ("", "")


def bild(name):
    """A screenshot of the whole screen, when a folder for them is given."""
    ordner = os.environ.get("LORVANE_SCREENSHOT_DIR")
    if ordner and shutil.which("import"):
        os.makedirs(ordner, exist_ok=True)
        subprocess.run(["import", "-window", "root", os.path.join(ordner, "e2e-%s.png" % name)],
                       capture_output=True)


def taste(*tasten):
    for t in tasten:
        subprocess.run(["xdotool", "key", "--clearmodifiers", t], check=True)


def tippen(text):
    subprocess.run(["xdotool", "type", "--delay", "40", text], check=True)


def mp3_erzeugen(datei, quelle, tags):
    befehl = ["ffmpeg", "-nostdin", "-loglevel", "error", "-y", "-f", "lavfi", "-i", quelle,
              "-ac", "1", "-c:a", "libmp3lame", "-b:a", "32k", "-id3v2_version", "3"]
    for name, wert in tags.items():
        befehl += ["-metadata", f"{name}={wert}"]
    subprocess.run(befehl + [datei], check=True)


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


class Programm:
    def __init__(self, lorvane, umgebung):
        self.prozess = subprocess.Popen([lorvane], env=umgebung)
        self.haupt = warten(self._hauptfenster, "Hauptfenster erscheint")

    def _hauptfenster(self):
        if self.prozess.poll() is not None:
            raise AssertionError("lorvane endete beim Start mit %d" % self.prozess.returncode)
        fenster, name = aktives_fenster()
        # Active for the window manager is not yet enough: keys go where the input
        # focus is.
        if name == TITEL and xdotool("getwindowfocus") == fenster:
            return fenster
        return ""

    def warte_auf_dialog(self, beschreibung, name=None, sekunden=60.0):
        """Waits until a window other than the main window is active."""

        def offen():
            fenster, titel = aktives_fenster()
            # X11 window titles end with " — " and the program's name.
            if fenster and fenster != self.haupt and (name is None or titel.split(" — ")[0] == name):
                return fenster
            return ""

        return warten(offen, beschreibung, sekunden)

    def warte_auf_haupt(self, beschreibung, sekunden=60.0):
        warten(lambda: aktives_fenster()[0] == self.haupt, beschreibung, sekunden)

    def beenden(self):
        taste("alt+F4")
        self.prozess.wait(timeout=30)
        if self.prozess.returncode != 0:
            raise AssertionError("lorvane endete mit %d" % self.prozess.returncode)


def einstellungen(home):
    datei = os.path.join(home, ".config", "Lorvane", "Software", "Lorvane.ini")
    werte = {}
    with open(datei, encoding="utf-8") as f:
        for zeile in f:
            name, gleich, wert = zeile.strip().partition("=")
            if gleich:
                werte[name] = wert
    return werte


def main():
    if len(sys.argv) != 2:
        print(__doc__)
        return 2
    lorvane = os.path.abspath(sys.argv[1])
    if not os.environ.get("DISPLAY"):
        print("SKIP: kein X-Display (mit xvfb-run starten)")
        return SKIP
    if fehlt("openbox", "xdotool", "ffmpeg", "ffprobe"):
        print("SKIP: es fehlen " + ", ".join(fehlt("openbox", "xdotool", "ffmpeg", "ffprobe")))
        return SKIP

    with tempfile.TemporaryDirectory(prefix="lorvane-e2e-") as home:
        umgebung = dict(os.environ)
        for name in ("XDG_CONFIG_HOME", "XDG_CACHE_HOME", "XDG_DATA_HOME", "XDG_RUNTIME_DIR"):
            umgebung.pop(name, None)
        umgebung.update(HOME=home, QT_QPA_PLATFORM="xcb", LANG="C.UTF-8")
        quelle = os.path.join(home, "Hoerbuch")
        os.makedirs(quelle)
        # Natural order gives 1, 2, 10; the walk moves "Kapitel 10" above "Kapitel 2",
        # so the silence of chapter 10 must start after 2 seconds, not after 4.
        ton = "sine=frequency=440:sample_rate=22050:duration=2"
        stille = "anullsrc=r=22050:cl=mono:d=2"
        mp3_erzeugen(os.path.join(quelle, "Kapitel 1.mp3"), ton,
                     {"title": "Vorschlag", "artist": "Niemand", "album": "Nichts"})
        mp3_erzeugen(os.path.join(quelle, "Kapitel 2.mp3"), ton, {})
        mp3_erzeugen(os.path.join(quelle, "Kapitel 10.mp3"), stille, {})

        openbox = subprocess.Popen(["openbox"], stdout=subprocess.DEVNULL,
                                   stderr=subprocess.DEVNULL, env=umgebung)
        try:
            # The main window's activation (waited for) also shows that openbox runs.
            return lauf(lorvane, umgebung, home)
        finally:
            openbox.terminate()
            openbox.wait(timeout=10)


def lauf(lorvane, umgebung, home):
    programm = Programm(lorvane, umgebung)
    # Drive level: the home folder is the first row; Enter opens it, its first visible
    # subfolder "Hoerbuch" gets the focus and the selection.
    # Qt handles the keys in order, each completely: no waiting between them.
    taste("Return")
    bild("0-ordner")
    taste("ctrl+h")
    programm.warte_auf_dialog("Meldung nach dem Hinzufügen", name=TITEL)
    taste("Return")
    programm.warte_auf_haupt("Hauptfenster nach dem Hinzufügen")
    taste("ctrl+2", "Down", "Down", "shift+ctrl+Up")
    bild("1-dateiliste")
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
