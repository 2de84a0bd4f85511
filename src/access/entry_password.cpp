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

bool is_entry_password(const platform::AnsiText& typed) {
    return typed.exact && typed.bytes == run_state().entry_password;
}

bool ask_for_entry_password(const char* prompt, const char* title) {
    platform::AnsiText answer = platform::input_box_checked({.prompt = prompt, .title = title, .masked = true})
                                    .value_or(platform::AnsiText{}); // Cancel answers the empty text
    const platform::WipeAtExit wipe_answer(answer.bytes);
    return is_entry_password(answer);
}

bool ask_viewer_password() {
    try {
        run_state().entry_password = read_entry_password();
    } catch (const SettingsError& error) {
        // Without the stored password the gate cannot check anything: open nothing.
        platform::show_message(error.user_message());
        return false;
    }
    if (!ask_for_entry_password("Please enter your master entry password", "Get Master Password")) {
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
