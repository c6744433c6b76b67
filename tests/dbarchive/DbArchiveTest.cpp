// The archive object: format details, loading hostile images, inflating,
// replacing and removing records, statistics.
#include "ArchiveImage.h"
#include "dbarchive/BodyCompressor.h"
#include "dbarchive/ByteWriter.h"
#include "dbarchive/DbArchive.h"
#include "dbarchive/RecordNameCursor.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <algorithm>

namespace mw {
namespace {

std::string Save(DbArchive& archive)
{
    ByteWriter writer(1024);
    EXPECT_TRUE(archive.Serialize(writer));
    return std::string(writer.Data(), writer.Size());
}

uint32_t Adler(const std::string& bytes, size_t from, size_t size)
{
    return uint32_t(adler32(1, reinterpret_cast<const Bytef*>(bytes.data()) + from, uInt(size)));
}

TEST(DbArchiveFormat, HeaderIndexStringTableAndChecksumsFollowTheLayout)
{
    DbArchive archive;
    archive.AddRecord("body-one", 8, "Records\\A.dbr", "Monster", 0x11111111, 0x01D00000);
    archive.AddRecord("second body", 11, "records\\b.dbr", "", 2, 3);
    std::string bytes = Save(archive);

    test::ArchiveImage image;
    ASSERT_TRUE(image.Parse(bytes));
    EXPECT_EQ(image.versionAndFlags, 0x00030004u);
    EXPECT_EQ(image.recordCount, 2u);
    ASSERT_EQ(image.entries.size(), 2u);
    EXPECT_EQ(image.strings, (std::vector<std::string>{"records\\a.dbr", "records\\b.dbr"}));
    // Entries in the order added, bodies back to back from offset 24.
    EXPECT_EQ(image.entries[0].nameId, 0u);
    EXPECT_EQ(image.entries[0].className, "Monster");
    EXPECT_EQ(image.entries[0].bodyOffset, 0u);
    EXPECT_EQ(image.entries[0].timeLow, 0x11111111u);
    EXPECT_EQ(image.entries[0].timeHigh, 0x01D00000u);
    EXPECT_EQ(image.entries[1].className, "");
    EXPECT_EQ(image.entries[1].bodyOffset, image.entries[0].bodySize);
    EXPECT_EQ(image.indexOffset, 24 + image.entries[0].bodySize + image.entries[1].bodySize);
    EXPECT_EQ(image.stringTableOffset, image.indexOffset + image.indexSize);
    EXPECT_EQ(image.Inflated(image.entries[0]), "body-one");
    EXPECT_EQ(image.Inflated(image.entries[1]), "second body");

    // Bodies are level-5 zlib streams.
    std::string expected(64, '\0');
    uLongf size = uLongf(expected.size());
    compress2(reinterpret_cast<Bytef*>(expected.data()), &size, reinterpret_cast<const Bytef*>("body-one"), 8, 5);
    EXPECT_EQ(image.Body(image.entries[0]), expected.substr(0, size));

    size_t footerAt = bytes.size() - 16;
    EXPECT_EQ(image.footer[0], Adler(bytes, 0, footerAt));
    EXPECT_EQ(image.footer[1], Adler(bytes, image.stringTableOffset, image.stringTableSize));
    EXPECT_EQ(image.footer[2], Adler(bytes, 24, image.indexOffset - 24));
    EXPECT_EQ(image.footer[3], Adler(bytes, image.indexOffset, image.indexSize));
}

TEST(DbArchiveFormat, AnEmptyArchiveStillHasStringTableAndFooter)
{
    DbArchive archive;
    archive.Strings().FindOrAdd("x");
    std::string bytes = Save(archive);
    test::ArchiveImage image;
    ASSERT_TRUE(image.Parse(bytes));
    EXPECT_EQ(image.indexOffset, 24u);
    EXPECT_EQ(image.indexSize, 0u);
    EXPECT_EQ(image.recordCount, 0u);
    EXPECT_EQ(image.strings, std::vector<std::string>{"x"});
    EXPECT_EQ(bytes.size(), 24u + 4 + 4 + 1 + 16);

    std::vector<std::string> lines;
    DbArchive loaded;
    loaded.Load(bytes.data(), bytes.size());
    loaded.WriteStatistics(lines);
    // An archive without bodies takes no string table on load.
    EXPECT_EQ(lines, (std::vector<std::string>{"Number of Records in archive: 0", "Number of entries in StringMap: 0"}));
}

TEST(DbArchive, LoadedBodiesAreCopiedUnchangedAndReplacementsGoLast)
{
    DbArchive first;
    first.AddRecord("aaaa", 4, "a.dbr", "A", 1, 0);
    first.AddRecord("bbbb", 4, "b.dbr", "B", 2, 0);
    first.AddRecord("cccc", 4, "c.dbr", "C", 3, 0);
    std::string original = Save(first);

    DbArchive second;
    second.Load(original.data(), original.size());
    EXPECT_EQ(second.RecordTime(*second.Strings().Find("b.dbr")), 2u);
    second.AddRecord("BBBB-new", 8, "B.DBR", "B2", 9, 0);
    // Adding a name twice before a save keeps the later body only.
    second.AddRecord("BBBB-newer", 10, "b.dbr", "B3", 10, 0);
    // Pending records are not seen until saved.
    EXPECT_EQ(second.RecordTime(*second.Strings().Find("b.dbr")), 2u);
    std::string updated = Save(second);

    test::ArchiveImage before;
    test::ArchiveImage after;
    ASSERT_TRUE(before.Parse(original));
    ASSERT_TRUE(after.Parse(updated));
    ASSERT_EQ(after.entries.size(), 3u);
    EXPECT_EQ(after.Body(after.entries[0]), before.Body(before.entries[0]));
    EXPECT_EQ(after.Body(after.entries[1]), before.Body(before.entries[2]));
    EXPECT_EQ(after.strings[after.entries[2].nameId], "b.dbr");
    EXPECT_EQ(after.entries[2].className, "B3");
    EXPECT_EQ(after.Inflated(after.entries[2]), "BBBB-newer");
    // The string table keeps its order and gains only the empty text.
    EXPECT_EQ(after.strings, (std::vector<std::string>{"a.dbr", "b.dbr", "c.dbr", ""}));

    // Loading and saving again without changes gives the same bytes.
    DbArchive third;
    third.Load(updated.data(), updated.size());
    EXPECT_EQ(Save(third), updated);
}

TEST(DbArchive, ChecksumsOfAnUpdatedArchiveMatchItsBytes)
{
    // Enough bodies for the sums to run over long stretches of the loaded
    // image, broken where a replaced and a removed record were.
    DbArchive first;
    for (int i = 0; i < 300; ++i)
    {
        std::string body(size_t(40 + i % 90), '\0');
        for (size_t j = 0; j < body.size(); ++j)
            body[j] = char((i * 131 + int(j) * 7) % 251);
        first.AddRecord(body.data(), body.size(), "r" + std::to_string(i) + ".dbr", "C", uint32_t(i), 0);
    }
    std::string original = Save(first);
    auto update = [](DbArchive& archive) {
        archive.AddRecord("replaced", 8, "r150.dbr", "C", 999, 0);
        archive.AddRecord("added", 5, "added.dbr", "C", 5, 0);
        archive.RemoveRecord(*archive.Strings().Find("r40.dbr"));
    };
    DbArchive second;
    second.Load(original.data(), original.size());
    update(second);
    std::string updated = Save(second);
    // A kept image writes its string table as loaded, with the new strings
    // after it: the same bytes.
    DbArchive kept;
    kept.Load(std::string(original));
    update(kept);
    EXPECT_TRUE(Save(kept) == updated);

    for (const std::string* bytes : {&original, &updated})
    {
        test::ArchiveImage image;
        ASSERT_TRUE(image.Parse(*bytes));
        size_t footerAt = bytes->size() - 16;
        EXPECT_EQ(image.footer[0], Adler(*bytes, 0, footerAt));
        EXPECT_EQ(image.footer[1], Adler(*bytes, image.stringTableOffset, image.stringTableSize));
        EXPECT_EQ(image.footer[2], Adler(*bytes, 24, image.indexOffset - 24));
        EXPECT_EQ(image.footer[3], Adler(*bytes, image.indexOffset, image.indexSize));
    }
    test::ArchiveImage after;
    ASSERT_TRUE(after.Parse(updated));
    ASSERT_EQ(after.entries.size(), 300u);
    EXPECT_EQ(after.Inflated(after.entries.back()), "added");
    EXPECT_EQ(after.Inflated(*after.FindByName("r150.dbr")), "replaced");
    EXPECT_EQ(after.strings.back(), "added.dbr");
    EXPECT_EQ(after.FindByName("r40.dbr"), nullptr);
}

TEST(DbArchive, LookupByNameNormalisesAndLaterDuplicateEntriesWin)
{
    DbArchive archive;
    archive.AddRecord("one", 3, "records\\x.dbr", "", 0, 0);
    std::string bytes = Save(archive);
    // Append a second index entry for the same name id pointing at a new body.
    test::ArchiveImage image;
    ASSERT_TRUE(image.Parse(bytes));
    std::string secondBody(64, '\0');
    uLongf size = uLongf(secondBody.size());
    compress2(reinterpret_cast<Bytef*>(secondBody.data()), &size, reinterpret_cast<const Bytef*>("two"), 3, 5);
    secondBody.resize(size);
    std::string bodies = bytes.substr(24, image.indexOffset - 24) + secondBody;
    std::string index = bytes.substr(image.indexOffset, image.indexSize);
    std::string entry = index;
    auto put = [](std::string& s, size_t at, uint32_t v) {
        for (int i = 0; i < 4; ++i)
            s[at + size_t(i)] = char(v >> (8 * i));
    };
    put(entry, 8, uint32_t(image.indexOffset - 24));
    put(entry, 12, uint32_t(secondBody.size()));
    index += entry;
    std::string strings = bytes.substr(image.stringTableOffset, image.stringTableSize);
    std::string rebuilt = bytes.substr(0, 24) + bodies + index + strings + std::string(16, '\0');
    put(rebuilt, 4, uint32_t(24 + bodies.size()));
    put(rebuilt, 8, uint32_t(index.size()));
    put(rebuilt, 12, 2);
    put(rebuilt, 16, uint32_t(24 + bodies.size() + index.size()));

    DbArchive loaded;
    loaded.Load(rebuilt.data(), rebuilt.size());
    std::string_view body;
    ASSERT_TRUE(loaded.GetRecordByName("Records/X.DBR", body));
    EXPECT_EQ(body, "two");
    EXPECT_EQ(loaded.Entries().size(), 1u);
    EXPECT_FALSE(loaded.GetRecordByName("records\\missing.dbr", body));
}

TEST(DbArchive, RawBodiesAreReadWhenTheCompressionFlagIsClear)
{
    DbArchive archive;
    archive.AddRecord("raw", 3, "r.dbr", "", 0, 0);
    std::string bytes = Save(archive);
    test::ArchiveImage image;
    ASSERT_TRUE(image.Parse(bytes));
    // Put the raw bytes in place of the stream and clear bit 0.
    std::string raw = "RAWBODY";
    std::string rebuilt = bytes.substr(0, 24) + raw;
    rebuilt[2] = 2;
    std::string index = bytes.substr(image.indexOffset, image.indexSize);
    index[12] = char(raw.size());
    for (int i = 13; i < 16; ++i)
        index[size_t(i)] = 0;
    uint32_t indexOffset = uint32_t(rebuilt.size());
    rebuilt += index;
    uint32_t stringsOffset = uint32_t(rebuilt.size());
    rebuilt += bytes.substr(image.stringTableOffset, image.stringTableSize);
    auto put = [&](size_t at, uint32_t v) {
        for (int i = 0; i < 4; ++i)
            rebuilt[at + size_t(i)] = char(v >> (8 * i));
    };
    put(4, indexOffset);
    put(16, stringsOffset);
    DbArchive loaded;
    loaded.Load(rebuilt.data(), rebuilt.size());
    std::string_view body;
    ASSERT_TRUE(loaded.GetRecordByName("r.dbr", body));
    EXPECT_EQ(body, "RAWBODY");
    std::vector<std::string> lines;
    loaded.WriteStatistics(lines);
    EXPECT_EQ(lines[1], "Average Record size: 7");
}

TEST(DbArchive, LargeBodiesInflateUpToOneMebibyte)
{
    std::string big(1048576, 'x');
    for (size_t i = 0; i < big.size(); i += 97)
        big[i] = char('a' + i % 26);
    DbArchive archive;
    archive.AddRecord(big.data(), big.size(), "big.dbr", "", 0, 0);
    std::string tooBig(1048577, 'y');
    archive.AddRecord(tooBig.data(), tooBig.size(), "toobig.dbr", "", 0, 0);
    std::string bytes = Save(archive);
    DbArchive loaded;
    loaded.Load(bytes.data(), bytes.size());
    std::string_view body;
    ASSERT_TRUE(loaded.GetRecordByName("big.dbr", body));
    EXPECT_EQ(body.size(), big.size());
    EXPECT_TRUE(body == big);
    EXPECT_FALSE(loaded.GetRecordByName("toobig.dbr", body));
    EXPECT_EQ(loaded.LastError(), "Error decompressing database record: -5");
    // After a large body, small ones still read.
    loaded.AddRecord("s", 1, "small.dbr", "", 0, 0);
    std::string again = Save(loaded);
    DbArchive reloaded;
    reloaded.Load(again.data(), again.size());
    ASSERT_TRUE(reloaded.GetRecordByName("small.dbr", body));
    EXPECT_EQ(body, "s");
}

TEST(DbArchive, DamagedImagesGiveWhatFitsAndNeverCrash)
{
    DbArchive archive;
    archive.AddRecord("abc", 3, "a.dbr", "A", 0, 0);
    archive.AddRecord("def", 3, "b.dbr", "B", 0, 0);
    std::string bytes = Save(archive);
    // Every truncation of a valid archive loads without reading past the end.
    for (size_t size = 0; size < bytes.size(); ++size)
    {
        std::vector<char> exact(bytes.begin(), bytes.begin() + long(size));
        DbArchive loaded;
        loaded.Load(exact.data(), exact.size());
        for (const RecordEntry& entry : loaded.Entries())
        {
            std::string_view body;
            loaded.GetRecord(entry.nameId, body);
        }
        ByteWriter writer(64);
        loaded.Serialize(writer);
    }
    // A version below 4 is refused whole.
    std::string old = bytes;
    old[0] = 3;
    DbArchive refused;
    refused.Load(old.data(), old.size());
    EXPECT_TRUE(refused.Entries().empty());
    EXPECT_EQ(refused.Strings().Count(), 0u);
    // A corrupt stream fails to inflate with a data error.
    std::string corrupt = bytes;
    // The zlib header's check bits no longer hold.
    corrupt[25] ^= 0x01;
    DbArchive damaged;
    damaged.Load(corrupt.data(), corrupt.size());
    std::string_view body;
    EXPECT_FALSE(damaged.GetRecordByName("a.dbr", body));
    EXPECT_NE(damaged.LastError().find("Error decompressing database record: -3"), std::string::npos);
    // An entry naming a string far beyond the table is kept aside, not
    // given a place in an array that size; the other entry is found as ever.
    test::ArchiveImage image;
    ASSERT_TRUE(image.Parse(bytes));
    std::string farName = bytes;
    for (int i = 0; i < 4; ++i)
        farName[image.indexOffset + i] = char(0xF0 + i);
    DbArchive far;
    far.Load(farName.data(), farName.size());
    ASSERT_EQ(far.Entries().size(), 2u);
    EXPECT_EQ(far.Entries()[0].nameId, 0xF3F2F1F0u);
    EXPECT_TRUE(far.GetRecord(0xF3F2F1F0u, body));
    EXPECT_EQ(body, "abc");
    EXPECT_TRUE(far.GetRecordByName("b.dbr", body));
    EXPECT_EQ(body, "def");
}

TEST(DbArchive, NamesIterateInTableOrderAndRemovedRecordsAreNotSaved)
{
    DbArchive archive;
    archive.AddRecord("1", 1, "one.dbr", "", 0, 0);
    archive.AddRecord("2", 1, "two.dbr", "", 0, 0);
    archive.AddRecord("3", 1, "three.dbr", "", 0, 0);
    std::string bytes = Save(archive);
    DbArchive loaded;
    loaded.Load(bytes.data(), bytes.size());
    loaded.BeginNames();
    EXPECT_EQ(loaded.NextName(), "one.dbr");
    loaded.RemoveRecord(*loaded.Strings().Find("two.dbr"));
    EXPECT_EQ(loaded.NextName(), "three.dbr");
    EXPECT_EQ(loaded.NextName(), "");
    test::ArchiveImage image;
    ASSERT_TRUE(image.Parse(Save(loaded)));
    ASSERT_EQ(image.entries.size(), 2u);
    EXPECT_EQ(image.strings[image.entries[1].nameId], "three.dbr");
}

TEST(ByteWriter, MemoryModeGrowsAndSeeks)
{
    ByteWriter writer(4);
    EXPECT_TRUE(writer.WriteUInt32(0x04030201));
    EXPECT_TRUE(writer.WriteText("abc"));
    EXPECT_EQ(writer.Size(), 11u);
    EXPECT_EQ(writer.Capacity(), 4u + 10 * 4);
    EXPECT_TRUE(writer.Seek(0));
    EXPECT_TRUE(writer.WriteUInt32(0xFFFFFFFF));
    EXPECT_EQ(writer.Size(), 11u);
    EXPECT_EQ(writer.Tell(), 4u);
    EXPECT_EQ(std::string(writer.Data(), writer.Size()), std::string("\xff\xff\xff\xff\x03\0\0\0abc", 11));
    EXPECT_FALSE(writer.Failed());
}

} // namespace
} // namespace mw

