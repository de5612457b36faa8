#include "WeatherFiles.h"

#include <algorithm>

namespace korvane::weather {

std::shared_ptr<const WeatherFile> WeatherFiles::Get(const std::string& fileName, std::string_view stamp) {
    std::shared_ptr<Entry> entry;
    {
        std::lock_guard lock(mutex_);
        auto& held = entries_[fileName];
        if (held && held->stamp != stamp) {
            held.reset(); // rooms still using the old year keep it alive until they are done
            order_.erase(std::find(order_.begin(), order_.end(), fileName));
        }
        if (!held) {
            held = std::make_shared<Entry>();
            held->stamp = stamp;
            order_.push_back(fileName);
            // Rooms still using a year keep it alive until they are done.
            while (order_.size() * kEntryBytes > kBudgetBytes) {
                entries_.erase(order_.front());
                order_.erase(order_.begin());
            }
        }
        entry = held;
    }
    std::call_once(entry->read, [&] {
        try {
            entry->file = std::make_shared<const WeatherFile>(WeatherFile{fileName, ReadEpwFile(fileName)});
        } catch (const VbError& e) {
            entry->error = e;
        }
    });
    if (entry->error)
        throw *entry->error;
    return entry->file;
}

} // namespace korvane::weather
