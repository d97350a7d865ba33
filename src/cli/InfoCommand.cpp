#include "cli/InfoCommand.h"

#include "audio/Mp3Files.h"

#include <string_view>

namespace lorvane::cli {

namespace {

constexpr std::string_view kHeader =
    "file\tresult\tvalid\tfirst_header_position\tfile_size\tid3v2_size\tape_size\t"
    "id3v1_size\tversion\tlayer\tsamplerate\tchannelmode\tchannels\tbitrate\tframes\t"
    "duration\tvbr\ttitle\tartist\talbum";

bool IsUsable(const TMP3File& file) {
    return file.Valid() && file.MpegInfo().Valid();
}

void WriteLine(std::ostream& out, const std::string& name, int result, const TMP3File& file) {
    const TMpegInfo& mpeg = file.MpegInfo();
    out << CellText(name) << '\t' << result << '\t' << (IsUsable(file) ? 1 : 0) << '\t'
        << mpeg.FirstHeaderPosition() << '\t' << file.FileSize() << '\t' << file.ID3v2TagSize()
        << '\t' << file.ApeTagSize() << '\t' << file.ID3v1TagSize() << '\t' << mpeg.Version()
        << '\t' << mpeg.Layer() << '\t' << mpeg.Samplerate() << '\t'
        << static_cast<int>(mpeg.Channelmode()) << '\t' << file.Channels() << '\t' << file.Bitrate()
        << '\t' << mpeg.Frames() << '\t' << file.Duration() << '\t' << (mpeg.Vbr() ? 1 : 0) << '\t'
        << CellText(file.Title()) << '\t' << CellText(file.Artist()) << '\t'
        << CellText(file.Album()) << '\n';
}

} // namespace

std::string CellText(std::string text) {
    for (char& c : text) {
        if (static_cast<unsigned char>(c) < 0x20) {
            c = ' ';
        }
    }
    return text;
}

int RunInfoCommand(const std::vector<std::string>& files, std::ostream& out) {
    // One analyser for all files, as the program uses it.
    TMP3File analyser;
    analyser.SetMpegScanMode(MPEG_SCAN_Complete);
    out << kHeader << '\n';
    bool allUsable = true;
    for (const std::string& name : files) {
        const TAudioError result = analyser.ReadFromFile(name);
        allUsable = allUsable && IsUsable(analyser);
        WriteLine(out, name, result, analyser);
    }
    out.flush();
    return allUsable ? 0 : 1;
}

} // namespace lorvane::cli
