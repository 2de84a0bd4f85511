#include "access/entry_password.h"

#include "access/run_state.h"
#include "access/settings_store.h"
#include "ui/window_registry.h"
#include "platform/dialogs.h"
#include "platform/wipe.h"
#include "vault/cipher.h"

namespace qlk_access {

std::string read_entry_password() {
    const std::string stored = MRegistry::GetString("QLK", "Config", "ID");
    return stored.empty() ? std::string(kDefaultEntryPassword) : vault::decrypt_text(stored);
}

void store_entry_password(const std::string& plain) {
    MRegistry::SaveString("QLK", "Config", "ID", vault::encrypt_text(plain));
}

bool ask_viewer_password() {
    try {
        run_state().entry_password = read_entry_password();
    } catch (const SettingsError& error) {
        // Without the stored password the gate cannot check anything: open nothing.
        platform::show_message(error.user_message());
        return false;
    }
    std::string answer = platform::input_box(
        {.prompt = "Please enter your master entry password", .title = "Get Master Password", .masked = true});
    const platform::WipeAtExit wipe_answer(answer);
    if (answer != run_state().entry_password) {
        platform::show_message("Sorry: you have entered the wrong password.");
        return false;
    }
    return true;
}

void run_viewer_gate() {
    if (!ask_viewer_password()) return;
    // Loading and showing are two steps: a load that closes the viewer again
    // (missing, empty or foreign vault) runs once more when it is shown.
    ui::load_window(ui::Window::Viewer);
    ui::show_window(ui::Window::Viewer);
}

} // namespace qlk_access
