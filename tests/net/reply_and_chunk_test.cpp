#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "net/bit_rate.h"
#include "net/chunk_decoder.h"
#include "net/ntrip_channel.h"
#include "net/reply_classifier.h"

namespace corvane {
namespace {

int Classify(const char* header, int* chunked = nullptr) {
    NtripChannel channel(nullptr, ChannelContext{});
    channel.chunked = 1;  // must be cleared by every classification
    const int status = channel.ClassifyResponse(header);
    if (chunked) *chunked = channel.chunked;
    return status;
}

TEST(ClassifyResponse, AcceptedStreams) {
    int chunked = -1;
    EXPECT_EQ(Classify("ICY 200 OK\r\n\r\n", &chunked), 2);
    EXPECT_EQ(chunked, 0);
    EXPECT_EQ(Classify("icy 200 ok\r\n"), 2);
    EXPECT_EQ(Classify("HTTP/1.1 200 OK\r\nContent-Type: gnss/data\r\n\r\n", &chunked), 2);
    EXPECT_EQ(chunked, 0);
    EXPECT_EQ(Classify("HTTP/1.0 200 OK\nServer: x\n"), 2);
}

TEST(ClassifyResponse, ChunkedAnnouncedAnywhereInTheHeader) {
    struct Case {
        const char* header;
        int chunked;
    };
    const Case cases[] = {
        {"HTTP/1.1 200 OK\r\nTRANSFER-ENCODING: CHUNKED\r\nSERVER: c\r\n\r\n", 1},
        {"HTTP/1.1 200 OK\r\nServer: c\r\nTransfer-Encoding: chunked\r\n\r\n", 1},
        {"HTTP/1.1 200 OK\r\nTransfer-Encoding:chunked\r\n\r\n", 1},
        {"HTTP/1.1 200 OK\r\ntransfer-encoding \t:\t Chunked \r\n\r\n", 1},
        {"HTTP/1.1 200 OK\r\nTransfer-Encoding: gzip, chunked\r\n\r\n", 1},
        {"HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked, gzip\r\n\r\n", 0},
        {"HTTP/1.1 200 OK\r\nTransfer-Encoding: chunkedx\r\n\r\n", 0},
        {"HTTP/1.1 200 OK\r\nX-Transfer-Encoding: chunked\r\n\r\n", 0},
        {"HTTP/1.1 200 OK\r\nContent-Type: gnss/data\r\n\r\n", 0},
    };
    for (const Case& c : cases) {
        int chunked = -1;
        EXPECT_EQ(Classify(c.header, &chunked), 2) << c.header;
        EXPECT_EQ(chunked, c.chunked) << c.header;
    }
}

TEST(ClassifyResponse, Refusals) {
    EXPECT_EQ(Classify("SOURCETABLE 200 OK\r\nServer: x\r\n"), -5);
    EXPECT_EQ(Classify("HTTP/1.1 401 Unauthorized\r\n\r\n"), -6);
    EXPECT_EQ(Classify("HTTP/1.1 404 Not Found\r\n\r\n"), -5);
    EXPECT_EQ(Classify("HTTP/1.1 501 Not Implemented\r\n\r\n"), -7);
    EXPECT_EQ(Classify("HTTP/1.1 500 Internal\r\nServer: x\r\n\r\n"), -8);
    EXPECT_EQ(Classify("HTTP/1.1 500 Internal\r\n"), -8);
    // A refusal after a 200 line still counts; the first deciding line wins.
    EXPECT_EQ(Classify("ICY 200 OK\r\nHTTP/1.1 401 x\r\n"), -6);
    EXPECT_EQ(Classify("HTTP/1.1 200 OK\r\nServer: x\r\nHTTP/1.1 401 x\r\n"), 2);
}

TEST(ClassifyResponse, NothingRecognised) {
    EXPECT_EQ(Classify(""), -8);
    EXPECT_EQ(Classify("\r\n\r\n"), -8);
    EXPECT_EQ(Classify("Hello\r\nWorld\r\n"), -8);
    EXPECT_EQ(Classify("HTTP/1.1"), -8);     // no status code at all
    EXPECT_EQ(Classify("ICY 20"), -8);       // cut short
    EXPECT_EQ(Classify(" ICY 200 OK"), -8);  // prefixes are matched at the line start
}

TEST(ReplyHeaderLength, EndsAtTheFirstEmptyLine) {
    const std::string crlf = "HTTP/1.1 200 OK\r\nServer: x\r\n\r\n";
    EXPECT_EQ(ReplyHeaderLength(crlf + "\xD3\x00\x13"), crlf.size());
    const std::string lf = "ICY 200 OK\n\n";
    EXPECT_EQ(ReplyHeaderLength(lf + "abc"), lf.size());
    EXPECT_EQ(ReplyHeaderLength("ICY 200 OK\r\n\r\n"), 14u);
}

TEST(ReplyHeaderLength, IcyLineDirectlyFollowedByData) {
    // RTKLIB's caster: the status line and at once the stream.
    EXPECT_EQ(ReplyHeaderLength(std::string("ICY 200 OK\r\n\xFF\x40\x41\xB0", 16)), 12u);
    // Stream bytes holding an empty line do not end the header there.
    EXPECT_EQ(ReplyHeaderLength(std::string("ICY 200 OK\r\n\xD3\x00\x05\n\r\nxyz", 21)), 12u);
    // RTCM 2 bytes are printable but hold no line end.
    EXPECT_EQ(ReplyHeaderLength("ICY 200 OK\r\nfY@`_[Lx]DfR"), 12u);
    // Without an empty line and without ICY everything is header.
    EXPECT_EQ(ReplyHeaderLength("HTTP/1.1 200 OK\r\nServer: x\r\n"), 28u);
}

TEST(ReplyHeaderLength, HttpHeaderEndsWhereBinaryDataBegins) {
    // The stream starts with the line of the first control byte.
    EXPECT_EQ(ReplyHeaderLength(std::string("HTTP/1.1 200 OK\r\n\xD3\x00\x13>", 21)), 17u);
    EXPECT_EQ(ReplyHeaderLength(std::string("HTTP/1.1 200 OK\nServer: x\n\x01", 27)), 26u);
    EXPECT_EQ(ReplyHeaderLength(std::string("HTTP/1.1 200 OK\x01", 16)), 15u);
}

TEST(ReplyHeaderIncomplete, OnlyAnHttpHeaderWithoutItsEmptyLine) {
    EXPECT_TRUE(ReplyHeaderIncomplete("HTTP/1.1 200 OK\r\n"));
    EXPECT_TRUE(ReplyHeaderIncomplete("HTTP/1.1 200 OK\r\nTransfer-Enc"));
    EXPECT_FALSE(ReplyHeaderIncomplete("HTTP/1.1 200 OK\r\nServer: x\r\n\r\n"));
    EXPECT_FALSE(ReplyHeaderIncomplete(std::string("HTTP/1.1 200 OK\r\n\xD3\x00", 19)));
    EXPECT_FALSE(ReplyHeaderIncomplete("ICY 200 OK\r\n"));
    EXPECT_FALSE(ReplyHeaderIncomplete("SOURCETABLE 200 OK\r\n"));
}

// Feeds blocks to a decoder and collects the data and the verdicts.
struct Dechunk {
    ChunkDecoder decoder;
    std::string out;
    int calls = 0;
    bool Feed(const std::string& block) {
        return decoder.Feed(reinterpret_cast<const std::uint8_t*>(block.data()),
                            static_cast<int>(block.size()), [&](const std::uint8_t* d, int n) {
                                out.append(reinterpret_cast<const char*>(d), n);
                                ++calls;
                            });
    }
};

TEST(ChunkDecoder, RemovesFramingSplitAnywhere) {
    const std::string framed =
        "5\r\nhello\r\n1A\r\nabcdefghijklmnopqrstuvwxyz\r\nf\r\n0123456789ABCDE\r\n0\r\n\r\n";
    const std::string plain = "helloabcdefghijklmnopqrstuvwxyz0123456789ABCDE";
    for (std::size_t cut1 = 0; cut1 <= framed.size(); ++cut1) {
        for (std::size_t cut2 = cut1; cut2 <= framed.size(); cut2 += 7) {
            Dechunk d;
            EXPECT_TRUE(d.Feed(framed.substr(0, cut1)));
            EXPECT_TRUE(d.Feed(framed.substr(cut1, cut2 - cut1)));
            EXPECT_TRUE(d.Feed(framed.substr(cut2)));
            ASSERT_EQ(d.out, plain) << "cuts at " << cut1 << ", " << cut2;
            EXPECT_EQ(d.decoder.BadHeaders(), 0);
        }
    }
}

TEST(ChunkDecoder, SizeDigitsAndLineEndInDifferentBlocks) {
    Dechunk d;
    EXPECT_TRUE(d.Feed("1"));
    EXPECT_TRUE(d.Feed("0"));
    EXPECT_TRUE(d.Feed("\r"));
    EXPECT_TRUE(d.Feed("\n0123456789ABCDEF\r\n"));
    EXPECT_EQ(d.out, "0123456789ABCDEF");
}

TEST(ChunkDecoder, FourBadBlocksInARowFailThreeDoNot) {
    Dechunk d;
    EXPECT_TRUE(d.Feed("zz\r\n"));
    EXPECT_TRUE(d.Feed("3\rX"));  // anything but LF after CR
    EXPECT_TRUE(d.Feed("3;e\nabc\r\n"));  // an extension without its CR
    EXPECT_EQ(d.decoder.BadHeaders(), 3);
    // Good data resets the count.
    EXPECT_TRUE(d.Feed("3\r\nabc\r\n"));
    EXPECT_EQ(d.out, "abc");
    EXPECT_EQ(d.decoder.BadHeaders(), 0);
    for (int i = 0; i < 3; ++i) EXPECT_TRUE(d.Feed("\n"));
    EXPECT_FALSE(d.Feed("g\r\n"));
    EXPECT_EQ(d.out, "abc");
}

TEST(ChunkDecoder, ExtensionsAreSkippedWhereverTheBlocksSplit) {
    const std::string framed = "3;name=value\r\nabc\r\n2 ;a;b=\"x;y\"\r\nde\r\n1\t;q\r\nf\r\n";
    for (std::size_t cut = 0; cut <= framed.size(); ++cut) {
        Dechunk d;
        EXPECT_TRUE(d.Feed(framed.substr(0, cut)));
        EXPECT_TRUE(d.Feed(framed.substr(cut)));
        ASSERT_EQ(d.out, "abcdef") << "cut at " << cut;
        EXPECT_EQ(d.decoder.BadHeaders(), 0);
    }
    Dechunk endless;
    EXPECT_TRUE(endless.Feed("3;" + std::string(ChunkDecoder::kMaxExtension + 1, 'x')));
    EXPECT_EQ(endless.decoder.BadHeaders(), 1);
}

TEST(ChunkDecoder, BadHeaderDropsTheRestOfTheBlock) {
    Dechunk d;
    EXPECT_TRUE(d.Feed("x\r\n3\r\nabc\r\n"));
    EXPECT_EQ(d.out, "");
    EXPECT_TRUE(d.Feed("3\r\ndef\r\n"));
    EXPECT_EQ(d.out, "def");
}

TEST(ChunkDecoder, SizeReaching2To31IsBad) {
    Dechunk d;
    EXPECT_TRUE(d.Feed("7FFFFFFF"));
    EXPECT_EQ(d.decoder.BadHeaders(), 0);
    Dechunk e;
    EXPECT_TRUE(e.Feed("80000000\r\n"));
    EXPECT_EQ(e.decoder.BadHeaders(), 1);
}

TEST(ChunkDecoder, LowerCaseHexAndChunkEndingWithTheBlock) {
    Dechunk d;
    EXPECT_TRUE(d.Feed("a\r\n0123456789"));  // chunk ends exactly with the block
    EXPECT_TRUE(d.Feed("\r\nb\r\nabcdefghijk\r\n"));
    EXPECT_EQ(d.out, "0123456789abcdefghijk");
}

TEST(SmoothedBitRate, AveragesAndSaturates) {
    EXPECT_EQ(SmoothedBitRate(2000, 4000, 0), 1000);        // 4000 bit/s, a quarter of it
    EXPECT_EQ(SmoothedBitRate(2000, 4000, 4000), 4000);     // steady
    EXPECT_EQ(SmoothedBitRate(0, 4000, 4000), 3000);        // silence decays
    EXPECT_EQ(SmoothedBitRate(1000000, 4000, 0), 65535);    // 2 Mbit/s: kept at the top
    EXPECT_EQ(SmoothedBitRate(40000, 4000, 65535), 65535);  // 80 kbit/s stays saturated
    EXPECT_EQ(SmoothedBitRate(4096, 4000, 65535), 51199);   // and falls from there
}

}  // namespace
}  // namespace corvane
