#include "modStringHandler.h"

#include "TextInput.h"
#include "VbError.h"
#include "VbMath.h"

namespace korvane {

std::string GetParameter(std::string_view text, std::string_view delimiter, int32_t number) {
    return PassOn("modStringHandler:GetParameter", [&]() -> std::string {
        if (CharacterCount(text) > kMaxTextCharacters)
            RaiseRuntime(ErrOverflow, vb::kRuntimeSource);
        std::string_view rest = text;
        int16_t counter = 1;
        for (;;) {
            const size_t position = rest.find(delimiter);
            if (position == std::string_view::npos)
                return std::string(rest);
            if (counter == number)
                return std::string(rest.substr(0, position));
            rest.remove_prefix(position + delimiter.size());
            counter = vb::Add16(counter, 1);
        }
    });
}

} // namespace korvane
