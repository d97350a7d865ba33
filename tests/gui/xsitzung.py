"""What the whole-program walks share: the X session with openbox and a fresh home,
key presses through xdotool, waiting for windows, and generated MP3 files."""

import contextlib
import os
import shutil
import subprocess
import tempfile
import time

SKIP = 77
TITEL = "Lorvane V1.13"


def fehlt(*programme):
    return [p for p in programme if shutil.which(p) is None]


def grund_zum_ueberspringen(*programme):
    """None when the walk can run here, else why not."""
    if not os.environ.get("DISPLAY"):
        return "kein X-Display (mit xvfb-run starten)"
    fehlend = fehlt("openbox", "xdotool", *programme)
    return "es fehlen " + ", ".join(fehlend) if fehlend else None


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
        subprocess.run(["import", "-window", "root", os.path.join(ordner, "%s.png" % name)],
                       capture_output=True)


def taste(*tasten):
    for t in tasten:
        subprocess.run(["xdotool", "key", "--clearmodifiers", t], check=True)


def tippen(text):
    subprocess.run(["xdotool", "type", "--delay", "40", text], check=True)


def mp3_erzeugen(datei, quelle, tags=None):
    befehl = ["ffmpeg", "-nostdin", "-loglevel", "error", "-y", "-f", "lavfi", "-i", quelle,
              "-ac", "1", "-c:a", "libmp3lame", "-b:a", "32k", "-id3v2_version", "3"]
    for name, wert in (tags or {}).items():
        befehl += ["-metadata", f"{name}={wert}"]
    subprocess.run(befehl + [datei], check=True)


def ton(sekunden):
    return "sine=frequency=440:sample_rate=22050:duration=%g" % sekunden


def ini_lesen(datei):
    werte = {}
    with open(datei, encoding="utf-8") as f:
        for zeile in f:
            name, gleich, wert = zeile.strip().partition("=")
            if gleich:
                werte[name] = wert
    return werte


@contextlib.contextmanager
def sitzung(prefix):
    """A fresh home (settings, cache and data below it) and openbox on the display.
    Yields the home folder and the environment for the program."""
    with tempfile.TemporaryDirectory(prefix=prefix) as home:
        umgebung = dict(os.environ)
        for name in ("XDG_CONFIG_HOME", "XDG_CACHE_HOME", "XDG_DATA_HOME", "XDG_RUNTIME_DIR"):
            umgebung.pop(name, None)
        umgebung.update(HOME=home, QT_QPA_PLATFORM="xcb", LANG="C.UTF-8")
        openbox = subprocess.Popen(["openbox"], stdout=subprocess.DEVNULL,
                                   stderr=subprocess.DEVNULL, env=umgebung)
        try:
            yield home, umgebung
        finally:
            openbox.terminate()
            openbox.wait(timeout=10)


class Programm:
    """A first instance: started, and waited for until its main window has the focus."""

    def __init__(self, lorvane, umgebung):
        self.prozess = subprocess.Popen([lorvane], env=umgebung)
        self.haupt = warten(self._hauptfenster, "Hauptfenster erscheint")

    def _hauptfenster(self):
        if self.prozess.poll() is not None:
            raise AssertionError("lorvane endete beim Start mit %d" % self.prozess.returncode)
        return self.aktiv_und_fokussiert()

    def aktiv_und_fokussiert(self):
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

    def warte_auf_ende(self, beschreibung, sekunden=30.0):
        warten(lambda: self.prozess.poll() is not None, beschreibung, sekunden)
        if self.prozess.returncode != 0:
            raise AssertionError("lorvane endete mit %d" % self.prozess.returncode)

    def beenden(self):
        taste("alt+F4")
        self.warte_auf_ende("Programmende nach Alt+F4")
