#include "id3v2/ID3v2FrameIDs.h"

#include <array>

namespace lorvane {

namespace {

// IDs in version 2.2, 2.3 and 2.4; empty where the version has no such frame.
struct TFrameIDNames {
    TFrameIDs id;
    const char* v22;
    const char* v23;
    const char* v24;
};

constexpr std::array<TFrameIDNames, kFrameIDCount> kFrameIDNames = {{
    {IDv2_UNKNOWN, "XXX", "XXXX", "XXXX"},
    {IDv2_PICTURE, "PIC", "APIC", "APIC"},
    {IDv2_ARTIST, "TP1", "TPE1", "TPE1"},
    {IDv2_TITEL, "TT2", "TIT2", "TIT2"},
    {IDv2_ALBUM, "TAL", "TALB", "TALB"},
    {IDv2_YEAR, "TYE", "TYER", "TDRC"},
    {IDv2_GENRE, "TCO", "TCON", "TCON"},
    {IDv2_TRACK, "TRK", "TRCK", "TRCK"},
    {IDv2_COMMENT, "COM", "COMM", "COMM"},
    {IDv2_COMPOSER, "TCM", "TCOM", "TCOM"},
    {IDv2_ORIGARTIST, "TOA", "TOPE", "TOPE"},
    {IDv2_COPYRIGHT, "TCR", "TCOP", "TCOP"},
    {IDv2_USERDEFINEDURL, "WXX", "WXXX", "WXXX"},
    {IDv2_ENCODEDBY, "TEN", "TENC", "TENC"},
    {IDv2_LYRICS, "ULT", "USLT", "USLT"},
    {IDv2_BAND, "TP2", "TPE2", "TPE2"},
    {IDv2_CONDUCTOR, "TP3", "TPE3", "TPE3"},
    {IDv2_INTERPRETEDBY, "TP4", "TPE4", "TPE4"},
    {IDv2_PARTOFSET, "TPA", "TPOS", "TPOS"},
    {IDv2_PUBLISHER, "TPB", "TPUB", "TPUB"},
    {IDv2_CONTENTGROUP, "TT1", "TIT1", "TIT1"},
    {IDv2_SUBTITLE, "TT3", "TIT3", "TIT3"},
    {IDv2_BPM, "TBP", "TBPM", "TBPM"},
    {IDv2_PLAYLISTDELAY, "TDY", "TDLY", "TDLY"},
    {IDv2_FILETYPE, "TFT", "TFLT", "TFLT"},
    {IDv2_INITIALKEY, "TKE", "TKEY", "TKEY"},
    {IDv2_LANGUAGES, "TLA", "TLAN", "TLAN"},
    {IDv2_LENGTH, "TLE", "TLEN", "TLEN"},
    {IDv2_MEDIATYPE, "TMT", "TMED", "TMED"},
    {IDv2_ORIGALBUM, "TOT", "TOAL", "TOAL"},
    {IDv2_ORIGFILENAME, "TOF", "TOFN", "TOFN"},
    {IDv2_ORIGLYRICIST, "TOL", "TOLY", "TOLY"},
    {IDv2_ORIGYEAR, "TOR", "TORY", "TDOR"},
    {IDv2_FILEOWNER, "", "TOWN", "TOWN"},
    {IDv2_RADIOSTATIONNAME, "", "TRSN", "TRSN"},
    {IDv2_RADIOSTATIONOWNER, "", "TRSO", "TRSO"},
    {IDv2_ISRC, "TRC", "TSRC", "TSRC"},
    {IDv2_ENCODERSETTINGS, "TSS", "TSSE", "TSSE"},
    {IDv2_LYRICIST, "TXT", "TEXT", "TEXT"},
    {IDv2_USERDEFINEDTEXT, "TXX", "TXXX", "TXXX"},
    {IDv2_DATE, "TDA", "TDAT", ""},
    {IDv2_TIME, "TIM", "TIME", ""},
    {IDv2_RECORDINGDATES, "TRD", "TRDA", ""},
    {IDv2_SIZE, "TSI", "TSIZ", ""},
    {IDv2_INVOLVEDPEOPLE, "IPL", "IPLS", "TIPL"},
    {IDv2_MUSICIANCREDITS, "", "", "TMCL"},
    {IDv2_ENCODINGTIME, "", "", "TDEN"},
    {IDv2_RELEASETIME, "", "", "TDRL"},
    {IDv2_TAGGINGTIME, "", "", "TDTG"},
    {IDv2_MOOD, "", "", "TMOO"},
    {IDv2_PRODUCEDNOTICE, "", "", "TPRO"},
    {IDv2_ALBUMSORTORDER, "", "", "TSOA"},
    {IDv2_PERFORMERSORTORDER, "", "", "TSOP"},
    {IDv2_TITLESORTORDER, "", "", "TSOT"},
    {IDv2_SETSUBTITLE, "", "", "TSST"},
    {IDv2_UNIQUEFILEID, "UFI", "UFID", "UFID"},
    {IDv2_AUDIOENCRYPTION, "CRA", "AENC", "AENC"},
    {IDv2_COMMERCIAL, "", "COMR", "COMR"},
    {IDv2_ENCRYPTIONMETHOD, "", "ENCR", "ENCR"},
    {IDv2_EQUALIZATION, "EQU", "EQUA", "EQU2"},
    {IDv2_EVENTTIMING, "ETC", "ETCO", "ETCO"},
    {IDv2_GENERALOBJECT, "GEO", "GEOB", "GEOB"},
    {IDv2_GROUPID, "", "GRID", "GRID"},
    {IDv2_LINKED, "LNK", "LINK", "LINK"},
    {IDv2_MUSICCDID, "MCI", "MCDI", "MCDI"},
    {IDv2_MPEGLOOKUP, "MLL", "MLLT", "MLLT"},
    {IDv2_OWNERSHIP, "", "OWNE", "OWNE"},
    {IDv2_PRIVATE, "", "PRIV", "PRIV"},
    {IDv2_PLAYCOUNTER, "CNT", "PCNT", "PCNT"},
    {IDv2_POPULARIMETER, "POP", "POPM", "POPM"},
    {IDv2_POSITIONSYNC, "", "POSS", "POSS"},
    {IDv2_BUFFERSIZE, "BUF", "RBUF", "RBUF"},
    {IDv2_VOLUMEADJUSTMENT, "RVA", "RVAD", "RVA2"},
    {IDv2_REVERB, "REV", "RVRB", "RVRB"},
    {IDv2_SYNCHEDLYRICS, "SLT", "SYLT", "SYLT"},
    {IDv2_SYNCHEDTEMPO, "STC", "SYTC", "SYTC"},
    {IDv2_TERMSOFUSE, "", "USER", "USER"},
    {IDv2_COMMERCIALURL, "WCM", "WCOM", "WCOM"},
    {IDv2_COPYRIGHTURL, "WCP", "WCOP", "WCOP"},
    {IDv2_AUDIOFILEURL, "WAF", "WOAF", "WOAF"},
    {IDv2_ARTISTURL, "WAR", "WOAR", "WOAR"},
    {IDv2_AUDIOSOURCEURL, "WAS", "WOAS", "WOAS"},
    {IDv2_RADIOSTATIONURL, "", "WORS", "WORS"},
    {IDv2_PAYMENTURL, "", "WPAY", "WPAY"},
    {IDv2_PUBLISHERURL, "WPB", "WPUB", "WPUB"},
    {IDv2_SIGNATURE, "", "", "SIGN"},
    {IDv2_SEEKFRAME, "", "", "SEEK"},
    {IDv2_SEEKPOINTINDEX, "", "", "ASPI"},
    {IDv2_CHAPTER, "", "CHAP", "CHAP"},
    {IDv2_TABLEOFCONTENTS, "", "CTOC", "CTOC"},
    {IDv2_ENCRYPTEDMETA, "CRM", "", ""},
}};

constexpr bool TableFollowsTheEnumeration() {
    for (std::size_t i = 0; i < kFrameIDNames.size(); ++i) {
        if (kFrameIDNames[i].id != i) {
            return false;
        }
    }
    return true;
}
static_assert(TableFollowsTheEnumeration(), "kFrameIDNames must list every kind in order");

const char* NameFor(const TFrameIDNames& names, std::uint8_t majorVersion) {
    switch (majorVersion) {
    case 2:
        return names.v22;
    case 3:
        return names.v23;
    case 4:
        return names.v24;
    default:
        return "";
    }
}

} // namespace

std::string FrameIDString(TFrameIDs id, std::uint8_t majorVersion) {
    if (id >= kFrameIDNames.size()) {
        return {};
    }
    return NameFor(kFrameIDNames[id], majorVersion);
}

TFrameIDs FrameIDFromString(const std::string& id, std::uint8_t majorVersion) {
    if (id.empty()) {
        return IDv2_UNKNOWN;
    }
    for (const TFrameIDNames& names : kFrameIDNames) {
        if (id == NameFor(names, majorVersion)) {
            return names.id;
        }
    }
    return IDv2_UNKNOWN;
}

} // namespace lorvane
