// The logs' digest: the same for the whole and for pieces, another for any change.
#include <set>

#include "cli/cli_sqlite.h"
#include "test_support.h"

namespace {

TEST(LogDigest, PiecesOfAnySizeGiveTheDigestOfTheWhole) {
    std::vector<uint8_t> bytes(1000);
    for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = uint8_t(i * 7 + (i >> 8));
    const uint64_t whole = LogDigest(bytes.data(), bytes.size());
    for (size_t piece : {1, 5, 31, 32, 33, 64, 999}) {
        LogDigestState d;
        LogDigestInit(&d);
        for (size_t at = 0; at < bytes.size(); at += piece) LogDigestUpdate(&d, bytes.data() + at, std::min(piece, bytes.size() - at));
        EXPECT_EQ(LogDigestFinal(&d), whole) << piece;
    }
    // One byte changed anywhere, or one more zero byte, gives another digest.
    std::set<uint64_t> seen = {whole, LogDigest(bytes.data(), 999), LogDigest(bytes.data(), 0)};
    bytes.push_back(0);
    seen.insert(LogDigest(bytes.data(), bytes.size()));
    for (size_t at : {0, 31, 32, 500, 999}) {
        bytes[at] ^= 1;
        seen.insert(LogDigest(bytes.data(), 1000));
        bytes[at] ^= 1;
    }
    EXPECT_EQ(seen.size(), 9u);
    char text[17];
    FormatLogDigest(0x0123456789abcdefull, text);
    EXPECT_STREQ(text, "0123456789abcdef");
}

}  // namespace
