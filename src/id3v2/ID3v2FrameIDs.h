#pragma once
// The kinds of ID3v2 frames and their IDs in the three versions of the standard.

#include <cstdint>
#include <string>

namespace lorvane {

enum TFrameIDs : std::uint8_t {
    IDv2_UNKNOWN = 0,
    IDv2_PICTURE,
    IDv2_ARTIST = 2,
    IDv2_TITEL = 3,
    IDv2_ALBUM = 4,
    IDv2_YEAR,
    IDv2_GENRE = 6,
    IDv2_TRACK = 7,
    IDv2_COMMENT,
    IDv2_COMPOSER,
    IDv2_ORIGARTIST,
    IDv2_COPYRIGHT,
    IDv2_USERDEFINEDURL,
    IDv2_ENCODEDBY,
    IDv2_LYRICS,
    IDv2_BAND,
    IDv2_CONDUCTOR,
    IDv2_INTERPRETEDBY,
    IDv2_PARTOFSET,
    IDv2_PUBLISHER,
    IDv2_CONTENTGROUP,
    IDv2_SUBTITLE,
    IDv2_BPM,
    IDv2_PLAYLISTDELAY,
    IDv2_FILETYPE,
    IDv2_INITIALKEY,
    IDv2_LANGUAGES,
    IDv2_LENGTH,
    IDv2_MEDIATYPE,
    IDv2_ORIGALBUM,
    IDv2_ORIGFILENAME,
    IDv2_ORIGLYRICIST,
    IDv2_ORIGYEAR,
    IDv2_FILEOWNER,
    IDv2_RADIOSTATIONNAME,
    IDv2_RADIOSTATIONOWNER,
    IDv2_ISRC,
    IDv2_ENCODERSETTINGS,
    IDv2_LYRICIST,
    IDv2_USERDEFINEDTEXT,
    IDv2_DATE,
    IDv2_TIME,
    IDv2_RECORDINGDATES,
    IDv2_SIZE,
    IDv2_INVOLVEDPEOPLE,
    IDv2_MUSICIANCREDITS,
    IDv2_ENCODINGTIME,
    IDv2_RELEASETIME,
    IDv2_TAGGINGTIME,
    IDv2_MOOD,
    IDv2_PRODUCEDNOTICE,
    IDv2_ALBUMSORTORDER,
    IDv2_PERFORMERSORTORDER,
    IDv2_TITLESORTORDER,
    IDv2_SETSUBTITLE,
    IDv2_UNIQUEFILEID,
    IDv2_AUDIOENCRYPTION,
    IDv2_COMMERCIAL,
    IDv2_ENCRYPTIONMETHOD,
    IDv2_EQUALIZATION,
    IDv2_EVENTTIMING,
    IDv2_GENERALOBJECT,
    IDv2_GROUPID,
    IDv2_LINKED,
    IDv2_MUSICCDID,
    IDv2_MPEGLOOKUP,
    IDv2_OWNERSHIP,
    IDv2_PRIVATE,
    IDv2_PLAYCOUNTER,
    IDv2_POPULARIMETER,
    IDv2_POSITIONSYNC,
    IDv2_BUFFERSIZE,
    IDv2_VOLUMEADJUSTMENT,
    IDv2_REVERB,
    IDv2_SYNCHEDLYRICS,
    IDv2_SYNCHEDTEMPO,
    IDv2_TERMSOFUSE,
    IDv2_COMMERCIALURL,
    IDv2_COPYRIGHTURL,
    IDv2_AUDIOFILEURL,
    IDv2_ARTISTURL,
    IDv2_AUDIOSOURCEURL,
    IDv2_RADIOSTATIONURL,
    IDv2_PAYMENTURL,
    IDv2_PUBLISHERURL,
    IDv2_SIGNATURE,
    IDv2_SEEKFRAME,
    IDv2_SEEKPOINTINDEX,
    IDv2_CHAPTER,
    IDv2_TABLEOFCONTENTS,
    IDv2_ENCRYPTEDMETA,
};

// Number of values of TFrameIDs.
inline constexpr int kFrameIDCount = IDv2_ENCRYPTEDMETA + 1;

// The ID of a frame kind in a tag of the given major version (2, 3 or 4); empty for other
// versions and for kinds that the version does not define.
std::string FrameIDString(TFrameIDs id, std::uint8_t majorVersion);

// The kind of a frame ID in a tag of the given major version; IDv2_UNKNOWN when the ID is
// not one of the version's.
TFrameIDs FrameIDFromString(const std::string& id, std::uint8_t majorVersion);

} // namespace lorvane
