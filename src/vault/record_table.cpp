#include "vault/record_table.h"

#include "vault/cipher.h"

#include <algorithm>
#include <limits>
#include <new>

namespace vault {

RecordTable::RecordTable(const std::vector<Record>& records) {
    for (const Record& record : records) push_back(record);
}

std::string_view RecordTable::value(std::size_t row, Field field) const {
    return has(row, field) ? text(rows_[row].values[static_cast<int>(field)]) : std::string_view();
}

Record RecordTable::record(std::size_t row) const {
    const Row& r = rows_[row];
    Record record;
    record.name = text(r.name);
    record.value_count = r.value_count;
    for (int i = 0; i < r.value_count; ++i) record.value(Field(i)) = text(r.values[i]);
    for (std::uint32_t i = 0; i < r.extra_count; ++i) record.extra.emplace_back(text(extras_[r.first_extra + i]));
    return record;
}

std::vector<Record> RecordTable::records() const {
    std::vector<Record> all;
    all.reserve(size());
    for (std::size_t row = 0; row < size(); ++row) all.push_back(record(row));
    return all;
}

RecordTable::Span RecordTable::append(std::size_t size) {
    // Places are 32-bit: a block that would outgrow them is out of memory.
    if (size > std::numeric_limits<std::uint32_t>::max() - texts_.size()) throw std::bad_alloc();
    const Span span{static_cast<std::uint32_t>(texts_.size()), static_cast<std::uint32_t>(size)};
    texts_.resize(texts_.size() + size);
    return span;
}

RecordTable::Span RecordTable::append(std::string_view text) {
    const Span span = append(text.size());
    std::copy(text.begin(), text.end(), texts_.begin() + span.offset);
    return span;
}

void RecordTable::replace(Span& span, std::string_view text) {
    // A text no longer than the old one takes its place; a longer one goes at
    // the end of the block, and the old bytes stay unused.
    if (text.size() <= span.size) {
        std::copy(text.begin(), text.end(), texts_.begin() + span.offset);
        span.size = static_cast<std::uint32_t>(text.size());
    } else {
        span = append(text);
    }
}

RecordTable::Row RecordTable::row_of(const Record& record) {
    Row row;
    row.name = append(record.name);
    row.value_count = static_cast<std::uint8_t>(std::clamp(record.value_count, 0, 4));
    for (int i = 0; i < row.value_count; ++i) row.values[i] = append(record.value(Field(i)));
    row.first_extra = static_cast<std::uint32_t>(extras_.size());
    row.extra_count = static_cast<std::uint32_t>(record.extra.size());
    for (const std::string& extra : record.extra) extras_.push_back(append(extra));
    return row;
}

void RecordTable::set_name(std::size_t row, std::string_view text) { replace(rows_[row].name, text); }

void RecordTable::set_value(std::size_t row, Field field, std::string_view text) {
    Row& r = rows_[row];
    const int index = static_cast<int>(field);
    while (r.value_count <= index) r.values[r.value_count++] = Span{};
    replace(r.values[index], text);
}

void RecordTable::set_record(std::size_t row, const Record& record) { rows_[row] = row_of(record); }

void RecordTable::push_back(const Record& record) { rows_.push_back(row_of(record)); }

void RecordTable::insert(std::size_t at, const Record& record) {
    const Row row = row_of(record);
    rows_.insert(rows_.begin() + static_cast<std::ptrdiff_t>(at), row);
}

void RecordTable::erase(std::size_t row) { rows_.erase(rows_.begin() + static_cast<std::ptrdiff_t>(row)); }

void RecordTable::reorder(const std::vector<std::size_t>& order) {
    // In place, one cycle of the permutation at a time.
    std::vector<bool> placed(order.size(), false);
    for (std::size_t start = 0; start < order.size(); ++start) {
        if (placed[start]) continue;
        const Row first = rows_[start];
        std::size_t place = start;
        while (order[place] != start) {
            rows_[place] = rows_[order[place]];
            placed[place] = true;
            place = order[place];
        }
        rows_[place] = first;
        placed[place] = true;
    }
}

template <typename Map> void RecordTable::map_values(Field field, Map map) {
    const int index = static_cast<int>(field);
    for (const Row& row : rows_) {
        if (index >= row.value_count) continue;
        const Span span = row.values[index];
        map(std::span<char>(texts_.data() + span.offset, span.size));
    }
}

void RecordTable::encrypt_values(Field field) { map_values(field, encrypt_in_place); }
void RecordTable::decrypt_values(Field field) { map_values(field, decrypt_in_place); }

void RecordTable::reserve(std::size_t rows, std::size_t text_bytes) {
    rows_.reserve(rows);
    texts_.reserve(text_bytes);
}

std::span<char> RecordTable::add_record(std::size_t size) {
    Row& row = rows_.emplace_back();
    row.name = append(size);
    row.first_extra = static_cast<std::uint32_t>(extras_.size());
    return {texts_.data() + row.name.offset, size};
}

std::span<char> RecordTable::add_value(std::size_t size) {
    Row& row = rows_.back();
    const Span span = append(size);
    if (row.value_count < 4) {
        row.values[row.value_count++] = span;
    } else {
        extras_.push_back(span);
        ++row.extra_count;
    }
    return {texts_.data() + span.offset, size};
}

bool RecordTable::operator==(const RecordTable& other) const {
    if (size() != other.size()) return false;
    for (std::size_t row = 0; row < size(); ++row) {
        if (record(row) != other.record(row)) return false;
    }
    return true;
}

} // namespace vault
