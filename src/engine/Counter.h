#pragma once
// The format counter: which combination of bitrate, sample rate and channel count
// most files of a job share. The joiner re-encodes every other file to it.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace lorvane {

// One distinct combination and how often it was added.
struct TCounterRec {
    // The key as added: "%d %d %d" of bitrate, sample rate and channels.
    std::string BitSampleString;
    std::int32_t Bitrate = 0;
    std::int32_t Samplerate = 0;
    std::int32_t Channels = 0;
    std::int32_t Count = 0;
};

using TCounterList = std::vector<TCounterRec>;

class TCounter {
public:
    TCounter() = default;

    void Clear();
    // Counts one occurrence of the key. A new key whose first three words are not all
    // integers is refused (false) and not counted.
    bool Add(std::string_view ABitSampleString);
    // The most frequent combination; among equally frequent ones the last that is at
    // least as high in all three values as the one chosen before it. All zero when
    // nothing was added.
    void GetBestBitSample(TCounterRec& ergebnis) const;

    // The distinct keys in the order of their first appearance.
    const TCounterList& List() const { return FList; }

private:
    TCounterList FList;
};

} // namespace lorvane
