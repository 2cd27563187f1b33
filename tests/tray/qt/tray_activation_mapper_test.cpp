#include "tray/qt/tray_activation_mapper.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>

namespace corvalo::tray {
namespace {

// Steps such as "T0 D90": an activation (Unknown, Context, DoubleClick, Trigger, MiddleClick)
// at a time in ms; "wl", "wm", "wr": a left, middle or right double-click on the icon window.
std::string mapped(const std::string& steps) {
    const std::string reasons = "UCDTM";  // in the order of QSystemTrayIcon::ActivationReason
    const char* names[] = {"LeftDown",    "LeftUp",     "LeftDouble", "RightDown",   "RightUp",
                           "RightDouble", "MiddleDown", "MiddleUp",   "MiddleDouble"};
    TrayActivationMapper mapper(400);
    std::istringstream in(steps);
    std::string out;
    for (std::string s; in >> s;) {
        const auto button = s[1] == 'l'   ? Qt::LeftButton
                            : s[1] == 'm' ? Qt::MiddleButton
                                          : Qt::RightButton;
        const auto reason = QSystemTrayIcon::ActivationReason(reasons.find(s[0]));
        const auto action = s[0] == 'w' ? mapper.mapWindowDoubleClick(button)
                                        : mapper.map(reason, std::stoll(s.substr(1)));
        out += (out.empty() ? "" : " ") + std::string(action ? names[int(*action)] : "none");
    }
    return out;
}

TEST(TrayActivationMapper, MapsWhatQtReportsToMouseActions) {
    const struct {
        const char *name, *steps, *expected;
    } rows[] = {
        {"XEmbed double-click", "T0 D90", "LeftDown LeftDouble"},
        {"host sends each click, last ms", "T0 T400", "LeftDown LeftDouble"},
        {"two slow clicks", "T0 T401", "LeftDown LeftDown"},
        {"third click after a double-click", "T0 D90 T180", "LeftDown LeftDouble LeftDown"},
        {"middle clicks pair", "M0 M150", "MiddleDown MiddleDouble"},
        {"left then middle do not pair", "T0 M50", "LeftDown MiddleDown"},
        {"context between clicks", "T0 C10 T20", "LeftDown RightDown LeftDown"},
        {"unknown", "U0", "none"},
        {"icon window double-clicks Qt drops", "wm wr wl", "MiddleDouble RightDouble none"},
        {"icon window double-click between clicks", "T0 wm T20", "LeftDown MiddleDouble LeftDown"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(mapped(row.steps), row.expected);
    }
}

}  // namespace
}  // namespace corvalo::tray
