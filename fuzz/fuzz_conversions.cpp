// Any text under any separator (the first byte picks it): IsNumeric and the conversions agree, and what they
// read, CStr writes back as numeric text.
#include "FuzzCheck.h"
#include "VbConvert.h"
#include "VbError.h"

#include <cfloat>
#include <cmath>
#include <cstdint>
#include <string>
#include <string_view>

using namespace korvane;

namespace {

template <class F> int32_t ErrorOf(F&& f) {
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
    Check(IsNumeric(written, separator) && written.find_first_of(" e") == std::string::npos);
    const double back = CDbl(written, separator);
    Check(std::fabs(back - value) <= std::fabs(value) * 1e-14 + DBL_TRUE_MIN);
    Check(std::fabs(value) < DBL_MIN || CStr(back, separator) == written);
}

// Text and the Double it reads as convert alike, to the same value or the same error.
template <class Convert>
void CheckSame(std::string_view text, std::string_view separator, double value, Convert convert) {
    decltype(convert(value)) fromText = 0, fromValue = 0;
    Check(ErrorOf([&] { fromText = convert(text, separator); }) ==
          ErrorOf([&] { fromValue = convert(value); }));
    Check(fromText == fromValue);
    Check(std::fabs(fromValue - value) <= 0.5 || fromValue == 0);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0)
        return 0;
    std::string_view rest(reinterpret_cast<const char*>(data) + 1, size - 1);
    // Kind 3 has no separator: numbers are whole, and written text loses its decimal mark; kind 4 takes its
    // separator from the input itself.
    static constexpr std::string_view kSeparators[] = {",", ".", "\xD9\xAB", ""};
    const int kind = data[0] % 5;
    const bool ordinary = kind < 3;
    const std::string_view separator = kind < 4 ? kSeparators[kind] : rest.substr(0, data[0] / 5 % 4);
    rest.remove_prefix(kind < 4 ? 0 : separator.size());

    double value = 0;
    const int32_t error = ErrorOf([&] { value = CDbl(rest, separator); });
    Check(IsNumeric(rest, separator) == (error == 0));
    Check(error == 0 || ((error == ErrTypeMismatch || error == ErrOverflow) &&
                         ErrorOf([&] { CInt(rest, separator); }) == error));
    if (error != 0)
        return 0;
    Check(std::isfinite(value));
    CheckSame(rest, separator, value, [](auto... a) { return CInt(a...); });
    CheckSame(rest, separator, value, [](auto... a) { return CLng(a...); });

    if (ordinary)
        CheckWritten(value, separator);
    return 0;
}