namespace mw {
namespace {

// The stored bodies must not depend on which compressor made them: the
// reused stream gives exactly the one-shot level-5 bytes, body after body.
TEST(BodyCompressor, GivesTheOneShotLevelFiveBytesForEveryBodyInTurn)
{
    std::string repetitive;
    for (int i = 0; i < 5000; ++i)
        repetitive += "value" + std::to_string(i % 37) + ";";
    std::string noisy;
    unsigned seed = 1;
    for (int i = 0; i < 300000; ++i)
    {
        seed = seed * 1103515245u + 12345u;
        noisy.push_back(char(seed >> 16));
    }
    BodyCompressor compressor;
    for (const std::string& body : {std::string(), std::string("x"), repetitive, noisy, std::string("x"), repetitive})
    {
        std::string expected(compressBound(uLong(body.size())), '\0');
        uLongf size = uLongf(expected.size());
        ASSERT_EQ(compress2(reinterpret_cast<Bytef*>(expected.data()), &size,
                            reinterpret_cast<const Bytef*>(body.data()), uLong(body.size()), 5),
                  Z_OK);
        expected.resize(size);
        std::string compressed = "left over";
        ASSERT_TRUE(compressor.Compress(body.data(), body.size(), compressed));
        EXPECT_TRUE(compressed == expected) << "body of " << body.size() << " bytes";
    }
}

} // namespace
} // namespace mw

