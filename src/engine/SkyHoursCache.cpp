#include "SkyHoursCache.h"

#include <cstring>

namespace korvane::JahrEnergie {

namespace {

// A coordinate's bits, so that keys tell -0 from 0 as the series do; std::bit_cast is missing from the
// browser build's library.
uint64_t BitsOf(double x) {
    uint64_t bits;
    std::memcpy(&bits, &x, sizeof bits);
    return bits;
}

} // namespace

std::shared_ptr<const SkyHours> SkyHoursCache::For(const clsInputOutput& p) {
    const Key key{BitsOf(p.Longitude), BitsOf(p.Latitude), p.TimeDiffGMT,
                  p.BeginHour,         p.EndHour,          p.CalcPeriod};
    {
        std::lock_guard lock(mutex_);
        if (const auto it = entries_.find(key); it != entries_.end())
            return it->second;
        if (seenOnce_.size() >= kMaxKeys)
            seenOnce_.clear();
        if (seenOnce_.insert(key).second)
            return nullptr;
    }
    auto sky = std::make_shared<const SkyHours>(
        GetSkyHours(p.Longitude, p.Latitude, p.TimeDiffGMT, p.BeginHour, p.EndHour, p.CalcPeriod));
    const size_t size = kEntryBytes + sky->illuminance.capacity() * sizeof(double);
    if (size > kBudgetBytes)
        return sky;
    std::lock_guard lock(mutex_);
    if (bytes_ + size > kBudgetBytes) {
        entries_.clear(); // rows still using a table keep it alive until they are done
        bytes_ = 0;
    }
    const auto [it, added] = entries_.try_emplace(key, std::move(sky));
    bytes_ += added ? size : 0;
    return it->second;
}

} // namespace korvane::JahrEnergie
