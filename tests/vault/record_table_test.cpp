// The rows' block of text: every change keeps each row's texts and extra
// values together, and leaves the other rows as they were.
#include "vault/cipher.h"
#include "vault/record_table.h"

#include <gtest/gtest.h>

#include <memory>
#include <new>

namespace vault {
namespace {

std::vector<Record> sample() {
    Record with_extras{"b", "u2", "s2", "p2", "DESK-7"};
    with_extras.extra = {"x1", "x2"};
    Record short_one{"c", "u3"};
    short_one.value_count = 1;
    return {Record{"a", "u1", "s1", "p1", "DESK-7"}, with_extras, short_one, Record{"d", "u4", "s4", "p4", "FAR"}};
}

TEST(RecordTable, HoldsTheRecordsItWasGiven) {
    const RecordTable table(sample());
    EXPECT_EQ(table.records(), sample());
    EXPECT_EQ(table.value(2, Field::User), "");
    EXPECT_FALSE(table.has(2, Field::User));
}

TEST(RecordTable, ChangedTextsLeaveTheOtherRowsAsTheyWere) {
    RecordTable table(sample());
    std::vector<Record> expected = sample();
    table.set_value(0, Field::Url, "a much longer address than before"); // to the end of the block
    table.set_name(1, "");                                               // in place
    table.set_value(2, Field::Password, "pw");                           // the user name comes along, empty
    table.set_value(3, Field::Stamp, "F");
    expected[0].url = "a much longer address than before";
    expected[1].name = "";
    expected[2].value_count = 3;
    expected[2].password = "pw";
    expected[3].stamp = "F";
    EXPECT_EQ(table.records(), expected);
}

TEST(RecordTable, MovedRowsTakeTheirExtraValuesAlong) {
    RecordTable table(sample());
    std::vector<Record> records = sample();
    table.reorder({2, 0, 3, 1}); // one cycle through every row
    EXPECT_EQ(table.records(), (std::vector<Record>{records[2], records[0], records[3], records[1]}));
    table.erase(1);
    table.insert(0, records[0]);
    table.swap_rows(0, 3);
    EXPECT_EQ(table.records(), (std::vector<Record>{records[1], records[2], records[3], records[0]}));
}

// Over a file's bytes the table names the values where they lie, scrambled
// or not, and gives them plain; its own changes never touch the file's bytes.
TEST(RecordTable, GivesTheFilesTextsPlainAndLeavesTheFileAsItWas) {
    const std::string bytes = encrypt_text("Mail") + "|" + "Bank" + "|" + encrypt_text("pw9");
    const auto file = std::make_shared<const std::string>(bytes);
    RecordTable table(file);
    table.add_record(0, 4);
    table.add_record(5, 4);
    table.add_value(10, 3);
    EXPECT_EQ(table.name(0), "Mail");
    EXPECT_EQ(table.held_name(0), encrypt_text("Mail"));
    EXPECT_EQ(table.name(1), "Bank");
    EXPECT_EQ(table.value(1, Field::Url), "pw9");
    table.set_name(0, "M");
    table.set_value(1, Field::Url, "longer than before");
    EXPECT_EQ(table.records(), (std::vector<Record>{Record{"M", "", "", "", "", 0},
                                                    Record{"Bank", "longer than before", "", "", "", 1}}));
    EXPECT_EQ(*file, bytes);
}

TEST(RecordTable, AFileTooLargeForItsPlacesIsOutOfMemory) {
    RecordTable table(std::make_shared<const std::string>());
    EXPECT_THROW(table.add_record(std::size_t{1} << 31, 1), std::bad_alloc);
}

} // namespace
} // namespace vault
