// Frame search of the RTCM 3 decoder: CRC acceptance, frames across blocks,
// junk around frames and the bytes it holds back.
#include <gtest/gtest.h>

#include <vector>

#include "net/ntrip_channel.h"
#include "platform/queue_window_receiver.h"
#include "platform/window_messages.h"
#include "rtcm/message_codes.h"
#include "rtcm/rtcm3_dec.h"
#include "tests/rtcm/rtcm3_test_messages.h"

namespace corvane {
namespace {

using test::Append;
using test::Frame;

int Feed(RTCM3Dec& dec, const std::vector<std::uint8_t>& bytes) {
    return dec.Input(bytes.data(), static_cast<int>(bytes.size()));
}

std::vector<std::uint8_t> Frame1013(int mjd) { return Frame(test::Message1013(mjd, 100, 18)); }
std::vector<std::uint8_t> Frame1006(std::int64_t x) {
    return Frame(test::Message1006(x, 2, 3, 10000));
}

TEST(Rtcm3Framing, TwoFramesInOneBlockAreDecodedInOrder) {
    RTCM3Dec dec(nullptr);
    std::vector<std::uint8_t> block;
    Append(block, Frame1006(10000));
    Append(block, Frame1013(50000));
    EXPECT_EQ(Feed(dec, block), 0);
    EXPECT_DOUBLE_EQ(dec.Records().rec1006.x, 1.0);
    EXPECT_EQ(dec.Records().rec1013.mjd, 50000);
}

TEST(Rtcm3Framing, AFrameSplitOverTwoBlocksIsHeldThenDecoded) {
    RTCM3Dec dec(nullptr);
    const auto frame = Frame1013(50001);
    for (std::size_t cut = 1; cut < frame.size(); ++cut) {
        RTCM3Dec d(nullptr);
        EXPECT_EQ(d.Input(frame.data(), static_cast<int>(cut)), static_cast<int>(cut));
        EXPECT_EQ(d.Records().rec1013.mjd, 0);
        EXPECT_EQ(d.Input(frame.data() + cut, static_cast<int>(frame.size() - cut)), 0);
        EXPECT_EQ(d.Records().rec1013.mjd, 50001) << "cut at " << cut;
    }
}

TEST(Rtcm3Framing, JunkAroundFramesDoesNotHideThem) {
    RTCM3Dec dec(nullptr);
    std::vector<std::uint8_t> block = {0x00, 0xD3, 0x00, 0x01, 0x55, 0x13};
    Append(block, Frame1006(20000));
    block.push_back(0x42);  // not a preamble
    Append(block, Frame1013(50002));
    block.insert(block.end(), {0x11, 0x22});
    EXPECT_EQ(Feed(dec, block), 0);
    EXPECT_DOUBLE_EQ(dec.Records().rec1006.x, 2.0);
    EXPECT_EQ(dec.Records().rec1013.mjd, 50002);
}

TEST(Rtcm3Framing, AFrameWithABadCrcIsNotDecodedAndTheNextOneIs) {
    RTCM3Dec dec(nullptr);
    auto bad = Frame1006(30000);
    bad[8] ^= 0x01;  // a bit of the message
    auto badParity = Frame1006(40000);
    badParity.back() ^= 0x80;
    std::vector<std::uint8_t> block;
    Append(block, bad);
    Append(block, badParity);
    Append(block, Frame1013(50003));
    EXPECT_EQ(Feed(dec, block), 0);
    EXPECT_DOUBLE_EQ(dec.Records().rec1006.x, 0.0);
    EXPECT_EQ(dec.Records().rec1013.mjd, 50003);
}

TEST(Rtcm3Framing, AFrameInsideARejectedCandidateIsFound) {
    // A 0xD3 whose length field swallows a real frame: the candidate fails
    // its CRC and the frame inside it is found one byte later.
    RTCM3Dec dec(nullptr);
    std::vector<std::uint8_t> block = {0xD3, 0x00, 0x10};
    Append(block, Frame1013(50004));
    block.resize(block.size() + 20, 0x00);
    EXPECT_EQ(Feed(dec, block), 0);
    EXPECT_EQ(dec.Records().rec1013.mjd, 50004);
}

TEST(Rtcm3Framing, WhatIsHeldBack) {
    RTCM3Dec dec(nullptr);
    std::vector<std::uint8_t> zeros(100, 0);
    EXPECT_EQ(Feed(dec, zeros), 0);
    EXPECT_EQ(Feed(dec, {0x01, 0x02, 0xD3, 0x00}), 2);  // the preamble and one byte
    EXPECT_EQ(dec.HeldCount(), 2u);
    // A length pointing beyond the held bytes keeps the candidate whole.
    RTCM3Dec d2(nullptr);
    EXPECT_EQ(Feed(d2, {0xAA, 0xD3, 0x03, 0xFF, 0x01, 0x02, 0x03, 0x04}), 7);
}

TEST(Rtcm3Framing, UnknownMessagesAreConsumedWithoutEffect) {
    platform::QueueWindowReceiver window;
    ChannelContext context;
    NtripChannel channel(&window, context);
    MountpointEntry entry;
    channel.entry = &entry;
    RTCM3Dec dec(&channel);
    std::vector<std::uint8_t> block;
    test::BitWriter m1005;
    m1005.U(1005, 12).U(1, 12).Zeros(128);
    Append(block, Frame(m1005));
    Append(block, Frame(test::MessageMsm(1117, 1000, 1ull << 63, 1u << 31, 1, 1, {{}}, {{}})));
    Append(block, Frame(test::MessageMsm(1104, 1000, 1ull << 63, 1u << 31, 1, 1, {{}}, {{}})));
    Append(block, Frame(test::MessageMsm(1107, 1000, 1ull << 63, 1u << 31, 1, 1, {{}}, {{}})));
    Append(block, test::BuildRtcm3Frame({}));  // an empty message
    Append(block, Frame1013(50005));
    EXPECT_EQ(Feed(dec, block), 0);
    const auto posted = window.Drain();
    ASSERT_EQ(posted.size(), 1u);
    EXPECT_EQ(posted[0].message, WM_RTCM_DECODED);
    EXPECT_EQ(posted[0].wParam, reinterpret_cast<std::uintptr_t>(&entry));
    EXPECT_EQ(posted[0].lParam, static_cast<std::intptr_t>(MessageCode(kKind1013, 0)));
}

TEST(Rtcm3Framing, ABlockLargerThanTheBufferIsTakenWhole) {
    RTCM3Dec dec(nullptr);
    std::vector<std::uint8_t> block(5000, 0x00);
    const auto frame = Frame1013(50006);
    block.insert(block.end() - 100, frame.begin(), frame.end());
    EXPECT_EQ(Feed(dec, block), 0);
    EXPECT_EQ(dec.Records().rec1013.mjd, 50006);
}

}  // namespace
}  // namespace corvane
