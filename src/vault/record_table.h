#pragma once
// Many records in one block of text. A row names its texts by their place in
// the block, so a vault of any size is held in a few allocations instead of
// several strings a record: the viewer's rows of a large vault are read,
// sorted and shown without touching more memory than the file itself.
#include "vault/record.h"

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace vault {

class RecordTable {
public:
    RecordTable() = default;
    explicit RecordTable(const std::vector<Record>& records);

    std::size_t size() const { return rows_.size(); }
    bool empty() const { return rows_.empty(); }

    std::string_view name(std::size_t row) const { return text(rows_[row].name); }
    // Empty when the record does not hold the value.
    std::string_view value(std::size_t row, Field field) const;
    int value_count(std::size_t row) const { return rows_[row].value_count; }
    bool has(std::size_t row, Field field) const { return static_cast<int>(field) < value_count(row); }
    // The record with texts of its own, its extra values included.
    Record record(std::size_t row) const;
    std::vector<Record> records() const;

    // Changes keep the row's place. A value the record lacked gives it the
    // values before it too, empty, so that they keep their places.
    void set_name(std::size_t row, std::string_view text);
    void set_value(std::size_t row, Field field, std::string_view text);
    void set_record(std::size_t row, const Record& record);
    void push_back(const Record& record);
    void insert(std::size_t at, const Record& record);
    void erase(std::size_t row);
    // The row at each new place is the old row order[place]; `order` is a
    // permutation of the rows.
    void reorder(const std::vector<std::size_t>& order);
    void swap_rows(std::size_t a, std::size_t b) { std::swap(rows_[a], rows_[b]); }

    // Passes one field of every row through the cipher, in place: the cipher
    // maps a byte to a byte, so no text changes its length.
    void encrypt_values(Field field);
    void decrypt_values(Field field);

    // For the file's reader: room for the texts and rows of `bytes` of file.
    void reserve(std::size_t rows, std::size_t text_bytes);
    // Starts a record and answers where its name's `size` bytes go.
    std::span<char> add_record(std::size_t size);
    // Adds a value line's text to the last record: the next of its four
    // values, or an extra one once it holds four.
    std::span<char> add_value(std::size_t size);

    bool operator==(const RecordTable& other) const;

private:
    struct Span {
        std::uint32_t offset = 0;
        std::uint32_t size = 0;
    };
    struct Row {
        Span name;
        Span values[4];
        std::uint32_t first_extra = 0; // in extras_
        std::uint32_t extra_count = 0;
        std::uint8_t value_count = 0;
    };

    std::string_view text(Span span) const { return {texts_.data() + span.offset, span.size}; }
    // Room for `size` more bytes at the end of the block.
    Span append(std::size_t size);
    Span append(std::string_view text);
    void replace(Span& span, std::string_view text);
    Row row_of(const Record& record);
    template <typename Map> void map_values(Field field, Map map);

    std::string texts_;
    std::vector<Row> rows_;
    std::vector<Span> extras_;
};

} // namespace vault
