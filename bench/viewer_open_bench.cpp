// Opening the password viewer on a 100k-record vault beside opening it on a
// 1-record vault, in the same run: from the moment the gate has its answer
// (load, then show, as the gate does it) until the list has painted its
// rows. The sizes alternate, so that a noisy machine slows them alike. A
// 30-record vault, which fills the list's first page as the big one does,
// tells the cost of drawing a page of rows apart from the cost of the size.
// Run it from a drive of its own (bench/run_viewer_bench.sh): the viewer
// keeps its vault in the data folder of the drive it runs from.
#include "access/run_state.h"
#include "app/window_loaders.h"
#include "ui/window_registry.h"
#include "platform/files.h"
#include "resource_ids.h"
#include "vault/vault_format.h"

#include <windows.h>

#include <commctrl.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

namespace {

std::string scrambled_vault(int records, const std::string& stamp) {
    std::string plain;
    plain.reserve(static_cast<std::size_t>(records) * 110);
    char name[16];
    for (int i = 0; i < records; ++i) {
        std::snprintf(name, sizeof name, "site%06d", (i * 7919) % std::max(records, 1));
        plain += std::string("NAM:") + name + "\r\nURL:https://" + name + ".example\r\nUSE:user" + std::to_string(i) +
                 "\r\nPAS:pw" + std::to_string(i * 31) + "\r\nIDN:" + stamp + "\r\n";
    }
    vault::scramble_in_place(plain);
    return plain;
}

void pump() {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

struct Opening {
    double loaded = -1;  // the load sequence has run (rows filled and sorted)
    double shown = -1;   // the window is up
    double painted = -1; // the list has drawn its rows: the figure that counts
};

// Seconds from the gate's answer; `painted` stays negative when no viewer opened with every row.
Opening open_once(const std::string& vault_bytes, int expected_rows) {
    std::ofstream(qlk_access::vault_file_path(), std::ios::binary | std::ios::trunc) << vault_bytes;
    pump();
    Opening opening;
    const auto start = std::chrono::steady_clock::now();
    auto seconds = [&] { return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count(); };
    ui::load_window(ui::Window::Viewer);
    opening.loaded = seconds();
    ui::show_window(ui::Window::Viewer);
    HWND viewer = ui::find_window(ui::Window::Viewer);
    if (!viewer) return opening;
    opening.shown = seconds();
    UpdateWindow(viewer);
    HWND list = GetDlgItem(viewer, IDC_VW_LV);
    UpdateWindow(list);
    GdiFlush();
    const double painted = seconds();
    if (ListView_GetItemCount(list) == expected_rows) opening.painted = painted;
    DestroyWindow(viewer);
    pump();
    return opening;
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

} // namespace

int main() {
    app::install_window_loaders();
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES | ICC_LISTVIEW_CLASSES | ICC_BAR_CLASSES};
    InitCommonControlsEx(&controls);
    qlk_access::run_state().computer_name = platform::computer_name();
    qlk_access::set_drive_letter_from_program_folder();
    qlk_access::ensure_data_folder();

    constexpr int kPage = 30, kBig = 100000;
    const std::string one = scrambled_vault(1, qlk_access::run_state().computer_name);
    const std::string page = scrambled_vault(kPage, qlk_access::run_state().computer_name);
    const std::string big = scrambled_vault(kBig, qlk_access::run_state().computer_name);
    std::printf("vault sizes: 1 record %zu bytes, %d records %.1f MB\n", one.size(), kBig, big.size() / 1e6);

    open_once(one, 1); // the first window of a process pays for loading the controls
    std::vector<Opening> small_runs, page_runs, big_runs;
    constexpr int kRounds = 7;
    for (int round = 0; round < kRounds; ++round) {
        small_runs.push_back(open_once(one, 1));
        page_runs.push_back(open_once(page, kPage));
        big_runs.push_back(open_once(big, kBig));
        if (small_runs.back().painted < 0 || page_runs.back().painted < 0 || big_runs.back().painted < 0) {
            std::printf("the viewer did not open with every row\n");
            return 2;
        }
    }
    DeleteFileA(qlk_access::vault_file_path().c_str());

    auto phase = [](const std::vector<Opening>& runs, double Opening::*field) {
        std::vector<double> values;
        for (const Opening& run : runs) values.push_back(run.*field * 1e3);
        return median(values);
    };
    std::printf("%-16s %12s %12s %12s   (median of %d, ms from the gate's answer)\n", "open viewer", "loaded", "shown",
                "list painted", kRounds);
    for (const auto& [label, runs] : {std::pair{"1 record", &small_runs}, std::pair{"30 records", &page_runs},
                                      std::pair{"100000 records", &big_runs}})
        std::printf("%-16s %12.1f %12.1f %12.1f\n", label, phase(*runs, &Opening::loaded),
                    phase(*runs, &Opening::shown), phase(*runs, &Opening::painted));
    const double ratio = phase(big_runs, &Opening::painted) / phase(small_runs, &Opening::painted);
    std::printf("ratio 100k / 1 record: %.2f (target <= 1.5): %s\n", ratio, ratio <= 1.5 ? "met" : "MISSED");
    std::printf("ratio 100k / 30 records (both paint a full page): %.2f\n",
                phase(big_runs, &Opening::painted) / phase(page_runs, &Opening::painted));
    return ratio <= 1.5 ? 0 : 1;
}
