// The Edit menu: change a field of the selected row or delete it, then
// rewrite the vault from the rows. The vault code keeps the records that were
// added to the file while the viewer was open; they join the end of the list.
#include "access/run_state.h"
#include "ui/message_box_reporter.h"
#include "platform/dialogs.h"
#include "resource_ids.h"
#include "viewer/form2.h"

namespace viewer {
namespace {

vault::InputAnswer ask(const vault::InputRequest& request) {
    platform::AnsiText answer = platform::input_box_checked({std::string(request.prompt), std::string(request.title),
                                                             std::string(request.default_text)})
                                    .value_or(platform::AnsiText{}); // Cancel: the empty answer, which changes nothing
    return {std::move(answer.bytes), !answer.exact};
}

void change(Form2& form, vault::ChangeCommand command) {
    sync_selection(form);
    put_rows_in_list_order(form); // the rewrite writes the rows in their order
    ui::MessageBoxReporter reporter;
    vault::VaultContext context = qlk_access::vault_context(reporter);
    const vault::ChangeOutcome outcome = vault::change_field(context, form.rows, command, ask);
    // A saved password change leaves every password scrambled, whatever the
    // caption says; anything else leaves the column in the form it has.
    if (command == vault::ChangeCommand::Password && outcome == vault::ChangeOutcome::Saved)
        form.plain_passwords = false;
    show_rows(form); // the changed row, a scrambled password column, rows added meanwhile
}

void delete_record(Form2& form) {
    sync_selection(form);
    put_rows_in_list_order(form);
    ui::MessageBoxReporter reporter;
    vault::VaultContext context = qlk_access::vault_context(reporter);
    // No confirmation. Afterwards no row is selected, so a second Ctrl+D
    // cannot take the next record by surprise.
    vault::delete_selected(context, form.rows);
    show_rows(form);
    if (form.list) SetFocus(form.list);
}

} // namespace

bool run_edit_command(Form2& form, int command) {
    switch (command) {
    case IDM_VW_RENAME: change(form, vault::ChangeCommand::Name); return true;
    case IDM_VW_THE_URL: change(form, vault::ChangeCommand::Url); return true;
    case IDM_VW_USERNAME: change(form, vault::ChangeCommand::User); return true;
    case IDM_VW_CHANGEPASSWORD: change(form, vault::ChangeCommand::Password); return true;
    case IDM_VW_DELETE: delete_record(form); return true;
    }
    return false;
}

} // namespace viewer
