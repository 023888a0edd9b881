#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "net/caster_registry.h"
#include "net/connection_helpers.h"
#include "platform/text_encoding.h"

namespace corvane {
namespace {

std::string B64(const std::string& in) {
    char out[128] = {};
    const std::size_t n =
        Base64Encode(reinterpret_cast<const std::uint8_t*>(in.data()), in.size(), out);
    EXPECT_EQ(n, 4 * ((in.size() + 2) / 3));
    return std::string(out, n);
}

TEST(Base64, Rfc4648Vectors) {
    EXPECT_EQ(B64(""), "");
    EXPECT_EQ(B64("f"), "Zg==");
    EXPECT_EQ(B64("fo"), "Zm8=");
    EXPECT_EQ(B64("foo"), "Zm9v");
    EXPECT_EQ(B64("foob"), "Zm9vYg==");
    EXPECT_EQ(B64("fooba"), "Zm9vYmE=");
    EXPECT_EQ(B64("foobar"), "Zm9vYmFy");
    EXPECT_EQ(B64(std::string("\xff\xfe\x00", 3)), "//4A");
}

TEST(Credentials, BuiltinSlotAndEmptyManualSlot) {
    CasterRegistry r;
    r.purpose = 7;
    r.BuildCredentials(kBuiltinSlot);
    EXPECT_STREQ(r.casters[0].credentials, "cWFkbHU6cWFkbHU=");  // qadlu:qadlu
    EXPECT_STREQ(r.casters[0].agentSuffix, " #7");
    r.BuildCredentials(kManualSlot);
    EXPECT_STREQ(r.casters[1].credentials, "Og==");  // ":"
    EXPECT_STREQ(r.casters[1].agentSuffix, "");
}

TEST(Credentials, LongTextIsCutOnACharacterBoundary) {
    CasterEntry e;
    // 31 + 1 + 31 ASCII bytes: exactly 63, kept whole.
    EncodeCredentials(e, std::string(31, 'u'), std::string(31, 'p'));
    EXPECT_EQ(std::strlen(e.credentials), 84u);
    // A password of 3-byte characters overruns 63 bytes: cut before the
    // character that would be split, and the NUL still fits.
    if (platform::WideToNarrow(u"한") != "한") GTEST_SKIP() << "narrow text is not UTF-8 here";
    std::string korean;
    for (int i = 0; i < 12; ++i) korean += "한";
    EncodeCredentials(e, std::string(30, 'u'), korean);
    EXPECT_EQ(e.credentials[87], '\0');
    const std::string kept = std::string(30, 'u') + ":" + korean.substr(0, 30);  // 61 bytes
    char expected[88] = {};
    Base64Encode(reinterpret_cast<const std::uint8_t*>(kept.data()), kept.size(), expected);
    EXPECT_STREQ(e.credentials, expected);
}

TEST(ResolveCaster, ManualSlotNeedsHostAndPort) {
    CasterRegistry r;
    r.configs[1] = {"127.0.0.1", 0, "", ""};
    r.ResolveCaster(1);
    EXPECT_FALSE(r.casters[1].Present());
    EXPECT_EQ(r.casters[1].address.family, 0);
    r.configs[1].port = 2102;
    r.ResolveCaster(1);
    EXPECT_TRUE(r.casters[1].Present());
    EXPECT_EQ(platform::NetworkToHost16(r.casters[1].address.port), 2102);
    r.configs[1].host = "no-such-host.invalid";
    r.ResolveCaster(1);
    EXPECT_FALSE(r.casters[1].Present());
    EXPECT_EQ(r.casters[1].address.family, platform::kAddressFamilyIpv4);
}

}  // namespace
}  // namespace corvane
