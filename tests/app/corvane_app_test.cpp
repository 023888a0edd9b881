#include <gtest/gtest.h>

#include "app/corvane_app.h"
#include "app/selected_file.h"
#include "platform/file.h"
#include "tests/app/memory_store.h"
#include "tests/app/registry_entries.h"
#include "tests/support/test_data.h"

namespace corvane {
namespace {

TEST(CCorvaneApp, BuiltinCasterFromTheCommandLine) {
    CCorvaneApp app;
    EXPECT_EQ(app.registry.configs[kBuiltinSlot].host, CORVANE_BUILTIN_HOST);
    EXPECT_EQ(app.registry.configs[kBuiltinSlot].port, 2101);

    app.SetBuiltinCasterFromArgs({"caster.example", "2102"});
    EXPECT_EQ(app.registry.configs[kBuiltinSlot].host, "caster.example");
    EXPECT_EQ(app.registry.configs[kBuiltinSlot].port, 2102);

    // A host alone keeps the standard port.
    app.SetBuiltinCasterFromArgs({"other.example"});
    EXPECT_EQ(app.registry.configs[kBuiltinSlot].host, "other.example");
    EXPECT_EQ(app.registry.configs[kBuiltinSlot].port, 2101);
}

TEST(CCorvaneApp, CancelledSignInStillSavesTheSettingsButNotTheFile) {
    test::TempDir dir;
    test::MemoryStore store;
    store.ints["x"] = -20;
    CCorvaneApp app;
    app.dataFolder = dir.Path();
    bool mainPhaseRan = false;
    app.Run(
        {"127.0.0.1", "2200"}, store,
        [](CCorvaneApp& a) {
            // The command line and the settings are in place for the sign-in.
            EXPECT_EQ(a.registry.configs[kBuiltinSlot].port, 2200);
            EXPECT_EQ(a.settings.x, 5);
            return false;
        },
        [&](CCorvaneApp&) { mainPhaseRan = true; });
    EXPECT_FALSE(mainPhaseRan);
    EXPECT_EQ(store.ints.at("x"), 5);
    std::string bytes;
    EXPECT_FALSE(platform::ReadWholeFile(dir.File(kSelectedFileName), &bytes));
}

TEST(CCorvaneApp, MainPhaseBetweenReadingAndWritingTheFileThenTheSettings) {
    test::TempDir dir;
    RememberedMaps before;
    before[0]["OLD"] = {5000, 0, 1};
    const std::string old = FormatSelectedFile(before);
    ASSERT_TRUE(platform::WriteFileAtomically(dir.File(kSelectedFileName), old.data(), old.size()));

    test::MemoryStore store;
    std::string fileWhenSettingsWritten;
    store.onWrite = [&] {
        if (fileWhenSettingsWritten.empty())
            platform::ReadWholeFile(dir.File(kSelectedFileName), &fileWhenSettingsWritten);
    };
    CCorvaneApp app;
    app.dataFolder = dir.Path();
    app.Run(
        {"127.0.0.1"}, store,
        [](CCorvaneApp& a) {
            EXPECT_TRUE(a.registry.remembered[0].empty());  // read only after the sign-in
            return true;
        },
        [](CCorvaneApp& a) {
            EXPECT_EQ(a.registry.remembered[0].at("OLD"), (MountpointSettings{5000, 0, 1}));
            // The list the main phase fetched and the user's choice.
            a.registry.listFetched = {true, false};
            a.registry.listComplete = {true, false};
            test::AddEntry(a.registry, 0, "NEW", true, {5001, 0, 4});
        });

    RememberedMaps after;
    after[0]["NEW"] = {5001, 0, 4};
    EXPECT_EQ(fileWhenSettingsWritten, FormatSelectedFile(after));  // the file came first
    EXPECT_EQ(store.order.substr(0, 2), "x ");
    EXPECT_TRUE(app.registry.maps[0].empty());  // the records are deleted at the end
}

}  // namespace
}  // namespace corvane