namespace mw {
namespace {

// Ids are dense and given in order of first use, across many growths of the
// table; texts that differ only in length, case or after a NUL byte are
// different strings.
TEST(StringMap, IdsFollowFirstUseAndLookupsAgreeAcrossGrowth)
{
    StringMap strings;
    std::vector<std::string> texts = {"", "a", "A", "ab", std::string("ab\0c", 4), std::string("ab\0", 3), "templateName"};
    for (int i = 0; i < 40000; ++i)
    {
        texts.push_back("records\\folder" + std::to_string(i % 200) + "\\record" + std::to_string(i) + ".dbr");
        // Long texts now and then, of the sizes either side of the ones
        // kept apart from the short ones, and longer than a whole block.
        if (i % 10000 == 1)
            for (size_t length : {8191u, 8192u, 65535u, 65536u, 100000u})
                texts.push_back(std::string(length, char('a' + i % 26)) + std::to_string(i));
    }
    for (size_t i = 0; i < texts.size(); ++i)
    {
        ASSERT_EQ(strings.FindOrAdd(texts[i]), i);
        // A second add of an earlier text gives its id and adds nothing.
        ASSERT_EQ(strings.FindOrAdd(texts[i / 2]), i / 2);
    }
    EXPECT_EQ(strings.Count(), texts.size());
    for (size_t i = 0; i < texts.size(); ++i)
    {
        ASSERT_EQ(strings.Find(texts[i]), std::optional<uint32_t>(uint32_t(i)));
        ASSERT_EQ(*strings.GetString(int64_t(i)), texts[i]);
    }
    EXPECT_FALSE(strings.Find("records\\folder0\\record40000.dbr").has_value());
    EXPECT_FALSE(strings.Find(std::string("a\0", 2)).has_value());
    EXPECT_EQ(strings.GetString(-1), std::nullopt);
    EXPECT_EQ(strings.GetString(int64_t(texts.size())), std::nullopt);
}


// The cursor gives the string table's own answer whatever order the names
// come in: the saved order with one record moved last by a replacement, a
// string that names no record, unknown names, and the whole list backwards.
TEST(RecordNameCursor, GivesTheStringTablesIdsInAnyOrder)
{
    DbArchive first;
    std::vector<std::string> names;
    for (int i = 0; i < 6; ++i)
    {
        names.push_back("records\\r" + std::to_string(i) + ".dbr");
        first.AddRecord("body", 4, names.back(), "Class", uint32_t(i + 1), 0);
    }
    std::string original = Save(first);
    DbArchive second;
    second.Load(original.data(), original.size());
    second.AddRecord("newer", 5, names[2], "Class", 9, 0);
    std::string updated = Save(second);
    DbArchive archive;
    archive.Load(updated.data(), updated.size());
    ASSERT_EQ(*archive.Strings().GetString(archive.Entries().back().nameId), names[2]);
    archive.Strings().FindOrAdd("stray");

    std::vector<std::string> asked = names;
    asked.insert(asked.begin() + 3, "records\\missing.dbr");
    asked.insert(asked.begin() + 5, "stray");
    asked.push_back(names[0]);
    for (int pass = 0; pass < 2; ++pass)
    {
        RecordNameCursor cursor(archive);
        for (const std::string& name : asked)
            EXPECT_EQ(cursor.Find(name), archive.Strings().Find(name)) << name << " in pass " << pass;
        std::reverse(asked.begin(), asked.end());
    }
}

} // namespace
} // namespace mw
