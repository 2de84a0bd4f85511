// libFuzzer target over the vault reader, the whole-file passes and a load
// followed by a rewrite: no crash, and the properties the program relies on.
#include "memory_files.h"
#include "vault/cipher.h"
#include "vault/record_ops.h"
#include "vault/vault_format.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>

namespace {

class NullReporter final : public vault::Reporter {
public:
    void show_message(std::string_view) override {}
    void pump_events() override {}
};

std::size_t line_count(std::string_view text) {
    std::size_t n = 0;
    for (std::size_t at = text.find("\r\n"); at != std::string_view::npos; at = text.find("\r\n", at + 2))
        ++n;
    return n;
}

void check(bool condition) {
    if (!condition)
        std::abort();
}

bool same_stored(const std::vector<vault::Record> &a, const std::vector<vault::Record> &b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (!a[i].same_stored(b[i]))
            return false;
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    const std::string content(reinterpret_cast<const char *>(data), size);

    // The passes keep every line, are idempotent, and agree with each other.
    const std::string plain = vault::decryption_pass(content);
    const std::string scrambled = vault::encryption_pass(content);
    const std::size_t lines = line_count(content) + (content.empty() || content.ends_with("\r\n") ? 0 : 1);
    check(line_count(plain) == lines && line_count(scrambled) == lines);
    check(vault::decryption_pass(plain) == plain);
    check(vault::encryption_pass(scrambled) == scrambled);
    check(vault::sealed_form(content) == vault::encryption_pass(plain));

    // The reader sees the same records in every form of the file.
    const std::vector<vault::Record> records = vault::parse_records(content);
    check(vault::parse_records(plain) == records);
    check(vault::parse_records(scrambled) == records);

    // What the writer writes reads back as it was.
    std::string written;
    for (const auto &r : records)
        vault::append_plain_record(written, r);
    check(same_stored(vault::parse_records(vault::encryption_pass(written)), records));

    // A load over the file, then a rewrite from its rows, keeps the records.
    vault_fuzz::MemoryFiles disk;
    NullReporter reporter;
    const std::string computer = records.empty() ? "PC" : records.front().stamp;
    vault::VaultContext ctx{vault::vault_paths_in_folder("F"), computer, disk, reporter};
    disk.files[ctx.paths.vault_file] = content;
    vault::LoadResult loaded = vault::load_vault(ctx);
    check(loaded.records.empty() || loaded.status == vault::LoadStatus::Accepted);
    if (loaded.status == vault::LoadStatus::Accepted) {
        check(disk.files[ctx.paths.vault_file] == vault::sealed_form(content));
        vault::RowList rows = vault::rows_from_load(std::move(loaded));
        rows.selected = 0;
        check(vault::delete_selected(ctx, rows) == vault::SaveOutcome::Saved);
        // The others in their order, except that the first one stamped on this
        // computer goes first: the vault must open here again.
        std::vector<vault::Record> expected(records.begin() + 1, records.end());
        const auto local = std::find_if(expected.begin(), expected.end(), [&](const vault::Record &r) {
            return r.has(vault::Field::Stamp) && r.stamp == vault::stamp_as_stored(computer);
        });
        if (local != expected.end())
            std::rotate(expected.begin(), local, local + 1);
        check(same_stored(vault::parse_records(disk.files[ctx.paths.vault_file]), expected));
        check(disk.files.count(ctx.paths.work_file) == 0);
        if (local != expected.end())
            check(vault::load_vault(ctx).status == vault::LoadStatus::Accepted);
    }
    return 0;
}
