// The tray icon's properties, its icon and tooltip, animation, errors and life.
#include "tray/tray_icon.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "tray_fakes.h"

namespace corvalo::tray {
namespace {

TEST(TrayIcon, LoadedAddsTheIconWithMessageIconAndTip) {
    TrayFixture f;
    f.loadAsMainWindow();
    ASSERT_EQ(f.area.ops(), std::vector<std::string>{"add"});
    const NotifyIconData& d = f.area.calls[0].data;
    EXPECT_EQ(d.iconId, 2u);
    EXPECT_EQ(d.flags, NotifyFlag::Message | NotifyFlag::Icon | NotifyFlag::Tip);
    EXPECT_EQ(d.callbackMessage, 1791u);
    EXPECT_EQ(d.icon, kAppIcon);
    EXPECT_EQ(d.tip, "");
    EXPECT_TRUE(f.tray->iconAdded());
    EXPECT_TRUE(f.tray->active());
    EXPECT_FALSE(f.tray->minimizeToTray());
    EXPECT_EQ(f.tray->interval(), 250);
}

TEST(TrayIcon, ShowsTheIconThenTheImageThenTheApplicationsThenTheStandardIcon) {
    const struct {
        const char* name;
        IconHandle icon;
        bool images;
        std::int32_t imageIndex;
        IconHandle appIcon;
        IconHandle shown;
    } rows[] = {
        {"own icon over images", 42, true, 1, kAppIcon, 42},
        {"image at the image index", kNoIcon, true, 1, kAppIcon, 12},
        {"image index past the images", kNoIcon, true, 7, kAppIcon, kAppIcon},
        {"application icon", kNoIcon, false, 0, kAppIcon, kAppIcon},
        {"standard icon", kNoIcon, false, 0, kNoIcon, kStandardIcon},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        TrayFixture f;
        f.area.appIcon = row.appIcon;
        f.tray->setIcon(row.icon);
        if (row.images) f.tray->setImages(&f.images);
        f.tray->setImageIndex(row.imageIndex);
        f.tray->loaded();
        ASSERT_EQ(f.area.ops(), std::vector<std::string>{"add"});
        EXPECT_EQ(f.area.calls[0].data.icon, row.shown);
    }
}

TEST(TrayIcon, TipIsTheFirst63CharactersOfTheHint) {
    const struct {
        const char* name;
        std::string hint;
        std::string tip;
    } rows[] = {
        {"100 ASCII", std::string(100, 'x'), std::string(63, 'x')},
        {"exactly 63", std::string(63, 'y'), std::string(63, 'y')},
        {"short", "Corvalo", "Corvalo"},
        // 100 two-byte characters keep 63 whole ones (126 bytes).
        {"100 accented",
         [] {
             std::string s;
             for (int i = 0; i < 100; ++i) s += "\xC3\xA9";
             return s;
         }(),
         [] {
             std::string s;
             for (int i = 0; i < 63; ++i) s += "\xC3\xA9";
             return s;
         }()},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        TrayFixture f;
        f.tray->loaded();
        f.clearLog();
        f.tray->setHint(row.hint);
        ASSERT_EQ(f.area.ops(), std::vector<std::string>{"modify"});
        EXPECT_EQ(f.area.calls[0].data.tip, row.tip);
        EXPECT_EQ(f.tray->hint(), row.hint);
    }
}

TEST(TrayIcon, WithoutShowHintTheTipIsNotSentAndHintChangesDoNotModify) {
    TrayFixture f;
    f.tray->loaded();
    f.clearLog();
    f.tray->setShowHint(false);
    ASSERT_EQ(f.area.ops(), std::vector<std::string>{"modify"});
    EXPECT_EQ(f.area.calls[0].data.flags, NotifyFlag::Message | NotifyFlag::Icon);
    f.tray->setHint("ignored while hidden");
    EXPECT_EQ(f.area.calls.size(), 1u);
}

TEST(TrayIcon, DeactivatingDeletesTheIconAndActivatingAddsItAgain) {
    TrayFixture f;
    f.tray->loaded();
    f.clearLog();
    f.tray->setActive(false);
    EXPECT_EQ(f.area.ops(), std::vector<std::string>{"delete"});
    EXPECT_FALSE(f.tray->iconAdded());
    f.tray->setActive(true);
    EXPECT_EQ(f.area.ops(), (std::vector<std::string>{"delete", "add"}));
    EXPECT_TRUE(f.tray->iconAdded());
}

TEST(TrayIcon, AnimationCyclesThroughTheImagesAndStopsOnTheIcon) {
    TrayFixture f;
    f.tray->setImages(&f.images);
    f.tray->setIcon(42);
    f.tray->setInterval(0);
    f.tray->loaded();
    EXPECT_FALSE(f.timer.isRunning);
    f.tray->setAnimate(true);
    ASSERT_TRUE(f.timer.isRunning);
    EXPECT_EQ(f.timer.interval, 200);  // an interval of 0 steps at 200 ms
    f.clearLog();
    std::vector<IconHandle> shown;
    for (int i = 0; i < 4; ++i) {
        f.timer.fire();
        shown.push_back(f.area.calls.back().data.icon);
    }
    EXPECT_EQ(shown, (std::vector<IconHandle>{11, 12, 13, 11}));
    f.tray->setInterval(500);
    EXPECT_EQ(f.timer.interval, 500);
    f.tray->setAnimate(false);
    EXPECT_FALSE(f.timer.isRunning);
    EXPECT_EQ(f.area.calls.back().op, "modify");
    EXPECT_EQ(f.area.calls.back().data.icon, 42);
}

TEST(TrayIcon, DeactivatingAndActivatingResumesTheAnimation) {
    TrayFixture f;
    f.tray->setImages(&f.images);
    f.tray->setAnimate(true);
    f.tray->loaded();
    ASSERT_TRUE(f.timer.isRunning);
    f.tray->setActive(false);
    EXPECT_FALSE(f.tray->animate());
    EXPECT_FALSE(f.timer.isRunning);
    EXPECT_EQ(f.area.calls.back().op, "delete");
    f.tray->setActive(true);
    EXPECT_TRUE(f.tray->animate());
    EXPECT_TRUE(f.timer.isRunning);
    EXPECT_EQ(f.area.calls.back().op, "add");
}

TEST(TrayIcon, AnimationWithoutImagesLeavesTheTimerIdle) {
    TrayFixture f;
    f.loadAsMainWindow();
    EXPECT_TRUE(f.tray->animate());
    EXPECT_FALSE(f.timer.isRunning);
    f.tray->setImages(&f.images);
    EXPECT_TRUE(f.timer.isRunning);
    f.tray->forget(&f.images);
    EXPECT_EQ(f.tray->images(), nullptr);
    EXPECT_FALSE(f.timer.isRunning);
}

TEST(TrayIcon, ErrorTextsAndNumbers) {
    const struct {
        const char* name;
        std::function<void(TrayFixture&)> act;
        int number;
        const char* text;
    } rows[] = {
        {"refused add",
         [](TrayFixture& f) {
             f.area.refuseAdd = true;
             f.tray->loaded();
         },
         119, "Error adding tray icon"},
        {"refused modify",
         [](TrayFixture& f) {
             f.tray->loaded();
             f.area.refuseModify = true;
             f.tray->setHint("x");
         },
         121, "Tray icon error"},
        {"second icon",
         [](TrayFixture& f) {
             TrayIcon second(TrayIconServices{f.area, f.timer, f.owner});
         },
         133, "Cannot have more than one TrayIcon per application"},
        {"image index without an image list",
         [](TrayFixture& f) {
             f.tray->loaded();
             f.tray->setImageIndex(1);
         },
         135, "ImageList is not assigned"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        TrayFixture f;
        try {
            row.act(f);
            ADD_FAILURE() << "no error";
        } catch (const TrayIconError& e) {
            EXPECT_EQ(e.number(), row.number);
            EXPECT_STREQ(e.what(), row.text);
        }
    }
}

TEST(TrayIcon, ARefusedAddIsTriedAgainByTheNextAdd) {
    TrayFixture f;
    f.area.refuseAdd = true;
    EXPECT_THROW(f.tray->loaded(), TrayIconError);
    EXPECT_FALSE(f.tray->iconAdded());
    f.area.refuseAdd = false;
    f.tray->setActive(true);
    EXPECT_TRUE(f.tray->iconAdded());
    EXPECT_EQ(f.area.ops(), (std::vector<std::string>{"add", "add"}));
}

TEST(TrayIcon, TheIconCanBeMadeAgainOnceTheFirstIsGone) {
    TrayFixture f;
    f.tray.reset();
    EXPECT_NO_THROW(f.tray.emplace(TrayIconServices{f.area, f.timer, f.owner}));
}

TEST(TrayIcon, DestructionDeletesTheIconAndLetsGoOfTheArea) {
    TrayFixture f;
    f.tray->loaded();
    f.clearLog();
    f.tray.reset();
    EXPECT_EQ(f.area.ops(), std::vector<std::string>{"delete"});
    EXPECT_EQ(f.area.listener, nullptr);
    EXPECT_EQ(f.area.menu, nullptr);
}

}  // namespace
}  // namespace corvalo::tray
