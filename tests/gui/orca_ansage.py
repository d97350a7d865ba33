#!/usr/bin/env python3
"""The program's announcements through the real speech library, as Orca users hear them.

A stand-in for Speech Dispatcher listens on a Unix socket (SSIP, the protocol that
libspeechd speaks) and records every command; a process named "orca" stands in for the
screen reader. The program starts under Xvfb with openbox, and Strg+2 moves the focus
to the file list: the service must hear "Ordnerliste" and "Dateiliste", in German and
at message priority, so that Orca's own speech neither cancels them nor is cut off.
Then the service stops answering: the program must still react to the keyboard and end.

Usage: orca_ansage.py LORVANE   (inside xvfb-run). Exit 77 = skipped.
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
from xsitzung import Programm, aufruf, sitzung, taste, warten  # noqa: E402


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
    lorvane, code = aufruf(__doc__)
    if lorvane is None:
        return code
    with sitzung("lorvane-orca-") as (home, umgebung):
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


def lauf(lorvane, umgebung, dienst):
    programm = Programm(lorvane, umgebung)
    taste("ctrl+2")
    warten(lambda: "Dateiliste" in dienst.gehoert()[0], "Ansage der Dateiliste", 30)
    texte, befehle = dienst.gehoert()
    # Each entry is said once.
    assert texte == ["Ordnerliste", "Dateiliste"], (texte, befehle)
    gross = [b.upper() for b in befehle]
    assert "SET SELF LANGUAGE DE" in gross, befehle
    assert "SET SELF PRIORITY MESSAGE" in gross, befehle

    dienst.stumm.set()
    vorher = len(dienst.gehoert()[1])
    taste("ctrl+1")
    warten(lambda: len(dienst.gehoert()[1]) > vorher, "der nächste Befehl an den Dienst")
    # The service hangs now; the window must still take keys and close.
    taste("ctrl+2", "ctrl+1")
    programm.beenden()
    print("OK: gehört %s" % dienst.gehoert()[0])
    return 0


if __name__ == "__main__":
    sys.exit(main())
