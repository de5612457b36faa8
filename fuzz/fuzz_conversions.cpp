// Any text under any decimal separator: the numeric test and the conversions agree, and whatever the
// conversions read, CStr writes back as numeric text. The first byte picks the separator.
#include "VbConvert.h"
#include "VbError.h"

#include <cfloat>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <string_view>

using namespace korvane;

namespace {

void Check(bool condition) {
    if (!condition)
        std::abort();
}

int32_t ErrorOf(const std::function<void()>& f) {
    try {
        f();
    } catch (const VbError& e) {
        return e.Number();
    }
    return 0;
}

void CheckWritten(double value, std::string_view separator) {
    const std::string written = CStr(value, separator);
    // 15 digits of the largest Doubles round up beyond the largest Double: such text reads as an overflow.
    if (std::fabs(value) > 1.797693134862315e308) {
        Check(ErrorOf([&] { CDbl(written, separator); }) == ErrOverflow);
        return;
    }
    Check(IsNumeric(written, separator));
    Check(written.find_first_of(" e") == std::string::npos);
    const double back = CDbl(written, separator);
    Check(std::fabs(back - value) <= std::fabs(value) * 1e-14 + DBL_TRUE_MIN);
    if (std::fabs(value) >= DBL_MIN)
        Check(CStr(back, separator) == written);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0)
        return 0;
    std::string_view rest(reinterpret_cast<const char*>(data) + 1, size - 1);
    std::string_view separator;
    bool ordinary = true;
    switch (data[0] % 5) {
    case 0:
        separator = ",";
        break;
    case 1:
        separator = ".";
        break;
    case 2:
        separator = "\xD9\xAB";
        break;
    case 3: // no separator: numbers are whole, and written text loses its decimal mark
        separator = "";
        ordinary = false;
        break;
    default: // a separator taken from the input itself
        ordinary = false;
        separator = rest.substr(0, data[0] / 5 % 4);
        rest.remove_prefix(separator.size());
        break;
    }

    double value = 0;
    const int32_t error = ErrorOf([&] { value = CDbl(rest, separator); });
    Check(IsNumeric(rest, separator) == (error == 0));
    Check(error == 0 || error == ErrTypeMismatch || error == ErrOverflow);
    if (error != 0) {
        Check(ErrorOf([&] { CInt(rest, separator); }) == error);
        return 0;
    }
    Check(std::isfinite(value));

    int16_t fromText16 = 0, fromValue16 = 0;
    Check(ErrorOf([&] { fromText16 = CInt(rest, separator); }) ==
          ErrorOf([&] { fromValue16 = CInt(value); }));
    Check(fromText16 == fromValue16);
    int32_t fromText32 = 0, fromValue32 = 0;
    Check(ErrorOf([&] { fromText32 = CLng(rest, separator); }) ==
          ErrorOf([&] { fromValue32 = CLng(value); }));
    Check(fromText32 == fromValue32);
    Check(std::fabs(fromValue32 - value) <= 0.5 || fromValue32 == 0);

    if (ordinary)
        CheckWritten(value, separator);
    if (rest.size() >= sizeof(double)) {
        double raw;
        std::memcpy(&raw, rest.data(), sizeof raw);
        if (std::isfinite(raw))
            CheckWritten(raw, ordinary ? separator : ",");
    }
    return 0;
}
