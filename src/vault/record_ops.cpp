#include "vault/record_ops.h"

#include "vault/storable.h"
#include "vault/vault_format.h"

#include <unordered_map>

namespace vault {
namespace {

// The stored fields of a table's record as one exact key.
std::string stored_key(const RecordTable& records, std::size_t row) {
    std::string key;
    auto add = [&key](std::string_view part) {
        key += std::to_string(part.size());
        key += ':';
        key += part;
    };
    add(records.name(row));
    key += static_cast<char>('0' + records.value_count(row));
    for (int i = 0; i < records.value_count(row); ++i) add(records.value(row, Field(i)));
    return key;
}

// Appends to the rows the records the file holds beyond the last sync.
void keep_records_added_since_sync(RowList& rows, std::string_view on_disk) {
    std::unordered_map<std::string, int> synced;
    if (rows.synced_content) {
        const RecordTable known = parse_record_table(rows.synced_content);
        for (std::size_t row = 0; row < known.size(); ++row) ++synced[stored_key(known, row)];
    }
    const RecordTable now = parse_record_table(std::make_shared<const std::string>(on_disk));
    for (std::size_t row = 0; row < now.size(); ++row) {
        auto found = synced.find(stored_key(now, row));
        if (found != synced.end() && found->second > 0) {
            --found->second;
        } else {
            rows.rows.push_back(now.record(row));
        }
    }
}

// The rows in list order, `first` (if any) taken out to go ahead of them.
std::string scrambled_rows(const RowList& rows, std::optional<std::size_t> first) {
    std::string text;
    if (rows.synced_content) text.reserve(rows.synced_content->size() + 4096);
    if (first) append_scrambled_record(text, rows.rows, *first);
    for (std::size_t i = 0; i < rows.rows.size(); ++i) {
        if (i != first) append_scrambled_record(text, rows.rows, i);
    }
    return text;
}

// The next load checks only the first record's stamp. List order stands
// unless its first row would fail that check here (another computer's stamp,
// or none): then a row of this computer goes ahead, the opener while it is
// there, else the first row in list order stamped here.
std::optional<std::size_t> row_to_write_first(const RowList& rows, std::string_view computer_name) {
    const std::string stamp = stamp_as_stored(computer_name);
    auto stamped_here = [&](std::size_t i) {
        return rows.rows.has(i, Field::Stamp) && rows.rows.value(i, Field::Stamp) == stamp;
    };
    if (rows.rows.empty() || stamped_here(0)) return std::nullopt;
    if (rows.opener && *rows.opener < rows.rows.size()) return rows.opener;
    for (std::size_t i = 1; i < rows.rows.size(); ++i) {
        if (stamped_here(i)) return i;
    }
    return std::nullopt;
}

struct CommandText {
    std::string_view prompt;
    std::string_view title;
    std::string_view what; // for the refusal message
};

constexpr CommandText kCommands[] = {
    {"New Idenifier Name:", "Change name", "identifier name"},
    {"New URL:", "Change the URL", "URL"},
    {"New User Name:", "Change name", "user name"},
    {"New Password:", "Change password", "password"},
};

} // namespace

RowList rows_from_load(LoadResult&& loaded) {
    RowList rows;
    rows.rows = std::move(loaded.records);
    rows.synced_content = std::move(loaded.content);
    if (!rows.rows.empty()) rows.opener = 0;
    return rows;
}

AddOutcome add_record(VaultContext& ctx, const AddFields& fields) {
    if (fields.password1 != fields.password2) return AddOutcome::PasswordsDiffer;
    if (fields.url.empty() || fields.user.empty()) return AddOutcome::UrlOrUserEmpty;
    const std::pair<std::string_view, std::string_view> values[] = {{fields.id, "identifier name"},
                                                                    {fields.url, "URL"},
                                                                    {fields.user, "user name"},
                                                                    {fields.password1, "password"}};
    for (const auto& [value, what] : values) {
        if (!is_storable(value)) {
            ctx.reporter.show_message(unstorable_message(what));
            return AddOutcome::Refused;
        }
    }

    ctx.files.create_folder(ctx.paths.data_folder);
    // A missing vault is reported as the decryption pass does, then created.
    const ReadResult read = detail::read_records(ctx, true);
    if (read.status == ReadStatus::Unreadable) return AddOutcome::SaveFailed;

    std::string result = read.status == ReadStatus::Ok ? scrambled_form(read.bytes) : std::string();
    std::string added;
    append_plain_record(added, Record{fields.id, fields.url, fields.user, fields.password1, ctx.computer_name});
    added += "\r\n";
    scramble_in_place(added);
    result += added;
    const detail::Target target = read.status == ReadStatus::Ok ? detail::Target::Existing : detail::Target::Missing;
    return detail::store_vault(ctx, result, nullptr, detail::Backup::Leave, target) ? AddOutcome::Saved
                                                                                    : AddOutcome::SaveFailed;
}

SaveOutcome rewrite_vault(VaultContext& ctx, RowList& rows) {
    ctx.files.create_folder(ctx.paths.data_folder);
    ReadResult read = detail::read_records(ctx, true);
    // Without the file's records the rewrite could drop one: write nothing.
    if (read.status == ReadStatus::Unreadable) return SaveOutcome::SaveFailed;
    const bool added_meanwhile =
        read.status == ReadStatus::Ok && (!rows.synced_content || read.bytes != *rows.synced_content);
    if (added_meanwhile) keep_records_added_since_sync(rows, read.bytes);
    std::string result = scrambled_rows(rows, row_to_write_first(rows, ctx.computer_name));
    const bool on_disk_known = read.status == ReadStatus::Ok;
    if (!detail::store_vault(ctx, result, on_disk_known ? &read.bytes : nullptr, detail::Backup::Keep,
                             on_disk_known ? detail::Target::Existing : detail::Target::Missing)) {
        // The file is as it was read, and the rows now hold its records: the
        // next rewrite must not append them a second time.
        if (added_meanwhile) rows.synced_content = std::make_shared<const std::string>(std::move(read.bytes));
        return SaveOutcome::SaveFailed;
    }
    rows.synced_content = std::make_shared<const std::string>(std::move(result));
    return SaveOutcome::Saved;
}

ChangeOutcome change_field(VaultContext& ctx, RowList& rows, ChangeCommand command, const InputBox& input_box) {
    if (!rows.selected || *rows.selected >= rows.rows.size()) return ChangeOutcome::NothingSelected;
    const std::size_t index = *rows.selected;
    const CommandText& text = kCommands[static_cast<int>(command)];
    const Field field = command == ChangeCommand::Url    ? Field::Url
                        : command == ChangeCommand::User ? Field::User
                                                         : Field::Password;
    const std::string current = command == ChangeCommand::Name ? rows.rows.name(index) : rows.rows.value(index, field);

    const InputAnswer answer = input_box(InputRequest{text.prompt, text.title, current});
    if (answer.text.empty()) return ChangeOutcome::Cancelled;
    if (!is_storable(answer.text, answer.used_default_char)) {
        ctx.reporter.show_message(unstorable_message(text.what));
        return ChangeOutcome::Refused;
    }

    const Record before = rows.rows.record(index);
    // Setting a value the record lacked gives it the lines before it too,
    // so that the values keep their places when the file is read back.
    if (command == ChangeCommand::Name)
        rows.rows.set_name(index, answer.text);
    else
        rows.rows.set_value(index, field, answer.text);
    const SaveOutcome saved = rewrite_vault(ctx, rows);
    if (saved == SaveOutcome::SaveFailed) rows.rows.set_record(index, before); // the list keeps matching the file

    return saved == SaveOutcome::Saved ? ChangeOutcome::Saved : ChangeOutcome::SaveFailed;
}

SaveOutcome delete_selected(VaultContext& ctx, RowList& rows) {
    std::optional<Record> removed;
    const std::optional<std::size_t> index = rows.selected;
    const std::optional<std::size_t> opener = rows.opener;
    if (index && *index < rows.rows.size()) {
        removed = rows.rows.record(*index);
        rows.rows.erase(*index);
        rows.selected.reset();
        if (rows.opener == index)
            rows.opener.reset();
        else if (rows.opener && *rows.opener > *index)
            --*rows.opener;
    }
    const SaveOutcome saved = rewrite_vault(ctx, rows);
    if (saved == SaveOutcome::SaveFailed && removed) {
        rows.rows.insert(*index, *removed);
        rows.selected = index;
        rows.opener = opener;
    }
    return saved;
}

} // namespace vault
