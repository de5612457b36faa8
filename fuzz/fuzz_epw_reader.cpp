// Any bytes as the records of a weather file: read as they are and with a blank after every comma, which the
// reader takes field by field rather than its quicker way, they end in the same error in the same words.
#include "EpwFile.h"
#include "FuzzCheck.h"
#include "VbError.h"

#include <cstdint>
#include <string>
#include <string_view>

using namespace korvane;

namespace {

std::string Outcome(const std::string& records) {
    static const std::string header =
        "LOCATION,Fuzz,-,XX,synthetic,000000,45,8,1,100\n"
        "DESIGN CONDITIONS,0\nTYPICAL/EXTREME PERIODS,0\nGROUND TEMPERATURES,0\n"
        "HOLIDAYS/DAYLIGHT SAVING,No,0,0,0\nCOMMENTS 1,\nCOMMENTS 2,\n"
        "DATA PERIODS,1,1,Data,Sunday, 1/ 1,12/31\n";
    try {
        weather::ReadEpw(header + records, "f.epw");
    } catch (const VbError& e) {
        Check(e.Number() == ErrTypeMismatch); // a few hundred bytes are never a whole year
        return e.Description();
    }
    std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    std::string blanks;
    for (const char c : bytes)
        blanks.append(c == ',' ? ", " : std::string_view(&c, 1));
    Check(Outcome(std::string(bytes)) == Outcome(blanks));
    return 0;
}
