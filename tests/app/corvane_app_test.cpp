#include <gtest/gtest.h>

#include "app/corvane_app.h"

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

}  // namespace
}  // namespace corvane
