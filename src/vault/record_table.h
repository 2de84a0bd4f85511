#pragma once
// Many records over one file's bytes. A row names its texts by their place in
// the file, as the file holds them (scrambled), and a text is made plain when
// it is read: a vault of any size is held in its own bytes plus a few numbers
// a record, and a large vault is read, sorted and shown without copying it.
#include "vault/record.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace vault {

class RecordTable {
public:
    RecordTable() = default;
    explicit RecordTable(const std::vector<Record>& records);
    // An empty table over a file's bytes, for the file's reader to fill.
    explicit RecordTable(std::shared_ptr<const std::string> file);

    std::size_t size() const { return rows_.size(); }
    bool empty() const { return rows_.empty(); }

    // Plain texts. A value the record does not hold is empty.
    std::string name(std::size_t row) const;
    std::string value(std::size_t row, Field field) const;
    int value_count(std::size_t row) const { return rows_[row].value_count; }
    bool has(std::size_t row, Field field) const { return static_cast<int>(field) < value_count(row); }
    // The texts as held: scrambled, or in either form when they come from a
    // file that was not scrambled throughout. decrypt_text makes them plain.
    std::string_view held_name(std::size_t row) const { return held(rows_[row].name); }
    std::string_view held_value(std::size_t row, Field field) const {
        return has(row, field) ? held(rows_[row].values[static_cast<int>(field)]) : std::string_view();
    }
    // The record with texts of its own, its extra values included.
    Record record(std::size_t row) const;
    std::vector<Record> records() const;

    // Changes keep the row's place. A value the record lacked gives it the
    // values before it too, empty, so that they keep their places. Texts are
    // held scrambled, as in the file: a byte of the scrambled block in a
    // given text reads back as the letter or digit it stands for.
    void set_name(std::size_t row, std::string_view plain);
    void set_value(std::size_t row, Field field, std::string_view plain);
    void set_record(std::size_t row, const Record& record);
    void push_back(const Record& record);
    void insert(std::size_t at, const Record& record);
    void erase(std::size_t row);
    // The row at each new place is the old row order[place]; `order` is a
    // permutation of the rows.
    void reorder(const std::vector<std::size_t>& order);
    void swap_rows(std::size_t a, std::size_t b) { std::swap(rows_[a], rows_[b]); }

    // For the file's reader. The places are those of the file's bytes.
    void reserve(std::size_t rows) { rows_.reserve(rows); }
    void add_record(std::size_t name_at, std::size_t size);
    // The next of the last record's four values, or an extra one once it
    // holds four.
    void add_value(std::size_t at, std::size_t size);

    bool operator==(const RecordTable& other) const;

private:
    // A text in the file's bytes, or in the table's own (kOwnText set).
    struct Span {
        std::uint32_t offset = kOwnText;
        std::uint32_t size = 0;
    };
    static constexpr std::uint32_t kOwnText = 0x8000'0000;
    struct Row {
        Span name;
        Span values[4];
        std::uint32_t first_extra = 0; // in extras_
        std::uint32_t extra_count = 0;
        std::uint8_t value_count = 0;
    };

    std::string_view held(Span span) const;
    static Span file_span(std::size_t at, std::size_t size);
    // A plain text scrambled into the table's own bytes.
    Span own(std::string_view plain);
    void replace(Span& span, std::string_view plain);
    Row row_of(const Record& record);

    std::shared_ptr<const std::string> file_;
    std::string own_; // texts set or added since the file was read, scrambled
    std::vector<Row> rows_;
    std::vector<Span> extras_;
};

} // namespace vault
