#include "modMain.h"

#include "clsLocalInfo.h"
#include "frmMain.h"

#include <memory>

namespace korvane {

void Main(const ui::Seams& seams, const QString& roomFile) {
    ui::Trapped(seams, nullptr, "modMain:Main", [&seams, &roomFile] {
        auto localInfo = std::make_unique<clsLocalInfo>();
        int32_t userLocale = 1;
        localInfo->SelectLocale(userLocale);
        gDecimalSeparator = localInfo->DecimalSeparator();
        localInfo.reset();

        ui::frmMain window(seams);
        window.Load();
        if (!roomFile.isEmpty())
            window.OpenRoomFile(roomFile);
        window.ShowModal();
    });
}

} // namespace korvane
