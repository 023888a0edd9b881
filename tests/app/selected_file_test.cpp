#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "app/cli/mountpoint_choice.h"
#include "app/selected_file.h"
#include "tests/app/registry_entries.h"
#include "tests/support/test_data.h"

namespace corvane {
namespace {

std::string Section(char digit) {
    return std::string(1, digit) + std::string(34, '=') + std::string(1, '\0');
}

std::string Record(const std::string& name, MountpointSettings s) {
    std::string r(36, '\0');
    std::memcpy(r.data(), name.data(), std::min<std::size_t>(name.size(), 31));
    r[31] = '=';
    const auto b = s.ToBytes();
    std::memcpy(r.data() + 32, b.data(), 4);
    return r;
}

TEST(SelectedFile, SectionsDecideTheSlot) {
    RememberedMaps maps;
    ParseSelectedFile(Record("EARLY", {5000, 1, 1}) + Section('1') + Record("LATE", {0, 2, 4}) +
                          Section('0') + Record("ZERO", {5001, 0, 3}) + Section('7') +
                          Record("IGNORED", {1, 1, 1}) + "partial",
                      maps);
    EXPECT_EQ(maps[0].size(), 1u);  // the second section "0" emptied slot 0
    EXPECT_EQ(maps[0].at("ZERO"), (MountpointSettings{5001, 0, 3}));
    EXPECT_EQ(maps[1].at("LATE"), (MountpointSettings{0, 2, 4}));
    EXPECT_EQ(maps[1].count("IGNORED"), 0u);

    RememberedMaps before;
    ParseSelectedFile(Record("EARLY", {5000, 1, 1}) + Record("A", {0, 0, 0}).substr(0, 20), before);
    EXPECT_EQ(before[0].at("EARLY"), (MountpointSettings{5000, 1, 1}));
    EXPECT_EQ(before[0].size(), 1u);  // the trailing partial record is ignored
}

TEST(SelectedFile, WritesByteExactAndRoundTripsLongNames) {
    RememberedMaps maps;
    const std::string name31(31, 'N');
    maps[0][name31] = {0x1388, -1, 7};
    maps[0]["A"] = {0, 0, 2};
    maps[1]["SAME"] = {5003, 4, 1};
    const std::string bytes = FormatSelectedFile(maps);
    EXPECT_EQ(bytes, Section('0') + Record("A", {0, 0, 2}) + Record(name31, {0x1388, -1, 7}) +
                         Section('1') + Record("SAME", {5003, 4, 1}));
    EXPECT_EQ(std::memcmp(bytes.data(), "0==================================\0", 36), 0);
    EXPECT_EQ(static_cast<unsigned char>(bytes[36 * 2 + 32]), 0x88);  // little-endian port
    EXPECT_EQ(static_cast<unsigned char>(bytes[36 * 2 + 34]), 0xFF);

    RememberedMaps back;
    ParseSelectedFile(bytes, back);
    EXPECT_EQ(back, maps);
}

TEST(SelectedFile, SaveRemembersSelectionAndReplacesTheFileWhole) {
    test::TempDir dir;
    CasterRegistry r;
    r.listFetched = {true, true};
    test::AddEntry(r, 1, "MP1", true, {5000, 2, 5});
    test::AddEntry(r, 0, "OFF", false);
    ASSERT_TRUE(SaveSelectedFile(r, dir.Path()));

    CasterRegistry loaded;
    LoadSelectedFile(loaded, dir.Path());
    EXPECT_TRUE(loaded.remembered[0].empty());
    EXPECT_EQ(loaded.remembered[1].at("MP1"), (MountpointSettings{5000, 2, 5}));

    // No file yet: nothing remembered, no failure.
    CasterRegistry fresh;
    LoadSelectedFile(fresh, dir.File("sub"));
    EXPECT_TRUE(fresh.remembered[0].empty());
}

TEST(MountpointChoice, ParsesOptionsAndRejectsUnknownOnes) {
    std::string error;
    auto s = ParseMountpointChoice("MOUNT@1:tcp:com=3:out=rb", &error);
    ASSERT_TRUE(s);
    EXPECT_EQ(s->name, "MOUNT");
    EXPECT_EQ(s->caster, 1);
    EXPECT_EQ(s->relay, true);
    EXPECT_EQ(s->comPort, 3);
    EXPECT_EQ(s->outputs, kOutputRaw | kOutputRinex);
    s = ParseMountpointChoice("M:tcp=OFF:out=", &error);
    ASSERT_TRUE(s);
    EXPECT_EQ(s->relay, false);
    EXPECT_EQ(s->outputs, 0);
    EXPECT_FALSE(s->comPort);
    const std::vector<std::string> bad{
        "", "@1", "M@2", "M:com=32", "M:out=X", "M:udp", std::string(32, 'n')};
    for (const std::string& text : bad) {
        EXPECT_FALSE(ParseMountpointChoice(text, &error)) << text;
        EXPECT_FALSE(error.empty());
    }
}

}  // namespace
}  // namespace corvane
