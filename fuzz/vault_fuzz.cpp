// libFuzzer target over the vault reader, the whole-file passes, the viewer's
// text rules, the web-address rule and a load followed by a rewrite: no
// crash, and the properties the program relies on.
#include "memory_files.h"
#include "platform/web_address.h"
#include "vault/cipher.h"
#include "vault/record_ops.h"
#include "vault/vault_format.h"
#include "viewer/viewer_text.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
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

void check(bool condition) {
    if (!condition) std::abort();
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

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string content(reinterpret_cast<const char*>(data), size);

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
        check(disk.files[ctx.paths.vault_file] == vault::sealed_form(content));
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
