#include "ToneScan.h"

#include <cstdlib>
#include <cstring>
#include <string>

#include "BenchSupport.h"

namespace lorvane::bench {

namespace {

// lavfi's sine source plays at an eighth of full scale.
constexpr int kAmplitude = 32768 / 8;
// The onset is the first sample at half the amplitude, a twelfth of a period into a
// tone starting at phase zero: the same offset wherever the same tone is found.
constexpr int kLoud = kAmplitude / 2;
// The pitch is counted with some hysteresis, so that coding noise around zero adds no
// crossings.
constexpr int kHysteresis = kAmplitude / 8;

// Follows the samples one at a time: a tone begins at the first loud sample after
// silence and ends with the last loud one before the next silence.
class TToneScan {
public:
    // Quiet for 50 ms, many periods of any tone worth finding, is silence.
    explicit TToneScan(int rate) : fRate(rate), fGap(rate / 20), fPitchSamples(rate / 2) {}

    void Feed(int sample) {
        if (std::abs(sample) >= kLoud) {
            if (!fInTone) {
                fInTone = true;
                fTone = {fPos, fPos, 0};
                fRises = 0;
                fFirstRise = fLastRise = -1;
                fArmed = false;
            }
            fLastLoud = fPos;
        } else if (fInTone && fPos - fLastLoud > fGap) {
            Close();
        }
        if (fInTone && fPos - fTone.Begin < fPitchSamples)
            CountRise(sample);
        ++fPos;
    }

    TScan Finish() {
        if (fInTone)
            Close();
        fScan.Samples = fPos;
        return fScan;
    }

private:
    void CountRise(int sample) {
        if (sample <= -kHysteresis) {
            fArmed = true;
        } else if (fArmed && sample >= kHysteresis) {
            fArmed = false;
            if (fFirstRise < 0)
                fFirstRise = fPos;
            fLastRise = fPos;
            ++fRises;
        }
    }

    void Close() {
        fTone.End = fLastLoud + 1;
        if (fRises > 1)
            fTone.Hz = (fRises - 1) * static_cast<double>(fRate) /
                       static_cast<double>(fLastRise - fFirstRise);
        fScan.Tones.push_back(fTone);
        fInTone = false;
    }

    const int fRate;
    const std::int64_t fGap;
    const std::int64_t fPitchSamples;
    TScan fScan;
    TTone fTone;
    std::int64_t fPos = 0;
    std::int64_t fLastLoud = 0;
    std::int64_t fFirstRise = -1;
    std::int64_t fLastRise = -1;
    int fRises = 0;
    bool fInTone = false;
    bool fArmed = false;
};

} // namespace

TScan ScanTones(const std::filesystem::path& ffmpeg, const std::filesystem::path& file, int rate) {
    TChildOutput decoder({ffmpeg.string(), "-nostdin", "-loglevel", "error", "-i", file.string(),
                          "-map", "0:a:0", "-ac", "1", "-ar", std::to_string(rate), "-f", "s16le",
                          "-"});
    TToneScan scan(rate);
    std::vector<char> buffer(1 << 16);
    std::size_t carried = 0; // a sample split between two reads
    while (const std::size_t got = decoder.Read(buffer.data() + carried, buffer.size() - carried)) {
        const std::size_t bytes = carried + got;
        for (std::size_t i = 0; i + 1 < bytes; i += 2) {
            std::int16_t sample; // s16le on a little-endian machine
            std::memcpy(&sample, buffer.data() + i, sizeof sample);
            scan.Feed(sample);
        }
        carried = bytes % 2;
        if (carried != 0)
            buffer[0] = buffer[bytes - 1];
    }
    decoder.Finish();
    return scan.Finish();
}

} // namespace lorvane::bench
