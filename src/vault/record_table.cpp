#include "vault/record_table.h"

#include "vault/cipher.h"

#include <algorithm>
#include <new>

namespace vault {

RecordTable::RecordTable(const std::vector<Record>& records) {
    for (const Record& record : records) push_back(record);
}

RecordTable::RecordTable(std::shared_ptr<const std::string> file) : file_(std::move(file)) {}

std::string_view RecordTable::held(Span span) const {
    if (span.offset & kOwnText) return {own_.data() + (span.offset & ~kOwnText), span.size};
    return {file_->data() + span.offset, span.size};
}

std::string RecordTable::name(std::size_t row) const { return decrypt_text(held(rows_[row].name)); }

std::string RecordTable::value(std::size_t row, Field field) const {
    return has(row, field) ? decrypt_text(held(rows_[row].values[static_cast<int>(field)])) : std::string();
}

Record RecordTable::record(std::size_t row) const {
    const Row& r = rows_[row];
    Record record;
    record.name = name(row);
    record.value_count = r.value_count;
    for (int i = 0; i < r.value_count; ++i) record.value(Field(i)) = decrypt_text(held(r.values[i]));
    for (std::uint32_t i = 0; i < r.extra_count; ++i)
        record.extra.push_back(decrypt_text(held(extras_[r.first_extra + i])));
    return record;
}

std::vector<Record> RecordTable::records() const {
    std::vector<Record> all;
    all.reserve(size());
    for (std::size_t row = 0; row < size(); ++row) all.push_back(record(row));
    return all;
}

// Places are 31 bits: a file or a block of texts that would outgrow them
// does not fit in memory here.
RecordTable::Span RecordTable::file_span(std::size_t at, std::size_t size) {
    if (at >= kOwnText || size >= kOwnText - at) throw std::bad_alloc();
    return Span{static_cast<std::uint32_t>(at), static_cast<std::uint32_t>(size)};
}

RecordTable::Span RecordTable::own(std::string_view plain) {
    if (own_.size() >= kOwnText || plain.size() >= kOwnText - own_.size()) throw std::bad_alloc();
    const Span span{static_cast<std::uint32_t>(own_.size()) | kOwnText, static_cast<std::uint32_t>(plain.size())};
    own_ += encrypt_text(plain);
    return span;
}

void RecordTable::replace(Span& span, std::string_view plain) {
    // An own text no longer than the old one takes its place; any other goes
    // at the end of the own texts. The file's bytes never change.
    if ((span.offset & kOwnText) && plain.size() <= span.size) {
        const std::string scrambled = encrypt_text(plain);
        std::copy(scrambled.begin(), scrambled.end(), own_.begin() + (span.offset & ~kOwnText));
        span.size = static_cast<std::uint32_t>(plain.size());
    } else {
        span = own(plain);
    }
}

RecordTable::Row RecordTable::row_of(const Record& record) {
    Row row;
    row.name = own(record.name);
    row.value_count = static_cast<std::uint8_t>(std::clamp(record.value_count, 0, 4));
    for (int i = 0; i < row.value_count; ++i) row.values[i] = own(record.value(Field(i)));
    row.first_extra = static_cast<std::uint32_t>(extras_.size());
    row.extra_count = static_cast<std::uint32_t>(record.extra.size());
    for (const std::string& extra : record.extra) extras_.push_back(own(extra));
    return row;
}

void RecordTable::set_name(std::size_t row, std::string_view plain) { replace(rows_[row].name, plain); }

void RecordTable::set_value(std::size_t row, Field field, std::string_view plain) {
    Row& r = rows_[row];
    const int index = static_cast<int>(field);
    while (r.value_count <= index) r.values[r.value_count++] = Span{};
    replace(r.values[index], plain);
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

void RecordTable::add_record(std::size_t name_at, std::size_t size) {
    Row& row = rows_.emplace_back();
    row.name = file_span(name_at, size);
    row.first_extra = static_cast<std::uint32_t>(extras_.size());
}

void RecordTable::add_value(std::size_t at, std::size_t size) {
    Row& row = rows_.back();
    const Span span = file_span(at, size);
    if (row.value_count < 4) {
        row.values[row.value_count++] = span;
    } else {
        extras_.push_back(span);
        ++row.extra_count;
    }
}

bool RecordTable::operator==(const RecordTable& other) const {
    if (size() != other.size()) return false;
    for (std::size_t row = 0; row < size(); ++row) {
        if (record(row) != other.record(row)) return false;
    }
    return true;
}

} // namespace vault
