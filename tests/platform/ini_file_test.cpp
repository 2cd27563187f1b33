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
    fake.files["f"] = "[Show]\nA=$10\nB=yes\n";
    const IniFile ini(fake, "f");
    EXPECT_EQ(ini.readString("show", "a", "d"), "$10");
    EXPECT_EQ(ini.readString("Show", "Missing", "d"), "d");
    EXPECT_EQ(ini.readInt("Show", "A", 42), 16);
    EXPECT_EQ(ini.readInt("Show", "B", 42), 42);
    EXPECT_EQ(ini.readInt("Other", "A", 42), 42);
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

TEST(IniFile, EveryChangeGoesIntoOneReplacement) {
    FakeStorage fake;
    fake.files["f"] = "; mine\n[S]\nK=1\n";
    IniFile ini(fake, "f");
    ini.writeString("S", "K", "2");
    ini.writeString("S", "L", "3");
    ini.writeString("T", "M", "4");
    ASSERT_TRUE(ini.save());
    EXPECT_EQ(fake.replacements, 1);
    EXPECT_EQ(fake.files["f"], "; mine\n[S]\nK=2\nL=3\n\n[T]\nM=4\n");
    ASSERT_TRUE(ini.save());  // nothing new since
    EXPECT_EQ(fake.replacements, 1);
}

TEST(IniFile, UnchangedValuesWriteNothing) {
    FakeStorage fake;
    fake.files["f"] = "[S]\nK=1\n";
    fake.failAt = 0;
    IniFile ini(fake, "f");
    ini.writeString("s", "k", "1");
    EXPECT_TRUE(ini.save());
    EXPECT_EQ(fake.replacements, 0);
}

TEST(IniFile, ARefusedWriteReportsFalseAndKeepsTheFile) {
    FakeStorage fake;
    fake.files["f"] = "[S]\nK=1\n";
    fake.failAt = 0;
    IniFile ini(fake, "f");
    ini.writeString("S", "K", "2");
    EXPECT_FALSE(ini.save());
    EXPECT_EQ(fake.files["f"], "[S]\nK=1\n");
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
