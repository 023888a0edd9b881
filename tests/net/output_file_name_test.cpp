#include <gtest/gtest.h>

#include <filesystem>
#include <ostream>
#include <string>
#include <vector>

#include "net/file_name_part.h"
#include "tests/net/channel_test_support.h"
#include "tests/support/test_data.h"

namespace corvane {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono;

struct NameCase {
    std::string name;
    std::string part;
};

// Test names show the file-name part, never the raw bytes of the name.
void PrintTo(const NameCase& c, std::ostream* os) { *os << c.part; }

std::string ControlBytes() {
    std::string s;
    for (char c = 1; c < 32; ++c) s += c;
    return s;
}

TEST(FileNamePart, HostileAndOrdinaryNames) {
    const std::vector<NameCase> cases = {
        {"SEJU00KOR0", "SEJU00KOR0"},
        {"RTCM3.2-EPH", "RTCM3.2-EPH"},
        {"\xEC\x84\x9C\xEC\x9A\xB8", "\xEC\x84\x9C\xEC\x9A\xB8"},  // UTF-8 stays
        {"../../x", ".._.._x"},
        {"a/b", "a_b"},
        {"C:\\w*?\"<>|", "C__w______"},
        {std::string("a\x7F" "b\x1B[2J", 7), "a_b_[2J"},
        {ControlBytes(), std::string(31, '_')},
        {".", "_"},
        {"..", "_"},
        {"....", "_"},
        {".a.", ".a."},
        {"CON", "_CON"},
        {"con.rtcm", "_con.rtcm"},
        {"Lpt9", "_Lpt9"},
        {"COM1.x.y", "_COM1.x.y"},
        {"aux", "_aux"},
        {"NUL", "_NUL"},
        {"PRN", "_PRN"},
        {"COM0", "COM0"},
        {"COM10", "COM10"},
        {"CONSOLE", "CONSOLE"},
        {"XCON", "XCON"},
    };
    for (const NameCase& c : cases) EXPECT_EQ(FileNamePart(c.name), c.part) << c.name;
}

// Every regular file below `root`, relative to it.
std::vector<std::string> FilesBelow(const std::string& root) {
    std::vector<std::string> files;
    for (const auto& e : fs::recursive_directory_iterator(root))
        if (e.is_regular_file()) files.push_back(fs::relative(e.path(), root).generic_string());
    return files;
}

class HostileMountpoint : public ::testing::TestWithParam<NameCase> {};

TEST_P(HostileMountpoint, RawFileStaysInTheOutputFolder) {
    const std::string stream = test::Pseudorandom(3000, 5);
    test::ScriptedCaster caster([&](test::CasterConnection& c) {
        c.ReadRequest();
        c.Send("ICY 200 OK\r\n" + stream);
    });
    test::TempDir dir;
    test::ChannelRig rig(caster.Address());
    std::snprintf(rig.entry.name, sizeof rig.entry.name, "%s", GetParam().name.c_str());
    rig.entry.outputs = kOutputRaw;
    rig.context.outputDir = dir.File("out/in");
    rig.Start();
    ASSERT_TRUE(rig.WaitEvent(6, seconds(5)));
    rig.Stop();
    const std::vector<std::string> files = FilesBelow(dir.Path());
    ASSERT_EQ(files.size(), 1u);
    const std::string prefix = "out/in/" + GetParam().part + "_";
    EXPECT_EQ(files[0].substr(0, prefix.size()), prefix) << files[0];
    EXPECT_EQ(files[0].size(), prefix.size() + 20) << files[0];  // YYYYMMDD_HHMMSS.rtcm
    std::string written;
    ASSERT_TRUE(test::ReadFile(dir.File(files[0]), &written));
    EXPECT_EQ(written, stream);
}

INSTANTIATE_TEST_SUITE_P(Names, HostileMountpoint,
                         ::testing::Values(NameCase{"../../x", ".._.._x"}, NameCase{"a/b", "a_b"},
                                           NameCase{"CON", "_CON"}, NameCase{"..", "_"},
                                           NameCase{ControlBytes(), std::string(31, '_')}));

TEST(SameNameOnBothCasters, EachChannelRecordsItsOwnStreamWhole) {
    const std::string builtinStream = test::Pseudorandom(20000, 21);
    const std::string manualStream = test::Pseudorandom(30000, 22);
    auto serve = [](const std::string& stream) {
        return [&stream](test::CasterConnection& c) {
            c.ReadRequest();
            c.Send("ICY 200 OK\r\n" + stream);
        };
    };
    test::ScriptedCaster builtin(serve(builtinStream)), manual(serve(manualStream));
    test::TempDir dir;
    test::ChannelRig first(builtin.Address(), kBuiltinSlot), second(manual.Address(), kManualSlot);
    for (test::ChannelRig* rig : {&first, &second}) {
        std::snprintf(rig->entry.name, sizeof rig->entry.name, "DUP");
        rig->entry.outputs = kOutputRaw;
        rig->context.outputDir = dir.Path();
    }
    second.entry.sharesBuiltinName = 1;
    first.Start();
    second.Start();
    ASSERT_TRUE(first.WaitEvent(6));
    ASSERT_TRUE(second.WaitEvent(6));
    first.Stop();
    second.Stop();
    const std::vector<std::string> files = FilesBelow(dir.Path());
    ASSERT_EQ(files.size(), 2u);
    for (const std::string& f : files) {
        const bool isManual = f.rfind("DUP@2_", 0) == 0;
        EXPECT_TRUE(isManual || f.rfind("DUP_", 0) == 0) << f;
        std::string written;
        ASSERT_TRUE(test::ReadFile(dir.File(f), &written));
        EXPECT_TRUE(written == (isManual ? manualStream : builtinStream)) << f;
    }
}

}  // namespace
}  // namespace corvane
