#pragma once
// Sky hours shared by the rooms of a batch that have their site, working hours and period in common.

#include "JahrEnergie.h"
#include "clsInputOutput.h"

#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <tuple>

namespace korvane::JahrEnergie {

// The standard overcast sky's hours by site, working hours and period. A key's hours are computed when it
// comes up a second time, so rooms at sites of their own cost no more than a single run; the tables held
// stay within a byte budget, so a batch of rooms at ever new sites does not grow without end. Safe from
// several threads at once.
class SkyHoursCache {
  public:
    // The hours of p's site, working hours and period; null the first time they are asked for (the room
    // then computes its sky hour by hour, to the same result).
    std::shared_ptr<const SkyHours> For(const clsInputOutput& p);

  private:
    static constexpr size_t kBudgetBytes = 8 << 20; // some 300 years of nine-hour days
    static constexpr size_t kEntryBytes = sizeof(SkyHours) + 128;
    static constexpr size_t kMaxKeys = 16384; // about 100 bytes each
    using Key = std::tuple<uint64_t, uint64_t, int16_t, int16_t, int16_t, int16_t>;
    std::mutex mutex_;
    std::set<Key> seenOnce_;
    std::map<Key, std::shared_ptr<const SkyHours>> entries_;
    size_t bytes_ = 0;
};

} // namespace korvane::JahrEnergie
