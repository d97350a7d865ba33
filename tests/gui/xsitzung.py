"""What the whole-program walks share: the X session with openbox and a fresh home,
key presses through xdotool, waiting for windows, and generated MP3 files."""

import contextlib
import os
import shutil
import subprocess
import sys
import tempfile
import time

SKIP = 77
TITEL = "Lorvane V1.13"


def fehlt(*programme):
    return [p for p in programme if shutil.which(p) is None]


def grund_zum_ueberspringen(*programme):
    """None when the walk can run here, else why not."""
    if not os.environ.get("DISPLAY"):
        return "kein X-Display (mit tests/gui/unter-xvfb starten)"
    fehlend = fehlt("openbox", "xdotool", *programme)
    return "es fehlen " + ", ".join(fehlend) if fehlend else None


def aufruf(hilfe, *programme):
    """The program under test, named on the command line, and 0; or None and the exit
    code when the walk cannot run (2: wrong call, SKIP: tools or display missing)."""
    if len(sys.argv) != 2:
        print(hilfe)
        return None, 2
    grund = grund_zum_ueberspringen(*programme)
    if grund:
        print("SKIP: " + grund)
        return None, SKIP
    return os.path.abspath(sys.argv[1]), 0


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


def einstellungen(home):
    """The program's saved settings in the fresh home."""
    return ini_lesen(os.path.join(home, ".config", "Lorvane", "Software", "Lorvane.ini"))


def fenstermanager_starten(umgebung, protokoll, versuche=3):
    """Starts openbox and waits until it manages the screen; a program started before
    that would get its first window without focus, and a loaded machine may take
    seconds. On a loaded machine openbox now and then fails to open a display that is
    there (seen: "Failed to open the display"); it is started again, a few times."""
    for versuch in range(1, versuche + 1):
        openbox = subprocess.Popen(["openbox"], stdout=protokoll, stderr=protokoll, env=umgebung)

        def bereit():
            # Answered only once a window manager has set the desktops up.
            return openbox.poll() is not None or xdotool("get_num_desktops") not in ("", "0")

        warten(bereit, "openbox verwaltet den Bildschirm")
        if openbox.poll() is None:
            return openbox
        if versuch == versuche:
            protokoll.flush()
            with open(protokoll.name, encoding="utf-8", errors="replace") as f:
                raise AssertionError("openbox endete mit %d: %s" % (openbox.returncode, f.read()))
    return None


# Every program started in a session, to be ended with it.
_gestartet = []


@contextlib.contextmanager
def sitzung(prefix):
    """A fresh home (settings, cache and data below it) and openbox on the display.
    Yields the home folder and the environment for the program."""
    with tempfile.TemporaryDirectory(prefix=prefix) as home:
        umgebung = dict(os.environ)
        for name in ("XDG_CONFIG_HOME", "XDG_CACHE_HOME", "XDG_DATA_HOME", "XDG_RUNTIME_DIR"):
            umgebung.pop(name, None)
        umgebung.update(HOME=home, QT_QPA_PLATFORM="xcb", LANG="C.UTF-8")
        protokoll = open(os.path.join(home, "openbox.log"), "wb")
        openbox = fenstermanager_starten(umgebung, protokoll)
        try:
            yield home, umgebung
        finally:
            # A failed walk leaves its program running; it must not hold the test open.
            for prozess in _gestartet:
                if prozess.poll() is None:
                    prozess.kill()
                    prozess.wait(timeout=10)
            openbox.terminate()
            openbox.wait(timeout=10)
            protokoll.close()


def breite(fenster):
    zeilen = xdotool("getwindowgeometry", "--shell", fenster).splitlines()
    werte = dict(z.split("=", 1) for z in zeilen if "=" in z)
    return int(werte.get("WIDTH", "0"))


class Programm:
    """A first instance: started, and waited for until its main window has the focus.
    Started with folders, it adds them at once: the closing message is answered first."""

    def __init__(self, lorvane, umgebung, argumente=(), ordner=None):
        self.prozess = subprocess.Popen([lorvane, *argumente], env=umgebung, cwd=ordner)
        _gestartet.append(self.prozess)
        self.haupt = ""
        if argumente:
            # The message has the main window's title, but not its size.
            meldung = warten(lambda: self._laeuft() and self._fokussiert(lambda f: breite(f) < 800),
                             "Meldung nach dem Hinzufügen der eigenen Ordner")
            taste("Return")
            self.haupt = warten(lambda: self._laeuft() and self._fokussiert(lambda f: f != meldung),
                                "Hauptfenster nach der Meldung")
        else:
            self.haupt = warten(lambda: self._laeuft() and self.aktiv_und_fokussiert(),
                                "Hauptfenster erscheint")

    def _laeuft(self):
        if self.prozess.poll() is not None:
            raise AssertionError("lorvane endete beim Start mit %d" % self.prozess.returncode)
        return True

    def _fokussiert(self, passt):
        fenster = self.aktiv_und_fokussiert()
        return fenster if fenster and passt(fenster) else ""

    def aktiv_und_fokussiert(self):
        fenster, name = aktives_fenster()
        # Active for the window manager is not yet enough: keys go where the input
        # focus is.
        if name == TITEL and xdotool("getwindowfocus") == fenster:
            return fenster
        return ""

    def warte_auf_dialog(self, beschreibung, name=None, sekunden=60.0, ausser=""):
        """Waits until a window other than the main window (and ausser) is active."""

        def offen():
            fenster, titel = aktives_fenster()
            # X11 window titles end with " — " and the program's name.
            if fenster and fenster not in (self.haupt, ausser) and (
                    name is None or titel.split(" — ")[0] == name):
                return fenster
            return ""

        return warten(offen, beschreibung, sekunden)

    def sichtbare_fenster(self):
        """The program's visible X windows, popup menus included."""
        return set(xdotool("search", "--onlyvisible", "--pid", str(self.prozess.pid)).split())

    def warte_auf_haupt(self, beschreibung, sekunden=60.0):
        warten(lambda: aktives_fenster()[0] == self.haupt, beschreibung, sekunden)

    def warte_auf_ende(self, beschreibung, sekunden=30.0):
        warten(lambda: self.prozess.poll() is not None, beschreibung, sekunden)
        if self.prozess.returncode != 0:
            raise AssertionError("lorvane endete mit %d" % self.prozess.returncode)

    def beenden(self):
        taste("alt+F4")
        self.warte_auf_ende("Programmende nach Alt+F4")
