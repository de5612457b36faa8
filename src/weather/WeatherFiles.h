#pragma once
// Weather years by file name, read once and shared by every room that names the file.

#include "EpwFile.h"
#include "VbError.h"

#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace korvane::weather {

// A weather file as read, by the name it was given.
struct WeatherFile {
    std::string name;
    WeatherYear year;
};

// Weather years by file name, each read once and shared by every room that names it; what reading a file
// raised is kept as well. The years held stay within a byte budget (some 200 files): beyond it the oldest are
// let go, and read again when named again. Safe from several threads at once.
class WeatherFiles {
  public:
    // `stamp` tells one state of the file from another (its front end's choice: path, size and time); a
    // name held under another stamp is read again, so a long-lived process sees a file that was replaced.
    std::shared_ptr<const WeatherFile> Get(const std::string& fileName, std::string_view stamp = {});

  private:
    struct Entry {
        std::string stamp;
        std::once_flag read;
        std::shared_ptr<const WeatherFile> file;
        std::optional<VbError> error;
    };
    static constexpr size_t kBudgetBytes = 16 << 20;
    static constexpr size_t kEntryBytes = kYearRecords * sizeof(double) + 1024;
    std::mutex mutex_;
    std::map<std::string, std::shared_ptr<Entry>, std::less<>> entries_;
    std::vector<std::string> order_; // names in the order they were first read
};

} // namespace korvane::weather
