#!/usr/bin/env python3
"""The program's announcements through the real speech library, as Orca users hear them.

A stand-in for Speech Dispatcher listens on a Unix socket (SSIP, the protocol that
libspeechd speaks) and records every command; a process named "orca" stands in for the
screen reader. The program starts under Xvfb with openbox, and Strg+2 moves the focus
to the file list: the service must hear "Ordnerliste" and "Dateiliste", in German and
at message priority, so that Orca's own speech neither cancels them nor is cut off.

Then, by keyboard alone: a menu closed with Esc, and a menu item that opens a dialog,
add nothing of the list the focus returns to; a job through the metadata dialog is
heard with its start, its finished part and its end; Strg+L names the folder list once.
Each step ends with a move whose announcement is known, so that everything the step
said has been heard before it.

Finally the service stops answering: the program must still react to the keyboard and
end.

Usage: orca_ansage.py LORVANE   (on an X display, as tests/gui/unter-xvfb gives one). Exit 77 = skipped.
"""

import os
import shutil
import socket
import subprocess
import sys
import threading

# The shared module is imported from the source tree, which stays clean.
sys.dont_write_bytecode = True
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from xsitzung import (TITEL, Programm, aufruf, mp3_erzeugen, sitzung, taste,  # noqa: E402
                      tippen, ton, warten)


class Sprachdienst:
    """Answers SSIP commands with success and records them; stops answering on demand."""

    def __init__(self, pfad):
        self.befehle = []
        self.texte = []
        self.stumm = threading.Event()
        self._lock = threading.Lock()
        self._server = socket.socket(socket.AF_UNIX, socket.SOCK_STREAM)
        self._server.bind(pfad)
        self._server.listen(4)
        threading.Thread(target=self._annehmen, daemon=True).start()

    def _annehmen(self):
        while True:
            try:
                verbindung, _ = self._server.accept()
            except OSError:
                return
            threading.Thread(target=self._bedienen, args=(verbindung,), daemon=True).start()

    def _bedienen(self, verbindung):
        datei = verbindung.makefile("rb")
        text = None
        for roh in datei:
            zeile = roh.decode("utf-8", "replace").rstrip("\r\n")
            if text is not None:
                if zeile == ".":
                    with self._lock:
                        self.texte.append("\n".join(text))
                    text = None
                    antwort = "225-1\r\n225 OK MESSAGE QUEUED\r\n"
                else:
                    text.append(zeile)
                    continue
            else:
                with self._lock:
                    self.befehle.append(zeile)
                if zeile.upper() == "SPEAK":
                    text = []
                    antwort = "230 OK RECEIVING DATA\r\n"
                elif zeile.upper() == "QUIT":
                    verbindung.sendall(b"231 HAPPY HACKING\r\n")
                    break
                else:
                    antwort = "200 OK\r\n"
            if self.stumm.is_set():
                # A hung service: it reads on but never answers.
                continue
            verbindung.sendall(antwort.encode())
        verbindung.close()

    def gehoert(self):
        with self._lock:
            return list(self.texte), list(self.befehle)

    def schliessen(self):
        self._server.close()


def main():
    lorvane, code = aufruf(__doc__, "ffmpeg")
    if lorvane is None:
        return code
    with sitzung("lorvane-orca-") as (home, umgebung):
        # The first visible folder of the home, as in the whole-job walk.
        os.makedirs(os.path.join(home, "Hoerbuch"))
        mp3_erzeugen(os.path.join(home, "Hoerbuch", "Kapitel 1.mp3"), ton(2))
        # Seen by the process list as this user's Orca.
        orca = os.path.join(home, "orca")
        shutil.copy("/bin/sleep", orca)
        screenreader = subprocess.Popen([orca, "600"])
        dienst = Sprachdienst(os.path.join(home, "speechd.sock"))
        umgebung["SPEECHD_ADDRESS"] = "unix_socket:" + os.path.join(home, "speechd.sock")
        try:
            return lauf(lorvane, umgebung, dienst)
        finally:
            dienst.schliessen()
            screenreader.kill()
            screenreader.wait()


class Mitschrift:
    """What the service heard since the start of a step."""

    def __init__(self, dienst):
        self.dienst = dienst
        self.ab = len(dienst.gehoert()[0])

    def neu(self):
        return self.dienst.gehoert()[0][self.ab:]

    def warte(self, text, anzahl=1, sekunden=30):
        try:
            warten(lambda: self.neu().count(text) >= anzahl, "Ansage \"%s\"" % text, sekunden)
        except AssertionError as fehler:
            raise AssertionError("%s; gehört: %s" % (fehler, self.neu())) from None


