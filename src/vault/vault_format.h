#pragma once
// The vault file's text: lines ending in CR LF, each a four-character tag and
// a value, scrambled line by line with the character cipher at rest.
#include "vault/record.h"
#include "vault/record_table.h"

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace vault {

// The whole-file passes over the file's bytes: every line through
// decrypt_text or encrypt_text, each written back with CR LF (a last line
// without CR LF counts as a line and gains one). Empty lines stay.
std::string decryption_pass(std::string_view content);
std::string encryption_pass(std::string_view content);
// encryption_pass(decryption_pass(content)) in one sweep: the form the
// file takes after an operation that read it and changed nothing.
std::string scrambled_form(std::string_view content);
// The same passes over the text in place, for large files; true when any
// byte changed or a line end was added.
bool decryption_pass_in_place(std::string& content);
bool encryption_pass_in_place(std::string& content);
// True when scrambled_form would change nothing.
bool is_scrambled(std::string_view content);

// Reads the records of a file in either form, in file order. A value line
// before the first "NAM:" line, an empty line and a line with any other tag
// (compared case-sensitively) are ignored. `every_few_lines`, when given, is
// called at the start and then every few hundred lines; when it answers false
// the reading stops there, with the records read so far.
// The table names the texts in `content`, which it keeps.
RecordTable parse_record_table(std::shared_ptr<const std::string> content,
                               const std::function<bool()>& every_few_lines = {});
// The same records, each with strings of its own.
std::vector<Record> parse_records(std::string_view content);

// Appends the record's plain lines: "NAM:" and the values it holds, each
// with CR LF. The extra values are not written.
void append_plain_record(std::string& plain, const Record& record);

// Appends a table's record as the vault holds it: its lines scrambled, the
// extra values left out, as append_plain_record and a scramble would write it.
void append_scrambled_record(std::string& scrambled, const RecordTable& records, std::size_t row);

// Scrambles plain text in place (encrypt_text over all of it; CR LF and
// punctuation stay).
void scramble_in_place(std::string& text);

} // namespace vault
