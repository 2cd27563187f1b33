// One INI file over a storage: read once, changed in memory, written whole by save().
#include "platform/ini_file.h"

#include <gtest/gtest.h>

#include <string>

#include "support/fake_ini_storage.h"

namespace corvalo::platform {
namespace {

using FakeStorage = corvalo::testing::FakeIniStorage;

TEST(IniFile, ReadsStringsAndIntegersWithTheirDefaults) {
    FakeStorage fake;
    fake.files["f"] = "[S]\nA=$10\nB=yes\n";
    const IniFile ini(fake, "f");
    EXPECT_EQ(ini.readString("S", "A", "d"), "$10");
    EXPECT_EQ(ini.readString("S", "Missing", "d"), "d");
    EXPECT_EQ(ini.readInt("S", "A", 42), 16);
    EXPECT_EQ(ini.readInt("S", "B", 42), 42);
    EXPECT_EQ(ini.readInt("S", "Missing", 42), 42);
}

TEST(IniFile, AMissingFileReadsDefaultsAndIsCreatedBySave) {
    FakeStorage fake;
    IniFile ini(fake, "f");
    EXPECT_EQ(ini.readString("S", "K", "d"), "d");
    ini.writeString("S", "K", "1");
    EXPECT_TRUE(fake.files.empty());  // nothing before save()
    ASSERT_TRUE(ini.save());
    EXPECT_EQ(fake.files["f"], "[S]\nK=1\n");
}

// The same value written again, before or after a save, writes nothing.
TEST(IniFile, EveryChangeGoesIntoOneReplacementAndNoChangeIntoNone) {
    FakeStorage fake;
    fake.files["f"] = "[S]\nK=1\n";
    IniFile ini(fake, "f");
    ini.writeString("S", "K", "1");
    ASSERT_TRUE(ini.save());
    EXPECT_EQ(fake.replacements, 0);
    ini.writeString("S", "K", "2");
    ini.writeString("T", "M", "4");
    ASSERT_TRUE(ini.save());
    EXPECT_EQ(fake.replacements, 1);
    EXPECT_EQ(fake.files["f"], "[S]\nK=2\n\n[T]\nM=4\n");
    ini.writeString("T", "M", "4");
    ASSERT_TRUE(ini.save());
    EXPECT_EQ(fake.replacements, 1);
}

TEST(IniFile, NeverOverwritesAFileItCannotRead) {
    FakeStorage fake;
    fake.readResults["f"] = IniStorage::ReadResult::Failed;
    IniFile ini(fake, "f");
    EXPECT_EQ(ini.readString("S", "K", "d"), "d");
    EXPECT_FALSE(ini.save());  // even with nothing to write
    ini.writeString("S", "K", "2");
    EXPECT_FALSE(ini.save());
    EXPECT_EQ(fake.replacements, 0);
}

}  // namespace
}  // namespace corvalo::platform
