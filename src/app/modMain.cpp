#include "modMain.h"

#include "clsLocalInfo.h"
#include "frmMain.h"

#include <memory>

namespace korvane {

void Main(const ui::Seams& seams) {
    ui::Trapped(seams, nullptr, "modMain:Main", [&seams] {
        auto localInfo = std::make_unique<clsLocalInfo>();
        int32_t userLocale = 1;
        localInfo->SelectLocale(userLocale);
        gDecimalSeparator = localInfo->DecimalSeparator();
        localInfo.reset();

        ui::frmMain window(seams);
        window.ShowModal();
    });
}

} // namespace korvane
