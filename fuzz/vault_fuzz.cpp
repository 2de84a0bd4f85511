// libFuzzer target over the vault reader, the whole-file passes, the viewer's
// text rules, the web-address rule, a load followed by a rewrite, and the
// start's recovery over any folder: no crash, and the properties the program
// relies on. QLK_FUZZ_PROPERTY ("round-trip" or "recovery") runs one property
// alone, so that a long run can give each its own time.
#include "memory_files.h"
#include "platform/web_address.h"
#include "vault/cipher.h"
#include "vault/record_ops.h"
#include "vault/vault_format.h"
#include "viewer/viewer_text.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>

namespace {

class NullReporter final : public vault::Reporter {
public:
    void show_message(std::string_view) override {}
    bool pump_events() override { return true; }
};

std::size_t line_count(std::string_view text) {
    std::size_t n = 0;
    for (std::size_t at = text.find("\r\n"); at != std::string_view::npos; at = text.find("\r\n", at + 2)) ++n;
    return n;
}

// A broken property names its line before the fuzzer keeps the input.
void check(bool condition, int line = __builtin_LINE()) {
    if (condition) return;
    std::fprintf(stderr, "property broken: vault_fuzz.cpp line %d\n", line);
    std::abort();
}

bool same_stored(const std::vector<vault::Record>& a, const std::vector<vault::Record>& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (!a[i].same_stored(b[i])) return false;
    }
    return true;
}

// Letters rank by alphabet with both cases equal, as the system's collation has them.
const viewer::CollationRanks& fold_case_ranks() {
    static const viewer::CollationRanks ranks = viewer::collation_ranks([](int a, int b) {
        auto weight = [](int c) { return (c | 0x20) >= 'a' && (c | 0x20) <= 'z' ? 1000 + (c | 0x20) : c; };
        return weight(a) - weight(b);
    });
    return ranks;
}

// The viewer's rules over whatever the vault held: the row order is a
// permutation that never puts a name after one it sorts before and moves
// whole records, the print file has a line per row, and a stored setting that
// reads back is written back alike.
void check_viewer_rules(const std::vector<vault::Record>& records, std::string_view setting) {
    const viewer::CollationRanks& ranks = fold_case_ranks();
    vault::RecordTable rows(records);
    const std::vector<std::size_t> order = viewer::sorted_order(rows, ranks);
    check(order.size() == records.size());
    std::vector<bool> seen(order.size(), false);
    for (std::size_t index : order) {
        check(index < records.size() && !seen[index]);
        seen[index] = true;
    }
    for (std::size_t i = 1; i < order.size(); ++i) {
        const std::string &before = records[order[i - 1]].name, &after = records[order[i]].name;
        for (std::size_t at = 0; at < std::min(before.size(), after.size()); ++at) {
            const auto a = ranks[static_cast<std::uint8_t>(before[at])],
                       b = ranks[static_cast<std::uint8_t>(after[at])];
            if (a != b) {
                check(a < b);
                break;
            }
        }
    }
    check(line_count(viewer::print_text(rows)) == records.size());
    std::optional<std::size_t> selected = 0;
    viewer::apply_order(rows, selected, order);
    for (std::size_t i = 0; i < order.size(); ++i) check(rows.record(i) == records[order[i]]);
    check(records.empty() || (selected && order[*selected] == 0));

    if (const auto colour = viewer::colour_from_setting(setting))
        check(viewer::colour_from_setting(viewer::colour_setting_text(*colour)) == colour);
    if (const auto points = viewer::font_points_from_setting(setting)) check(*points >= 1 && *points <= 1638);
    // What reaches the shell is one word of its command line.
    if (const auto address = platform::absolute_web_address(setting))
        check(std::none_of(address->begin(), address->end(),
                           [](unsigned char c) { return c <= ' ' || c == '"' || c == 0x7F; }));
}

bool wanted(const char* property) {
    static const char* only = std::getenv("QLK_FUZZ_PROPERTY");
    return !only || std::strcmp(only, property) == 0;
}

std::vector<vault::Record> records_of(const vault::RecordTable& table) {
    std::vector<vault::Record> records;
    for (std::size_t i = 0; i < table.size(); ++i) records.push_back(table.record(i));
    return records;
}

// Whatever the vault holds: a load, a rewrite that changes no field and a
// second load give the same records, and the backup is the vault as the first
// load left it (scrambled), unless the rewrite had nothing to write.
void check_round_trip(const std::string& content, const std::string& computer) {
    vault_fuzz::MemoryFiles disk;
    NullReporter reporter;
    vault::VaultContext ctx{vault::vault_paths_in_folder("F"), computer, disk, reporter};
    disk.files[ctx.paths.vault_file] = content;
    vault::LoadResult first = vault::load_vault(ctx);
    if (first.status != vault::LoadStatus::Accepted) return;
    const std::vector<vault::Record> before = records_of(first.records);
    vault::RowList rows = vault::rows_from_load(std::move(first));
    check(vault::rewrite_vault(ctx, rows) == vault::SaveOutcome::Saved);
    const std::string scrambled = vault::scrambled_form(content);
    const auto backup = disk.files.find(ctx.paths.backup_file);
    check(backup == disk.files.end() ? disk.files[ctx.paths.vault_file] == scrambled : backup->second == scrambled);
    const vault::LoadResult second = vault::load_vault(ctx);
    check(second.status == vault::LoadStatus::Accepted && same_stored(records_of(second.records), before));
}

