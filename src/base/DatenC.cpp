#include "base/DatenC.h"

#include "base/TextCodec.h"

#include <algorithm>
#include <charconv>
#include <limits>

namespace lorvane {

namespace {

std::string ZweiStellig(std::int32_t wert) {
    std::string text = std::to_string(wert);
    if (text.size() < 2) {
        text.insert(0, 2 - text.size(), '0');
    }
    return text;
}

std::int32_t AufInt32Begrenzt(std::int64_t wert) {
    constexpr std::int64_t kMin = std::numeric_limits<std::int32_t>::min();
    constexpr std::int64_t kMax = std::numeric_limits<std::int32_t>::max();
    return static_cast<std::int32_t>(std::clamp(wert, kMin, kMax));
}

std::int64_t TeilWert(std::string_view teil) {
    return GanzzahlLesen(teil).value_or(0);
}

bool NurPunkte(std::string_view text) {
    return std::all_of(text.begin(), text.end(), [](char c) { return c == '.'; });
}

// Every character of the set is ASCII, and UTF-8 never uses ASCII bytes inside a
// multi-byte sequence, so dropping single bytes leaves every other character whole.
std::string ZeichenEntfernen(std::string_view text) {
    std::string ergebnis;
    ergebnis.reserve(text.size());
    for (char c : text) {
        if (!IstUngueltigesZeichen(static_cast<unsigned char>(c))) {
            ergebnis.push_back(c);
        }
    }
    return ergebnis;
}

} // namespace

std::string DauerText(std::int32_t sekunden) {
    const std::int32_t stunden = sekunden / 3600;
    const std::int32_t minuten = (sekunden % 3600) / 60;
    const std::int32_t rest = sekunden % 60;
    return ZweiStellig(stunden) + ":" + ZweiStellig(minuten) + ":" + ZweiStellig(rest);
}

std::string ZahlMitPunkten(std::int64_t zahl) {
    // The magnitude as unsigned, so that the smallest 64-bit value has one too.
    const bool negativ = zahl < 0;
    std::uint64_t betrag = static_cast<std::uint64_t>(zahl);
    if (negativ) {
        betrag = ~betrag + 1;
    }
    std::string ziffern;
    int inGruppe = 0;
    do {
        if (inGruppe == 3) {
            ziffern.push_back('.');
            inGruppe = 0;
        }
        ziffern.push_back(static_cast<char>('0' + betrag % 10));
        betrag /= 10;
        ++inGruppe;
    } while (betrag != 0);
    if (negativ) {
        ziffern.push_back('-');
    }
    std::reverse(ziffern.begin(), ziffern.end());
    return ziffern;
}

std::optional<std::int32_t> GanzzahlLesen(std::string_view text) {
    // from_chars takes a minus but no plus sign.
    if (!text.empty() && text.front() == '+') {
        text.remove_prefix(1);
        if (!text.empty() && text.front() == '-') {
            return std::nullopt;
        }
    }
    if (text.empty()) {
        return std::nullopt;
    }
    std::int32_t wert = 0;
    const char* ende = text.data() + text.size();
    const auto [stelle, fehler] = std::from_chars(text.data(), ende, wert, 10);
    if (fehler != std::errc() || stelle != ende) {
        return std::nullopt;
    }
    return wert;
}

std::int32_t ZeitInSekunden(std::string_view text) {
    const std::size_t erster = text.find(':');
    if (erster == std::string_view::npos) {
        return AufInt32Begrenzt(TeilWert(text));
    }
    const std::size_t zweiter = text.find(':', erster + 1);
    if (zweiter == std::string_view::npos) {
        const std::int64_t minuten = TeilWert(text.substr(0, erster));
        const std::int64_t sekunden = TeilWert(text.substr(erster + 1));
        return AufInt32Begrenzt(minuten * 60 + sekunden);
    }
    const std::int64_t stunden = TeilWert(text.substr(0, erster));
    const std::int64_t minuten = TeilWert(text.substr(erster + 1, zweiter - erster - 1));
    const std::int64_t sekunden = TeilWert(text.substr(zweiter + 1));
    return AufInt32Begrenzt(stunden * 3600 + minuten * 60 + sekunden);
}

std::string_view WortAusText(std::string_view text, int n, std::string_view trenner) {
    std::size_t pos = 0;
    for (int wort = 1; pos < text.size(); ++wort) {
        const std::size_t anfang = text.find_first_not_of(trenner, pos);
        if (anfang == std::string_view::npos) {
            break;
        }
        std::size_t ende = text.find_first_of(trenner, anfang);
        if (ende == std::string_view::npos) {
            ende = text.size();
        }
        if (wort == n) {
            return text.substr(anfang, ende - anfang);
        }
        pos = ende;
    }
    return {};
}

bool IstUngueltigesZeichen(char32_t c) {
    return std::find(UngueltigeZeichen.begin(), UngueltigeZeichen.end(), c) !=
           UngueltigeZeichen.end();
}

std::string NameBereinigen(std::string_view text, bool leerErlaubt) {
    std::string ergebnis = ZeichenEntfernen(text);
    if (NurPunkte(ergebnis)) {
        return leerErlaubt ? std::string() : std::string("_");
    }
    return ergebnis;
}

std::string MetaTextBereinigen(std::string_view text) {
    const std::string bereinigt = TrimControlUtf8(NameBereinigen(TrimControlUtf8(text), true));
    return NameBereinigen(bereinigt, false);
}

} // namespace lorvane
