#include "tray/qt/tray_activation_mapper.h"

#include <gtest/gtest.h>

#include <optional>
#include <vector>

namespace corvalo::tray {
namespace {

using M = TrayMouseAction;

struct Step {
    QSystemTrayIcon::ActivationReason reason;
    std::int64_t atMs;
};

TEST(TrayActivationMapper, MapsWhatQtReportsToMouseActions) {
    using A = QSystemTrayIcon::ActivationReason;
    using Actions = std::vector<std::optional<TrayMouseAction>>;
    const struct {
        const char* name;
        std::vector<Step> steps;
        Actions expected;
    } rows[] = {
        {"single click", {{A::Trigger, 0}}, {M::LeftDown}},
        {"XEmbed double-click",
         {{A::Trigger, 0}, {A::DoubleClick, 90}},
         {M::LeftDown, M::LeftDoubleClick}},
        {"host sends each click",
         {{A::Trigger, 0}, {A::Trigger, 200}},
         {M::LeftDown, M::LeftDoubleClick}},
        {"two slow clicks", {{A::Trigger, 0}, {A::Trigger, 401}}, {M::LeftDown, M::LeftDown}},
        {"third click after a double-click",
         {{A::Trigger, 0}, {A::DoubleClick, 90}, {A::Trigger, 180}},
         {M::LeftDown, M::LeftDoubleClick, M::LeftDown}},
        {"middle clicks pair",
         {{A::MiddleClick, 0}, {A::MiddleClick, 150}},
         {M::MiddleDown, M::MiddleDoubleClick}},
        {"left then middle do not pair",
         {{A::Trigger, 0}, {A::MiddleClick, 50}},
         {M::LeftDown, M::MiddleDown}},
        {"context", {{A::Context, 0}}, {M::RightDown}},
        {"unknown", {{A::Unknown, 0}}, {std::nullopt}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        TrayActivationMapper mapper(400);
        Actions got;
        for (const Step& step : row.steps) got.push_back(mapper.map(step.reason, step.atMs));
        EXPECT_EQ(got, row.expected);
    }
}

TEST(TrayActivationMapper, IconWindowDoubleClicksQtDrops) {
    TrayActivationMapper mapper(400);
    EXPECT_EQ(mapper.mapWindowDoubleClick(Qt::MiddleButton), M::MiddleDoubleClick);
    EXPECT_EQ(mapper.mapWindowDoubleClick(Qt::RightButton), M::RightDoubleClick);
    EXPECT_EQ(mapper.mapWindowDoubleClick(Qt::LeftButton), std::nullopt);
}

}  // namespace
}  // namespace corvalo::tray
