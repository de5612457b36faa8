// Any bytes as a site file: the reader either fills the table completely or raises 6, 9 or 13, saying where,
// and leaves it untouched. The first byte picks the user's locale.
#include "FuzzCheck.h"
#include "TextInput.h"
#include "VbError.h"
#include "clsGeoFile.h"
#include "clsLocalInfo.h"

#include <cmath>
#include <cstdint>
#include <string_view>
#include <vector>

using namespace korvane;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0)
        return 0;
    static const char* const kLocales[] = {"de_DE.UTF-8", "en_US.UTF-8", "ar_EG.UTF-8", "xx_YY"};
    ScopedLocaleSources locale(FixedLocaleSources({{"LC_ALL", kLocales[data[0] % 4]}}));
    const std::string_view bytes(reinterpret_cast<const char*>(data) + 1, size - 1);

    const std::vector<GeoEntry> before{{"Benutzerdefiniert", 0, 0, 0}, {"Alt", 1, 2, 3}, {"Alt 2", 4, 5, 6}};
    std::vector<GeoEntry> table = before;
    clsGeoFile reader;
    try {
        reader.ReadGeoData(bytes, table);
    } catch (const VbError& e) {
        Check(e.Source() == "clsGeoFile:OpenGeoFile" && table == before &&
              (e.Number() == ErrOverflow || e.Number() == ErrSubscript || e.Number() == ErrTypeMismatch));
        // The error's own text first, then where it arose.
        Check(e.Description().starts_with(RuntimeDescription(e.Number()) + " in "));
        return 0;
    }
    Check(table.size() >= 2 && table[0] == before[0] && reader.EntryArray().size() == table.size());
    for (size_t i = 1; i < table.size(); ++i) {
        const GeoEntry& site = table[i];
        Check(std::isfinite(site.Longitude) && std::isfinite(site.Latitude));
        Check(site.Name.find_first_of("\r\n;") == std::string::npos);
        Check(DecodeText("x" + site.Name) == "x" + site.Name); // valid UTF-8
    }
    return 0;
}
