#pragma once
// The operations that change records: the add from the add-entry dialog, and
// the viewer's delete and change commands, which act on the viewer's rows and
// then rewrite the vault from them.
#include "vault/record.h"
#include "vault/record_table.h"
#include "vault/vault_store.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vault {

// The viewer's list: the records, plain as the table gives them; how the
// password column shows them is the viewer's business.
struct RowList {
    RecordTable rows; // list order
    std::optional<std::size_t> selected;
    // The row whose record opened the vault on this computer: the first in
    // the file at load. The next load checks only the first record's stamp:
    // a rewrite writes this row first when the list's first row would fail
    // that check here.
    std::optional<std::size_t> opener;
    // The vault's bytes as of the last load or rewrite: a rewrite keeps the
    // records added to the file since then (the add dialog and the viewer can
    // be open together) by appending them to the rows.
    std::shared_ptr<const std::string> synced_content;
};

// Rows of an accepted load, in file order.
RowList rows_from_load(LoadResult&& loaded);

// --- Add -----------------------------------------------------------------

struct AddFields {
    std::string id;
    std::string url;
    std::string user;
    std::string password1;
    std::string password2;
};

enum class AddOutcome {
    PasswordsDiffer, // show lblError; nothing written
    UrlOrUserEmpty,  // show lblError2; nothing written
    Refused,         // a value the vault cannot store; the message was shown
    Saved,
    SaveFailed, // reported; the vault is as it was, the dialog keeps its values
};

// Validates in the dialog's order, then appends the record, stamped with the
// computer name and followed by one empty line.
AddOutcome add_record(VaultContext& ctx, const AddFields& fields);

// --- Viewer commands -----------------------------------------------------

enum class SaveOutcome { Saved, SaveFailed };

// Writes every row in list order, the records added since the last sync
// appended. When the first row in list order carries another computer's
// stamp or none, the opener goes ahead of the others (when it has been
// deleted, the first row stamped on this computer), so that the vault still
// opens here. The appended rows are part of the list from then on, whether or not
// the write succeeds. The vault as it was read becomes the backup.
SaveOutcome rewrite_vault(VaultContext& ctx, RowList& rows);

struct InputRequest {
    std::string_view prompt;
    std::string_view title;
    std::string_view default_text;
};
struct InputAnswer {
    std::string text;               // empty when cancelled
    bool used_default_char = false; // the conversion met a character the code page lacks
};
using InputBox = std::function<InputAnswer(const InputRequest&)>;

enum class ChangeCommand { Name, Url, User, Password };

enum class ChangeOutcome {
    NothingSelected, // no input box shown
    Cancelled,       // empty answer: nothing changed
    Refused,         // the answer cannot be stored; the message was shown
    Saved,
    SaveFailed, // reported; the row keeps its old value
};

// Asks for the new value of the selected row's field and rewrites the vault.
ChangeOutcome change_field(VaultContext& ctx, RowList& rows, ChangeCommand command, const InputBox& input_box);

// Removes the selected row (when there is one) and rewrites the vault.
SaveOutcome delete_selected(VaultContext& ctx, RowList& rows);

} // namespace vault
