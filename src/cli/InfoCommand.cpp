#include "cli/InfoCommand.h"

#include "audio/Mp3Files.h"
#include "cli/ConsoleFrontEnd.h"

#include <string_view>

namespace lorvane::cli {

namespace {

constexpr std::string_view kHeader =
    "file\tresult\tvalid\tfirst_header_position\tfile_size\tid3v2_size\tape_size\t"
    "id3v1_size\tversion\tlayer\tsamplerate\tchannelmode\tchannels\tbitrate\tframes\t"
    "duration\tvbr\ttitle\tartist\talbum";

constexpr const char* kHilfe = R"HILFE(Aufruf: lorvane-cli info [--] DATEI...

Analysiert MP3-Dateien und schreibt auf die Standardausgabe eine Kopfzeile, dann je
Datei eine Zeile mit tabulatorgetrennten Werten in den Spalten:
  file, result, valid, first_header_position, file_size, id3v2_size, ape_size,
  id3v1_size, version, layer, samplerate, channelmode, channels, bitrate, frames,
  duration, vbr, title, artist, album
Steuerzeichen in Dateinamen und Tags werden zu Leerzeichen. Findet die Analyse in
einer Datei keine gültigen MPEG-Daten, steht in den MPEG-Spalten
(first_header_position, version, layer, samplerate, channelmode, channels, bitrate,
frames, duration, vbr) ein "-".

Optionen:
  -h, --help  diese Hilfe
  --          Ende der Optionen: Danach darf eine Datei mit "-" beginnen.

Rückgabewert:
  0  alle Dateien gültig
  1  mindestens eine Datei ungültig, oder die Ausgabe konnte nicht geschrieben
     werden
  2  Aufruffehler
)HILFE";

bool IsUsable(const TMP3File& file) {
    return file.Valid() && file.MpegInfo().Valid();
}

void WriteLine(std::ostream& out, const std::string& name, int result, const TMP3File& file) {
    const TMpegInfo& mpeg = file.MpegInfo();
    // Without a frame the MPEG values are no facts about this file.
    const auto mpegCell = [&out, known = mpeg.Valid()](const auto& value) -> std::ostream& {
        if (known) {
            out << value;
        } else {
            out << '-';
        }
        return out;
    };
    out << CellText(name) << '\t' << result << '\t' << (IsUsable(file) ? 1 : 0) << '\t';
    mpegCell(mpeg.FirstHeaderPosition()) << '\t';
    out << file.FileSize() << '\t' << file.ID3v2TagSize() << '\t' << file.ApeTagSize() << '\t'
        << file.ID3v1TagSize() << '\t';
    mpegCell(mpeg.Version()) << '\t';
    mpegCell(mpeg.Layer()) << '\t';
    mpegCell(mpeg.Samplerate()) << '\t';
    mpegCell(static_cast<int>(mpeg.Channelmode())) << '\t';
    mpegCell(file.Channels()) << '\t';
    mpegCell(file.Bitrate()) << '\t';
    mpegCell(mpeg.Frames()) << '\t';
    mpegCell(file.Duration()) << '\t';
    mpegCell(mpeg.Vbr() ? 1 : 0) << '\t';
    out << CellText(file.Title()) << '\t' << CellText(file.Artist()) << '\t'
        << CellText(file.Album()) << '\n';
}

} // namespace

std::variant<TInfoAufruf, std::string> InfoArgumenteLesen(const std::vector<std::string>& args) {
    TInfoAufruf aufruf;
    bool nurDateien = false;
    for (const std::string& arg : args) {
        if (nurDateien || arg.size() < 2 || arg[0] != '-') {
            aufruf.Dateien.push_back(arg);
        } else if (arg == "--") {
            nurDateien = true;
        } else if (arg == "--help" || arg == "-h") {
            aufruf.Hilfe = true;
        } else {
            return "unbekannte Option \"" + arg + "\" für info";
        }
    }
    if (!aufruf.Hilfe && aufruf.Dateien.empty()) {
        return std::string("info braucht mindestens eine Datei");
    }
    return aufruf;
}

const char* InfoHilfe() {
    return kHilfe;
}

int RunInfoCommand(const std::vector<std::string>& files, std::ostream& out) {
    out << kHeader << '\n';
    bool allUsable = true;
    for (const std::string& name : files) {
        if (out.bad()) {
            // Nobody reads the rest; errno still holds the reason for the caller.
            return 1;
        }
        // A fresh analyser per file: a reused one keeps the MPEG values of the previous
        // file when a read finds no frame or never opens the file.
        TMP3File analyser;
        analyser.SetMpegScanMode(MPEG_SCAN_Complete);
        const TAudioError result = analyser.ReadFromFile(name);
        allUsable = allUsable && IsUsable(analyser);
        WriteLine(out, name, result, analyser);
    }
    return allUsable ? 0 : 1;
}

} // namespace lorvane::cli
