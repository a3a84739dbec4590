#include "workspace/source_text.h"

#include <gtest/gtest.h>

namespace qf {
namespace {

TEST(SourceText, ValidUtf8RoundTrips) {
    const std::string bytes = "<p>caf\xC3\xA9 &#233; \xE2\x82\xAC</p>";
    const SourceText source = DecodeSource(bytes);
    EXPECT_EQ(source.encoding, SourceEncoding::Utf8);
    EXPECT_EQ(source.text, QString::fromUtf8("<p>café &#233; €</p>"));
    EXPECT_EQ(EncodeSource(source.text, source.encoding), bytes);
}

TEST(SourceText, OtherBytesAreWindows1252AndRoundTrip) {
    // 0x80 is the euro sign, 0x81 has no character, 0xE9 is e acute.
    const std::string bytes = "caf\xE9 \x80 \x81 \x93quoted\x94";
    const SourceText source = DecodeSource(bytes);
    EXPECT_EQ(source.encoding, SourceEncoding::Windows1252);
    EXPECT_EQ(source.text, QString::fromUtf8("café € \u0081 “quoted”"));
    EXPECT_EQ(EncodeSource(source.text, source.encoding), bytes);
    // What the code page cannot hold becomes a character reference.
    EXPECT_EQ(EncodeSource(QString::fromUtf8("é→😀"), SourceEncoding::Windows1252),
              "\xE9&#8594;&#128512;");
}

} // namespace
} // namespace qf
