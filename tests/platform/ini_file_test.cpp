// One INI file over a storage: read once, changed in memory, written whole by save().
#include "platform/ini_file.h"

#include <gtest/gtest.h>

#include <string>

#include "support/fake_ini_storage.h"

namespace corvalo::platform {
namespace {

using FakeStorage = corvalo::testing::FakeIniStorage;

// Every change goes into one replacement, and the same value written again into none.
TEST(IniFile, ReadsWithDefaultsAndSavesEachChangeOnce) {
    FakeStorage fake;
    fake.files["f"] = "[S]\nA=$10\nB=yes\n";
    IniFile ini(fake, "f");
    EXPECT_EQ(ini.readString("S", "A", "d"), "$10");
    EXPECT_EQ(ini.readString("S", "Missing", "d"), "d");
    EXPECT_EQ(ini.readInt("S", "A", 42), 16);
    EXPECT_EQ(ini.readInt("S", "B", 42), 42);
    ini.writeString("S", "A", "$10");
    ASSERT_TRUE(ini.save());
    EXPECT_EQ(fake.replacements, 0);
    ini.writeString("S", "A", "2");
    ini.writeString("T", "M", "4");
    EXPECT_EQ(fake.replacements, 0);  // nothing before save()
    ASSERT_TRUE(ini.save());
    ini.writeString("T", "M", "4");
    ASSERT_TRUE(ini.save());
    EXPECT_EQ(fake.replacements, 1);
    EXPECT_EQ(fake.files["f"], "[S]\nA=2\nB=yes\n\n[T]\nM=4\n");
}

TEST(IniFile, AMissingFileIsCreatedAndOneThatCannotBeReadIsNeverOverwritten) {
    FakeStorage fake;
    fake.readResults["unreadable"] = IniStorage::ReadResult::Failed;
    IniFile missing(fake, "f");
    IniFile unreadable(fake, "unreadable");
    EXPECT_EQ(unreadable.readString("S", "K", "d"), "d");
    EXPECT_FALSE(unreadable.save());  // even with nothing to write
    for (IniFile* ini : {&missing, &unreadable}) ini->writeString("S", "K", "1");
    EXPECT_TRUE(missing.save());
    EXPECT_FALSE(unreadable.save());
    EXPECT_EQ(fake.files["f"], "[S]\nK=1\n");
    EXPECT_EQ(fake.replacements, 1);
}

}  // namespace
}  // namespace corvalo::platform
