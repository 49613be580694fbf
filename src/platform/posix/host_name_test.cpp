#include "platform/posix/host_name.h"

#include <gtest/gtest.h>

namespace platform::posix {
namespace {

// U+F000 + byte, as UTF-8.
std::string Escaped(unsigned char byte) {
  return std::string{static_cast<char>(0xEF),
                     static_cast<char>(0x80 | (byte >> 6)),
                     static_cast<char>(0x80 | (byte & 0x3F))};
}

TEST(HostNameTest, PlainNamesAndValidUtf8StayAsTheyAre) {
  for (std::string name : {"photo.jpg", "my photo (1).jpg", "caf\xC3\xA9",
                           "\xF0\x9F\x93\xB7 trailing. ", "a&b;c,d^e"}) {
    EXPECT_EQ(EscapeHostName(name), name);
    EXPECT_EQ(UnescapeModelName(name).value(), name);
  }
}

TEST(HostNameTest, EscapesReservedControlInvalidAndPrivateUseBytes) {
  EXPECT_EQ(EscapeHostName("a\\b"), "a" + Escaped('\\') + "b");
  EXPECT_EQ(EscapeHostName("x:*?\"<>|"),
            "x" + Escaped(':') + Escaped('*') + Escaped('?') + Escaped('"') +
                Escaped('<') + Escaped('>') + Escaped('|'));
  EXPECT_EQ(EscapeHostName("\x01\x1F"), Escaped(0x01) + Escaped(0x1F));
  EXPECT_EQ(EscapeHostName("bad\xFF"), "bad" + Escaped(0xFF));
  // A truncated sequence: each of its bytes on its own.
  EXPECT_EQ(EscapeHostName("\xC3"), Escaped(0xC3));
  // An overlong "/" and a surrogate are invalid UTF-8 too.
  EXPECT_EQ(EscapeHostName("\xC0\xAF"), Escaped(0xC0) + Escaped(0xAF));
  EXPECT_EQ(EscapeHostName("\xED\xA0\x80"),
            Escaped(0xED) + Escaped(0xA0) + Escaped(0x80));
  // U+F041 itself is held by a host name: escaped byte by byte.
  EXPECT_EQ(EscapeHostName("\xEF\x81\x81"),
            Escaped(0xEF) + Escaped(0x81) + Escaped(0x81));
}

TEST(HostNameTest, EveryByteRoundTrips) {
  for (int byte = 1; byte < 256; ++byte) {
    if (byte == '/') continue;
    std::string host = "n" + std::string(1, static_cast<char>(byte)) + "x";
    Result<std::string> back = UnescapeModelName(EscapeHostName(host));
    ASSERT_TRUE(back.ok()) << byte;
    EXPECT_EQ(*back, host) << byte;
  }
  std::string private_use = "\xEF\x80\x80\xEF\x83\xBF";  // U+F000, U+F0FF
  EXPECT_EQ(UnescapeModelName(EscapeHostName(private_use)).value(),
            private_use);
}

TEST(HostNameTest, RefusesRawForbiddenCharacters) {
  for (std::string name : {"a*b", "a?b", "a\"b", "a<b", "a>b", "a|b", "a:b",
                           "a\\b", "a/b", "tab\there"}) {
    EXPECT_EQ(UnescapeModelName(name).status().code(), Error::kInvalidName)
        << name;
  }
}

TEST(HostNameTest, RefusesEscapesThatAnotherSpellingAlreadyNames) {
  // U+F061 would be "a", which is spelt "a"; U+F0C3 U+F0A9 would be a valid
  // "é"; U+F000 would be a NUL. Each host name has one spelling only.
  EXPECT_FALSE(UnescapeModelName(Escaped('a')).ok());
  EXPECT_FALSE(UnescapeModelName(Escaped(0xC3) + Escaped(0xA9)).ok());
  EXPECT_FALSE(UnescapeModelName(Escaped(0)).ok());
  EXPECT_FALSE(UnescapeModelName("bad\xFF").ok());  // not UTF-8 at all
}

}  // namespace
}  // namespace platform::posix
