#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "net/caster_registry.h"
#include "tests/support/scripted_caster.h"

namespace corvane {
namespace {

std::string Table(const std::vector<std::string>& names) {
    std::string t = "SOURCETABLE 200 OK\r\n";
    for (const auto& n : names)
        t += "STR;" + n + ";" + n + ";RTCM 3.2;1004;2;GPS;NET;KOR;37.0;127.0;0;0;x;none;B;N;0;\r\n";
    return t + "ENDSOURCETABLE\r\n";
}

// A caster whose table can be changed between refreshes.
class TableCaster {
public:
    explicit TableCaster(std::vector<std::string> names)
        : names_(std::move(names)), caster_([this](test::CasterConnection& c) {
              c.ReadRequest();
              std::lock_guard lock(mutex_);
              c.Send(Table(names_));
          }) {}
    void SetNames(std::vector<std::string> names) {
        std::lock_guard lock(mutex_);
        names_ = std::move(names);
    }
    std::uint16_t Port() const { return caster_.Port(); }

private:
    std::mutex mutex_;
    std::vector<std::string> names_;
    test::ScriptedCaster caster_;
};

class Refresh : public ::testing::Test {
protected:
    void SetUp() override {
        registry.timeouts.connectWaits = 1;
        registry.timeouts.connectWaitMs = 200;
        registry.timeouts.sourceTableReceiveMs = 1000;
    }
    void Point(int slot, std::uint16_t port) {
        registry.configs[slot].host = "127.0.0.1";
        registry.configs[slot].port = port;
        registry.ResolveCaster(slot);
    }
    std::vector<std::string> Names(int slot) {
        std::vector<std::string> out;
        for (const auto& [name, e] : registry.maps[slot]) out.push_back(name);
        return out;
    }
    CasterRegistry registry;
};

TEST_F(Refresh, ManualCasterLosesBuiltinStationsOnly) {
    TableCaster builtin({"SEJU00", "ZZZ1"});
    TableCaster manual({"SEJU00", "seju00", "SEJ", "MOJO7", "OTHER"});
    Point(0, builtin.Port());
    Point(1, manual.Port());
    registry.RefreshMountpoints(true);
    EXPECT_EQ(Names(0), (std::vector<std::string>{"SEJU00", "ZZZ1"}));
    EXPECT_EQ(Names(1), (std::vector<std::string>{"OTHER", "SEJ", "seju00"}));
}

TEST_F(Refresh, NoManualCasterMeansNoManualList) {
    TableCaster builtin({"A"});
    Point(0, builtin.Port());
    registry.configs[1] = {"", 2101, "u", "p"};
    registry.ResolveCaster(1);
    registry.RefreshMountpoints(true);
    EXPECT_EQ(Names(0).size(), 1u);
    EXPECT_TRUE(registry.maps[1].empty());
}

TEST_F(Refresh, RememberedSettingsArePerSlotAndFollowTheTable) {
    TableCaster builtin({"SAME", "GONE"});
    TableCaster manual({"SAME"});
    Point(0, builtin.Port());
    Point(1, manual.Port());
    // As loaded from the selected-mountpoint file before the first refresh.
    registry.remembered[0]["SAME"] = {5000, 3, 7};
    registry.remembered[0]["GONE"] = {5001, 0, 1};
    registry.remembered[1]["SAME"] = {0, 4, 2};
    registry.RefreshMountpoints(true);

    const MountpointEntry& s0 = *registry.maps[0].at("SAME");
    const MountpointEntry& s1 = *registry.maps[1].at("SAME");
    EXPECT_EQ(s0.selected, 1);
    EXPECT_EQ(s0.Settings(), (MountpointSettings{5000, 3, 7}));
    EXPECT_EQ(s1.selected, 1);
    EXPECT_EQ(s1.Settings(), (MountpointSettings{0, 4, 2}));
    EXPECT_EQ(registry.maps[0].at("GONE")->selected, 1);

    // The user unticks GONE; it then vanishes from the table: on the next
    // refreshes SAME keeps its settings and nothing of GONE is remembered.
    registry.maps[0].at("GONE")->selected = 0;
    builtin.SetNames({"SAME"});
    registry.RefreshMountpoints(false);
    EXPECT_EQ(registry.remembered[0].size(), 1u);
    EXPECT_EQ(registry.maps[0].at("SAME")->Settings(), (MountpointSettings{5000, 3, 7}));

    // A selected mountpoint that vanishes loses its remembered settings.
    builtin.SetNames({"GONE"});
    registry.RefreshMountpoints(false);
    EXPECT_TRUE(registry.remembered[0].count("SAME") == 0);
    EXPECT_EQ(registry.maps[0].at("GONE")->selected, 0);
}

TEST_F(Refresh, FailedFetchKeepsTheSlotsRememberedSettings) {
    // Slot 0 answers with something other than a source table; slot 1 is
    // unreachable. Neither forgets what it remembers.
    test::ScriptedCaster wrong([](test::CasterConnection& c) {
        c.ReadRequest();
        c.Send("HTTP/1.1 404 Not Found\r\n\r\n");
    });
    Point(0, wrong.Port());
    Point(1, test::UnusedPort());
    registry.remembered[0]["KEEP0"] = {5000, 0, 1};
    registry.remembered[1]["KEEP1"] = {0, 2, 4};
    registry.RefreshMountpoints(true);
    EXPECT_TRUE(registry.maps[0].empty());
    EXPECT_TRUE(registry.maps[1].empty());
    EXPECT_EQ(registry.remembered[0].count("KEEP0"), 1u);
    EXPECT_EQ(registry.remembered[1].at("KEEP1"), (MountpointSettings{0, 2, 4}));

    // Nor does remembering the (empty) selection before the file is written
    // at exit, or a later refresh that fails again.
    registry.RememberSelected();
    registry.RefreshMountpoints(false);
    EXPECT_EQ(registry.remembered[0].count("KEEP0"), 1u);
    EXPECT_EQ(registry.remembered[1].count("KEEP1"), 1u);
}

TEST(NumberEntries, SequenceRunsOverBothListsAndFixesPorts) {
    CasterRegistry r;
    auto add = [&](int slot, const char* name, MountpointSettings s, bool selected) {
        auto e = std::make_unique<MountpointEntry>();
        std::snprintf(e->name, sizeof e->name, "%s", name);
        e->ApplySettings(s);
        e->selected = selected;
        r.maps[slot][name] = std::move(e);
    };
    add(0, "B", {1, 3, 1}, true);
    add(0, "A", {0, 0, 0}, false);
    add(1, "A", {9, 3, 0}, true);  // COM3 already taken by slot 0's B
    add(1, "C", {7, 9, 0}, true);  // COM9 not present
    add(1, "D", {0, 5, 0}, true);
    add(1, "B", {0, 37, 0}, true);  // no COM37, and not COM5 (37 & 31) either
    r.NumberEntries(5000, (1u << 3) | (1u << 5));
    EXPECT_EQ(r.maps[0].at("A")->sequence, 0);
    EXPECT_EQ(r.maps[0].at("B")->sequence, 1);
    EXPECT_EQ(r.maps[0].at("B")->tcpPort, 5001);
    EXPECT_EQ(r.maps[0].at("B")->comPort, 3);
    EXPECT_EQ(r.maps[1].at("A")->sequence, 2);
    EXPECT_EQ(r.maps[1].at("A")->casterIndex, 1);
    EXPECT_EQ(r.maps[1].at("A")->tcpPort, 5002);
    EXPECT_EQ(r.maps[1].at("A")->comPort, 0);
    EXPECT_EQ(r.maps[1].at("C")->tcpPort, 5004);
    EXPECT_EQ(r.maps[1].at("C")->comPort, 0);
    EXPECT_EQ(r.maps[1].at("D")->tcpPort, 0);
    EXPECT_EQ(r.maps[1].at("D")->comPort, 5);
    EXPECT_EQ(r.maps[1].at("B")->comPort, 0);
}

}  // namespace
}  // namespace corvane
