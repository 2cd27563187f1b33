#include "shell/app_icon.h"

#include <QPixmap>
#include <span>

#include "shell/embedded_assets.h"

namespace corvalo::shell {

QIcon appIcon() {
    QIcon icon;
    for (const std::span<const std::uint8_t> png :
         {appIcon16Png(), appIcon22Png(), appIcon24Png(), appIcon32Png(), appIcon48Png(),
          appIcon64Png(), appIcon128Png(), appIcon256Png()}) {
        QPixmap pixmap;
        if (pixmap.loadFromData(png.data(), static_cast<uint>(png.size()), "PNG")) {
            icon.addPixmap(pixmap);
        }
    }
    return icon;
}

}  // namespace corvalo::shell
