#include "engine/encoder/Mp4Datei.h"

#include <array>
#include <cstdint>
#include <fstream>
#include <system_error>

namespace lorvane {

namespace {

std::uint64_t GrossEndian(const unsigned char* bytes, std::size_t anzahl) {
    std::uint64_t wert = 0;
    for (std::size_t i = 0; i < anzahl; ++i) {
        wert = (wert << 8) | bytes[i];
    }
    return wert;
}

} // namespace

bool Mp4Vollstaendig(const std::filesystem::path& datei) {
    std::error_code ec;
    const std::uintmax_t dateiGroesse = std::filesystem::file_size(datei, ec);
    std::ifstream in(datei, std::ios::binary);
    if (ec || !in) {
        return false;
    }
    bool index = false;
    std::uint64_t stelle = 0;
    while (stelle < dateiGroesse) {
        // The smallest box is its 8-byte header; a 64-bit size follows when the size is 1.
        if (dateiGroesse - stelle < 8) {
            return false;
        }
        std::array<unsigned char, 16> kopf{};
        in.seekg(static_cast<std::streamoff>(stelle));
        if (!in.read(reinterpret_cast<char*>(kopf.data()), 8)) {
            return false;
        }
        std::uint64_t groesse = GrossEndian(kopf.data(), 4);
        std::uint64_t kopfGroesse = 8;
        if (groesse == 1) {
            if (dateiGroesse - stelle < 16 ||
                !in.read(reinterpret_cast<char*>(kopf.data() + 8), 8)) {
                return false;
            }
            groesse = GrossEndian(kopf.data() + 8, 8);
            kopfGroesse = 16;
        } else if (groesse == 0) {
            // The last box may run to the end of the file.
            groesse = dateiGroesse - stelle;
        }
        if (groesse < kopfGroesse || groesse > dateiGroesse - stelle) {
            return false;
        }
        index = index || GrossEndian(kopf.data() + 4, 4) == 0x6D6F6F76; // "moov"
        stelle += groesse;
    }
    return index;
}

} // namespace lorvane