// A folder as any stop of any version may have left it: each of the vault,
// the backup, their work files and drafts absent, whole (a vault of its own),
// torn or garbage, and maybe read-only. The start never puts a work file over
// a vault that holds anything and never takes a draft; it takes a whole work
// file where no such vault stands, and the backup's work file as the backup
// when the vault's is gone; or it says it cannot and nothing is written. A
// load and an add after it lose no record.
void check_recovery(const std::uint8_t* data, std::size_t size) {
    if (size < 3) return;
    const std::string body(reinterpret_cast<const char*>(data) + 3, size - 3);
    vault_fuzz::MemoryFiles disk;
    NullReporter reporter;
    vault::RunNotices notices;
    vault::VaultContext ctx{vault::vault_paths_in_folder("F"), "PC", disk, reporter, notices};
    const vault::VaultPaths& p = ctx.paths;
    const std::string* names[] = {&p.vault_file,       &p.backup_file, &p.work_file,
                                  &p.backup_work_file, &p.work_draft,  &p.backup_work_draft};
    const std::uint32_t bits = data[0] | data[1] << 8 | data[2] << 16;
    for (int i = 0; i < 6; ++i) {
        const unsigned kind = bits >> (3 * i) & 3;
        if (kind == 0) continue;
        std::string whole;
        for (const auto& r : vault::parse_records(body)) vault::append_plain_record(whole, r);
        whole += "NAM:file " + std::to_string(i) + "\r\n";
        whole = vault::encryption_pass(whole);
        disk.files[*names[i]] = kind == 1   ? whole
                                : kind == 2 ? whole.substr(0, body.size() % (whole.size() + 1))
                                            : body;
        if (bits >> (3 * i + 2) & 1) disk.read_only.insert(*names[i]);
    }
    const std::map<std::string, std::string> before = disk.files;
    const bool backup_read_only = disk.read_only.count(p.backup_file) != 0;
    auto had = [&](const std::string& name) { return before.count(name) != 0; };

    vault::open_vault_at_start(ctx);
    if (notices.interrupted_save) {
        const auto blocked = disk.files;
        check(vault::add_record(ctx, {"n", "u", "s", "p", "p"}) != vault::AddOutcome::Saved);
        check(disk.files == blocked);
        return;
    }
    const bool vault_held = had(p.vault_file) && !before.at(p.vault_file).empty();
    const bool work_taken = had(p.work_file) && !vault_held;
    const std::string vault = disk.files.at(p.vault_file);
    check(vault == (vault_held ? before.at(p.vault_file) : work_taken ? before.at(p.work_file) : std::string()));
    const bool backup_taken = had(p.backup_work_file) && (work_taken || !had(p.work_file));
    const auto backup = disk.files.find(p.backup_file);
    if (backup_taken && !backup_read_only)
        check(backup->second == before.at(p.backup_work_file));
    else if (backup_taken) // a backup the start cannot replace goes, or the user hears that it is older
        check(backup == disk.files.end() || notices.backup_not_kept);
    else
        check(had(p.backup_file) ? backup->second == before.at(p.backup_file) : backup == disk.files.end());
    for (int i = 2; i < 6; ++i) check(disk.files.count(*names[i]) == 0);

    vault::load_vault(ctx);
    const std::vector<vault::Record> records = vault::parse_records(disk.files.at(p.vault_file));
    check(records == vault::parse_records(vault));
    const bool saved = vault::add_record(ctx, {"n", "u", "s", "p", "p"}) == vault::AddOutcome::Saved;
    check(saved != disk.read_only.count(p.vault_file));
    const std::vector<vault::Record> after = vault::parse_records(disk.files.at(p.vault_file));
    check(after.size() == records.size() + saved && std::equal(records.begin(), records.end(), after.begin()));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string content(reinterpret_cast<const char*>(data), size);
    if (wanted("recovery")) check_recovery(data, size);
    if (wanted("round-trip")) {
        const std::vector<vault::Record> records = vault::parse_records(content);
        check_round_trip(content, records.empty() ? "PC" : records.front().stamp);
    }
    if (!wanted("format")) return 0;

    // The passes keep every line, are idempotent, and agree with each other.
    const std::string plain = vault::decryption_pass(content);
    const std::string scrambled = vault::encryption_pass(content);
    const std::size_t lines = line_count(content) + (content.empty() || content.ends_with("\r\n") ? 0 : 1);
    check(line_count(plain) == lines && line_count(scrambled) == lines);
    check(vault::decryption_pass(plain) == plain);
    check(vault::encryption_pass(scrambled) == scrambled);
    check(vault::scrambled_form(content) == vault::encryption_pass(plain));

    // The reader sees the same records in every form of the file.
    const std::vector<vault::Record> records = vault::parse_records(content);
    check(vault::parse_records(plain) == records);
    check(vault::parse_records(scrambled) == records);

    check_viewer_rules(records, std::string_view(content).substr(0, 40));

    // What the writer writes reads back as it was.
    std::string written;
    for (const auto& r : records) vault::append_plain_record(written, r);
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
        check(disk.files[ctx.paths.vault_file] == vault::scrambled_form(content));
        vault::RowList rows = vault::rows_from_load(std::move(loaded));
        rows.selected = 0;
        check(vault::delete_selected(ctx, rows) == vault::SaveOutcome::Saved);
        // The others in their order, except that the first one stamped on this
        // computer goes first: the vault must open here again.
        std::vector<vault::Record> expected(records.begin() + 1, records.end());
        const auto local = std::find_if(expected.begin(), expected.end(), [&](const vault::Record& r) {
            return r.has(vault::Field::Stamp) && r.stamp == vault::stamp_as_stored(computer);
        });
        if (local != expected.end()) std::rotate(expected.begin(), local, local + 1);
        check(same_stored(vault::parse_records(disk.files[ctx.paths.vault_file]), expected));
        check(disk.files.count(ctx.paths.work_file) == 0);
        if (local != expected.end()) check(vault::load_vault(ctx).status == vault::LoadStatus::Accepted);
    }
    return 0;
}