def lauf(lorvane, umgebung, dienst):
    # Listening from before the start: on a loaded machine the first focus may be named
    # before the window is seen to be active.
    anfang = Mitschrift(dienst)
    programm = Programm(lorvane, umgebung)
    # The window's first focus is named once it has settled; a key pressed before that
    # moves the focus on, and only where it ends is named.
    anfang.warte("Ordnerliste")
    taste("ctrl+2")
    warten(lambda: "Dateiliste" in dienst.gehoert()[0], "Ansage der Dateiliste", 30)
    texte, befehle = dienst.gehoert()
    # Each entry is said once.
    assert texte == ["Ordnerliste", "Dateiliste"], (texte, befehle)
    gross = [b.upper() for b in befehle]
    assert "SET SELF LANGUAGE DE" in gross, befehle
    assert "SET SELF PRIORITY MESSAGE" in gross, befehle

    menues_und_dialoge(programm, dienst)
    auftrag(programm, dienst)

    dienst.stumm.set()
    vorher = len(dienst.gehoert()[1])
    taste("ctrl+1")
    warten(lambda: len(dienst.gehoert()[1]) > vorher, "der nächste Befehl an den Dienst")
    # The service hangs now; the window must still take keys and close.
    taste("ctrl+2", "ctrl+1")
    programm.beenden()
    print("OK: gehört %s" % dienst.gehoert()[0])
    return 0


def menues_und_dialoge(programm, dienst):
    # The focus is on the file list. Its menu closed with Esc returns to it in silence.
    # The keys wait for the menu to show and to go: a key typed before the menu opens
    # would not reach it.
    schritt = Mitschrift(dienst)
    vorher = programm.sichtbare_fenster()
    taste("Menu")
    warten(lambda: len(programm.sichtbare_fenster()) > len(vorher), "Kontextmenü offen")
    taste("Escape")
    warten(lambda: programm.sichtbare_fenster() == vorher, "Kontextmenü zu")
    taste("ctrl+1")
    schritt.warte("Ordnerliste")
    assert schritt.neu() == ["Ordnerliste"], schritt.neu()

    # A menu item that opens a dialog: the dialog's field, not the list left behind.
    schritt = Mitschrift(dienst)
    taste("alt+e", "l")
    schritt.warte("Stunden (1 bis 10)")
    taste("Escape")
    programm.warte_auf_haupt("Hauptfenster nach dem Stunden-Dialog")
    taste("ctrl+2")
    schritt.warte("Dateiliste")
    assert schritt.neu() == ["Stunden (1 bis 10)", "Dateiliste"], schritt.neu()


def auftrag(programm, dienst):
    # Adding the folder and its info box say nothing; the metadata dialog names its
    # fields; the job is heard with its start, its one part and its end; the file list
    # the focus returns to after the success question is not named again.
    schritt = Mitschrift(dienst)
    taste("ctrl+1")
    schritt.warte("Ordnerliste")
    taste("Return", "ctrl+h")
    programm.warte_auf_dialog("Meldung nach dem Hinzufügen", name=TITEL)
    taste("Return")
    programm.warte_auf_haupt("Hauptfenster nach dem Hinzufügen")
    taste("ctrl+w")
    programm.warte_auf_dialog("Metadaten-Dialog", name="Metainformationen eingeben")
    for feld, text in (("Autor", "Anna"), ("Titel", "Wellen"), ("Album", "Brandung")):
        if feld != "Autor":
            taste("Tab")
        schritt.warte(feld)
        taste("ctrl+a")
        tippen(text)
    taste("Return")
    programm.warte_auf_dialog("Erfolgsmeldung", name=TITEL, sekunden=300)
    taste("Escape")
    programm.warte_auf_haupt("Hauptfenster nach der Erfolgsmeldung")
    taste("ctrl+1")
    schritt.warte("Ordnerliste", 2)
    erwartet = ["Ordnerliste", "Autor", "Titel", "Album", "Erstelle Hörbuch \"Brandung\"",
                "Teil 1 von 1 fertig", "Hörbuch \"Brandung\" fertig", "Ordnerliste"]
    assert schritt.neu() == erwartet, schritt.neu()

    # Strg+L in the file list: the folder list, once.
    schritt = Mitschrift(dienst)
    taste("ctrl+2")
    schritt.warte("Dateiliste")
    taste("ctrl+l")
    schritt.warte("Ordnerliste")
    taste("ctrl+2")
    schritt.warte("Dateiliste", 2)
    assert schritt.neu() == ["Dateiliste", "Ordnerliste", "Dateiliste"], schritt.neu()


if __name__ == "__main__":
    sys.exit(main())
