#include <gtest/gtest.h>

#include "Script/Importers/ZipArchive.h"
#include "Script/Importers/ZipBuilder.h"

namespace vorela {
namespace {

using testing::rawDeflate;
using testing::ZipBuilder;
using testing::ZipMember;

const auto kAll = [](std::string_view) { return true; };

std::string text(const std::vector<std::uint8_t>& bytes) { return {bytes.begin(), bytes.end()}; }

std::vector<std::string> names(const ZipArchive::Result& result) {
    std::vector<std::string> out;
    for (const auto& entry : result.value()) out.push_back(entry.name);
    return out;
}

TEST(ZipArchiveTest, StoredAndDeflatedMembersComeBackByteForByte) {
    std::string binary;
    for (int i = 0; i < 256; ++i) binary.push_back(static_cast<char>(i));
    const std::string prose(5000, 'a');
    auto zip = ZipBuilder()
                   .add(ZipMember("stored.bin", binary).stored())
                   .add(ZipMember("deflated.txt", prose))
                   .build();
    const auto result = ZipArchive(zip).entries(kAll);
    ASSERT_TRUE(result.ok());
    ASSERT_EQ(result.value().size(), 2u);
    EXPECT_EQ(text(result.value()[0].data), binary);
    EXPECT_EQ(text(result.value()[1].data), prose);
}

TEST(ZipArchiveTest, MembersFollowTheCentralDirectoryAndTheCallersTest) {
    auto zip = ZipBuilder()
                   .add(ZipMember("b.xml", "B"))
                   .add(ZipMember("skip.txt", "S"))
                   .add(ZipMember("a.xml", "A"))
                   .reverseLocalHeaders()
                   .build();
    int asked = 0;
    const auto result = ZipArchive(zip).entries([&](std::string_view name) {
        ++asked;
        return name.ends_with(".xml");
    });
    EXPECT_EQ(asked, 3);
    EXPECT_EQ(names(result), (std::vector<std::string>{"b.xml", "a.xml"}));
}

TEST(ZipArchiveTest, DeclaredUncompressedSizeBoundsTheContent) {
    const std::string content = "0123456789abcdef";
    struct Case {
        const char* name;
        std::uint32_t declared;
        std::string expected;
        bool isPresent;
    };
    const Case cases[] = {
        {"exact size", 16, content, true},
        {"declared smaller: cut to the declared size", 10, "0123456789", true},
        {"declared larger: the real content", 4000, content, true},
        {"declared zero: empty content", 0, "", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto zip = ZipBuilder().add(ZipMember("m", content).declaring(c.declared)).build();
        const auto result = ZipArchive(zip).entries(kAll);
        ASSERT_TRUE(result.ok());
        ASSERT_EQ(result.value().size(), c.isPresent ? 1u : 0u);
        EXPECT_EQ(text(result.value()[0].data), c.expected);
    }
}

TEST(ZipArchiveTest, DamagedMembersAreSkippedAndTheWalkGoesOn) {
    const std::uint32_t pastTheEnd = 0x00FFFFFF;
    struct Case {
        const char* name;
        ZipMember broken;
    };
    const Case cases[] = {
        {"local header signature wrong", ZipMember("x", "X").withDamagedLocalHeader()},
        {"local header offset outside the data", ZipMember("x", "X").atLocalOffset(pastTheEnd)},
        {"data runs past the end", ZipMember("x", "X").compressedAs(pastTheEnd)},
        {"unknown method", ZipMember("x", "X").stored().withMethod(12)},
        {"deflate stream that is not deflate",
         ZipMember("x", "not deflate").stored().withMethod(8)},
        {"ZIP64 size marker", ZipMember("x", "X").declaring(0xFFFFFFFF)},
        {"deflate stream cut before its first byte decodes",
         ZipMember("x", std::string(3000, 'q') + "fin").compressedAs(1)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto zip = ZipBuilder()
                       .add(ZipMember("first", "1"))
                       .add(c.broken)
                       .add(ZipMember("last", "3").stored())
                       .build();
        const auto result = ZipArchive(zip).entries(kAll);
        ASSERT_TRUE(result.ok());
        EXPECT_EQ(names(result), (std::vector<std::string>{"first", "last"}));
    }
}

TEST(ZipArchiveTest, ADamagedDeflateStreamKeepsTheBytesDecodedBeforeTheDamage) {
    // A member cut short or damaged part-way came back as nothing at all, though the
    // decoder had written its first bytes; the reader keeps what was decoded before.
    std::string prose;
    for (int i = 0; prose.size() < 20000; ++i) prose += "linea " + std::to_string(i * 7919) + "\n";
    const auto fullSize = static_cast<std::uint32_t>(rawDeflate(prose).size());
    // A stored block holding "hola " followed by a block of the reserved type 3.
    const std::string storedThenInvalid("\x00\x05\x00\xFA\xFFhola \x07", 11);
    struct Case {
        const char* name;
        ZipMember member;
        std::size_t minimumSize;
    };
    const Case cases[] = {
        {"cut at half its compressed size", ZipMember("m", prose).compressedAs(fullSize / 2), 1000},
        {"cut a byte before its end", ZipMember("m", prose).compressedAs(fullSize - 1), 10000},
        {"an invalid block after a good one",
         ZipMember("m", storedThenInvalid).stored().withMethod(8).declaring(100), 5},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const auto result = ZipArchive(ZipBuilder().add(c.member).build()).entries(kAll);
        ASSERT_TRUE(result.ok());
        ASSERT_EQ(result.value().size(), 1u);
        const std::string kept = text(result.value()[0].data);
        EXPECT_GE(kept.size(), c.minimumSize);
        const std::string& whole = c.member.deflate ? prose : std::string("hola ");
        EXPECT_LE(kept.size(), whole.size());
        EXPECT_TRUE(whole.starts_with(kept));
    }
}

TEST(ZipArchiveTest, EndRecordIsFoundBehindTheLongestCommentOnly) {
    auto withLongComment =
        ZipBuilder().add(ZipMember("m", "M")).comment(std::string(65535, 'c')).build();
    EXPECT_EQ(names(ZipArchive(withLongComment).entries(kAll)), std::vector<std::string>{"m"});

    auto tooFar = ZipBuilder().add(ZipMember("m", "M")).comment(std::string(65535, 'c')).build();
    tooFar.push_back('!');  // the search allows one byte of slack beyond the longest comment
    EXPECT_TRUE(ZipArchive(tooFar).entries(kAll).ok());
    tooFar.push_back('!');
    const auto result = ZipArchive(tooFar).entries(kAll);
    ASSERT_FALSE(result.ok());
    EXPECT_EQ(result.error().kind, ZipArchiveError::Kind::corrupt);
    EXPECT_EQ(result.error().description(),
              "No se pudo abrir el archivo porque no tiene el formato correcto.");
}

TEST(ZipArchiveTest, InputWithoutEndRecordIsCorruptAndBadDirectoryIsEmpty) {
    for (const std::string& input :
         {std::string(), std::string(21, 'P'), std::string("PK\x05\x06", 4)}) {
        SCOPED_TRACE(input.size());
        EXPECT_FALSE(ZipArchive({input.begin(), input.end()}).entries(kAll).ok());
    }
    // An end record whose directory offset points outside the data: no members, no error.
    std::vector<std::uint8_t> lone = {0x50, 0x4b, 0x05, 0x06};
    lone.resize(22, 0);
    lone[16] = 0xFF;
    lone[17] = 0xFF;
    lone[18] = 0xFF;
    lone[19] = 0x7F;
    const auto result = ZipArchive(lone).entries(kAll);
    ASSERT_TRUE(result.ok());
    EXPECT_TRUE(result.value().empty());
}

TEST(ZipArchiveTest, InvalidUtf8NamesAreTestedWithReplacementCharacters) {
    auto zip = ZipBuilder().add(ZipMember("notes\xFF\xC3.xml", "N")).build();
    std::string seen;
    const auto result = ZipArchive(zip).entries([&](std::string_view name) {
        seen = name;
        return true;
    });
    EXPECT_EQ(seen, "notes\uFFFD\uFFFD.xml");
    EXPECT_EQ(names(result), std::vector<std::string>{"notes\uFFFD\uFFFD.xml"});
}

TEST(ZipArchiveTest, ImplausibleSizesAreRefusedBeforeAllocating) {
    // An archive could claim up to 4 GiB per member and have the reader allocate it before
    // decoding a byte; claims over the limits now fail the whole read before any buffer exists.
    const auto huge = static_cast<std::uint32_t>(ZipArchive::kMaxMemberSize + 1);
    auto oneHugeMember = ZipBuilder().add(ZipMember("big.xml", "x").declaring(huge)).build();
    auto result = ZipArchive(oneHugeMember).entries(kAll);
    ASSERT_FALSE(result.ok());
    EXPECT_EQ(result.error().kind, ZipArchiveError::Kind::memberTooLarge);
    EXPECT_NE(result.error().description().find("big.xml"), std::string::npos);

    // Five members of 60 MiB each pass one by one but not together.
    ZipBuilder many;
    for (int i = 0; i < 5; ++i) {
        many.add(ZipMember("m" + std::to_string(i), "x").declaring(60u << 20));
    }
    const auto bytes = many.build();
    result = ZipArchive(bytes).entries(kAll);
    ASSERT_FALSE(result.ok());
    EXPECT_EQ(result.error().kind, ZipArchiveError::Kind::archiveTooLarge);

    // Members the caller does not want cost nothing.
    result = ZipArchive(bytes).entries([](std::string_view name) { return name == "m0"; });
    EXPECT_TRUE(result.ok());
}

}  // namespace
}  // namespace vorela
