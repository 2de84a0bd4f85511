#include "vault/cipher.h"
#include "vault/record_ops.h"
#include "vault/storable.h"
#include "vault/vault_format.h"
#include "vault_test_support.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace vault;
using namespace vault_test;

namespace {

using Messages = std::vector<std::string>;

AddFields fields(std::string id, std::string url, std::string user, std::string pw1, std::string pw2) {
    return AddFields{std::move(id), std::move(url), std::move(user), std::move(pw1), std::move(pw2)};
}

// A vault of three records, loaded into the viewer's rows.
struct ViewerFixture : VaultFixture {
    ViewerFixture() {
        put_vault(encryption_pass("NAM:one\r\nURL:u1\r\nUSE:s1\r\nPAS:p1\r\nIDN:DESK-7\r\n\r\n"
                                  "NAM:two\r\nURL:u2\r\nUSE:s2\r\nPAS:p2\r\nIDN:FAR-AWAY\r\n\r\n"
                                  "NAM:three\r\nURL:u3\r\n"));
        LoadResult loaded = load_vault(ctx);
        EXPECT_EQ(loaded.status, LoadStatus::Accepted);
        rows = rows_from_load(std::move(loaded));
    }
    std::string plain_vault() const { return decryption_pass(vault()); }
    RowList rows;
};

TEST(AddRecord, ValidatesInTheDialogsOrderAndWritesNothingOnFailure) {
    struct Case {
        AddFields in;
        AddOutcome outcome;
    };
    const Case cases[] = {
        {fields("id", "", "", "Secret", "secret"), AddOutcome::PasswordsDiffer},
        {fields("id", "", "", "a", "a"), AddOutcome::UrlOrUserEmpty},
        {fields("id", "u", "", "a", "a"), AddOutcome::UrlOrUserEmpty},
        {fields("id", "", "s", "", ""), AddOutcome::UrlOrUserEmpty},
        {fields("id", "u", "s", "caf\xE9", "caf\xE9"), AddOutcome::Refused},
        {fields("id\xC0", "u", "s", "", ""), AddOutcome::Refused},
        {fields("id", "u\r\nNAM:x", "s", "", ""), AddOutcome::Refused},
    };
    for (const auto& c : cases) {
        VaultFixture f;
        f.put_vault("");
        EXPECT_EQ(add_record(f.ctx, c.in), c.outcome) << c.in.id << c.in.url;
        EXPECT_EQ(f.vault(), "");
        EXPECT_EQ(f.reporter.messages.size(), c.outcome == AddOutcome::Refused ? 1u : 0u);
    }
}

TEST(AddRecord, AppendsTheStampedRecordAndOneEmptyLine) {
    VaultFixture f;
    f.put_vault("");
    ASSERT_EQ(add_record(f.ctx, fields("", " ", "me, myself", "", "")), AddOutcome::Saved);
    const std::string first = "NAM:\r\nURL: \r\nUSE:me, myself\r\nPAS:\r\nIDN:DESK-7\r\n\r\n";
    EXPECT_EQ(f.vault(), encryption_pass(first));
    ASSERT_EQ(add_record(f.ctx, fields("B", "http://b:8080/", "u", "x\"y", "x\"y")), AddOutcome::Saved);
    EXPECT_EQ(f.vault(),
              encryption_pass(first + "NAM:B\r\nURL:http://b:8080/\r\nUSE:u\r\nPAS:x\"y\r\nIDN:DESK-7\r\n\r\n"));
    EXPECT_TRUE(f.reporter.messages.empty());
    EXPECT_FALSE(f.work_file_left());
}

TEST(AddRecord, AMissingVaultIsReportedOnceThenCreated) {
    VaultFixture f;
    ASSERT_EQ(add_record(f.ctx, fields("a", "u", "s", "p", "p")), AddOutcome::Saved);
    EXPECT_EQ(f.reporter.messages, Messages{std::string(kMissingMessage)});
    EXPECT_EQ(f.vault(), encryption_pass("NAM:a\r\nURL:u\r\nUSE:s\r\nPAS:p\r\nIDN:DESK-7\r\n\r\n"));
}

TEST(Rewrite, WritesTheRowsInListOrderWithoutEmptyLines) {
    ViewerFixture f;
    f.rows.rows.swap_rows(0, 2);
    Record two = f.rows.rows.record(1);
    two.extra = {"dropped"};
    f.rows.rows.set_record(1, two);
    ASSERT_EQ(rewrite_vault(f.ctx, f.rows), SaveOutcome::Saved);
    EXPECT_EQ(f.plain_vault(), "NAM:three\r\nURL:u3\r\n"
                               "NAM:two\r\nURL:u2\r\nUSE:s2\r\nPAS:p2\r\nIDN:FAR-AWAY\r\n"
                               "NAM:one\r\nURL:u1\r\nUSE:s1\r\nPAS:p1\r\nIDN:DESK-7\r\n");
    EXPECT_EQ(f.vault(), encryption_pass(f.plain_vault()));
}

TEST(Rewrite, KeepsARecordAddedWhileTheViewerWasOpen) {
    ViewerFixture f;
    ASSERT_EQ(add_record(f.ctx, fields("late", "u", "s", "p", "p")), AddOutcome::Saved);
    f.rows.selected = 1;
    ASSERT_EQ(delete_selected(f.ctx, f.rows), SaveOutcome::Saved);
    ASSERT_EQ(f.rows.rows.size(), 3u);
    EXPECT_EQ(f.rows.rows.name(2), "late");
    EXPECT_EQ(f.rows.rows.value(2, Field::Password), "p");
    EXPECT_EQ(f.plain_vault(), "NAM:one\r\nURL:u1\r\nUSE:s1\r\nPAS:p1\r\nIDN:DESK-7\r\n"
                               "NAM:three\r\nURL:u3\r\n"
                               "NAM:late\r\nURL:u\r\nUSE:s\r\nPAS:p\r\nIDN:DESK-7\r\n");
    // The next rewrite has nothing new to keep.
    f.rows.selected = 2;
    ASSERT_EQ(delete_selected(f.ctx, f.rows), SaveOutcome::Saved);
    EXPECT_EQ(f.rows.rows.size(), 2u);
}

// A save that failed has taken the records added meanwhile into the rows: the
// next save must not append them again.
TEST(Rewrite, AFailedSaveTakesTheRecordsAddedMeanwhileOnce) {
    for (bool change : {false, true}) {
        FaultyFiles files;
        VaultFixture f(files);
        f.put_vault(encryption_pass("NAM:one\r\nURL:u1\r\nUSE:s1\r\nPAS:p1\r\nIDN:DESK-7\r\n"
                                    "NAM:two\r\nURL:u2\r\nUSE:s2\r\nPAS:p2\r\nIDN:DESK-7\r\n"));
        RowList rows = rows_from_load(load_vault(f.ctx));
        ASSERT_EQ(add_record(f.ctx, fields("late", "u", "s", "p", "p")), AddOutcome::Saved);
        auto edit = [&] {
            rows.selected = 1;
            return change ? change_field(f.ctx, rows, ChangeCommand::Name, [](auto&) { return InputAnswer{"2"}; }) ==
                                ChangeOutcome::Saved
                          : delete_selected(f.ctx, rows) == SaveOutcome::Saved;
        };
        files.fail_replace = true;
        EXPECT_FALSE(edit());
        files.fail_replace = false;
        EXPECT_TRUE(edit());
        std::string names;
        for (const Record& r : parse_records(f.vault())) names += r.name + ",";
        EXPECT_EQ(names, change ? "one,2,late," : "one,late,");
        EXPECT_EQ(rows.rows.size(), change ? 3u : 2u);
    }
}

// The next load checks only the first record's stamp: the record that opened
// the vault stays first; when it is deleted, the first row in list order that
// this computer stamped takes its place.
TEST(Rewrite, WritesListOrderUnlessItsFirstRowWouldLockThisComputerOut) {
    const std::string vault = "NAM:zeta\r\nURL:u\r\nUSE:s\r\nPAS:p\r\nIDN:DESK-7\r\n"
                              "NAM:alpha\r\nURL:u\r\nUSE:s\r\nPAS:p\r\nIDN:FAR-AWAY\r\n"
                              "NAM:mid\r\nURL:u\r\nUSE:s\r\nPAS:p\r\nIDN:DESK-7\r\n"
                              "NAM:beta\r\nURL:u\r\nUSE:s\r\nPAS:p\r\nIDN:FAR-AWAY\r\n";
    const struct {
        std::vector<std::size_t> order;   // the list's order of the file's records; empty: file order
        std::vector<std::size_t> deleted; // list positions, deleted one after the other
        const char* names;
    } cases[] = {
        {{}, {}, "zeta,alpha,mid,beta,"},
        {{2, 0, 1, 3}, {}, "mid,zeta,alpha,beta,"}, // a row of this computer heads the list: list order
        {{3, 2, 1, 0}, {}, "zeta,beta,mid,alpha,"}, // another computer's row heads it: the opener first
        {{}, {1}, "zeta,mid,beta,"},
        {{}, {0}, "mid,alpha,beta,"}, // the opener is gone: the first row of this computer
        {{3, 2, 1, 0}, {3}, "mid,beta,alpha,"},
        {{}, {0, 1}, "alpha,beta,"}, // no record of this computer is left: list order
    };
    for (const auto& c : cases) {
        VaultFixture f;
        f.put_vault(encryption_pass(vault));
        RowList rows = rows_from_load(load_vault(f.ctx));
        if (!c.order.empty()) {
            rows.rows.reorder(c.order);
            rows.opener = std::find(c.order.begin(), c.order.end(), 0) - c.order.begin();
        }
        for (std::size_t index : c.deleted) {
            rows.selected = index;
            ASSERT_EQ(delete_selected(f.ctx, rows), SaveOutcome::Saved);
        }
        ASSERT_EQ(rewrite_vault(f.ctx, rows), SaveOutcome::Saved);
        std::string names;
        for (const Record& r : parse_records(f.vault())) names += r.name + ",";
        EXPECT_EQ(names, c.names);
    }
}

TEST(ChangeCommands, AskWithTheCurrentValueAndRewrite) {
    struct Case {
        ChangeCommand command;
        std::string answer;
        std::string prompt, title, default_text;
        std::string second_record; // plain lines of the selected record afterwards
    };
    const Case cases[] = {
        {ChangeCommand::Name, "two, renamed", "New Idenifier Name:", "Change name", "two",
         "NAM:two, renamed\r\nURL:u2\r\nUSE:s2\r\nPAS:p2\r\nIDN:FAR-AWAY\r\n"},
        {ChangeCommand::Url, "u2", "New URL:", "Change the URL", "u2",
         "NAM:two\r\nURL:u2\r\nUSE:s2\r\nPAS:p2\r\nIDN:FAR-AWAY\r\n"},
        {ChangeCommand::User, " lead", "New User Name:", "Change name", "s2",
         "NAM:two\r\nURL:u2\r\nUSE: lead\r\nPAS:p2\r\nIDN:FAR-AWAY\r\n"},
        {ChangeCommand::Password, "n:e\"w", "New Password:", "Change password", "p2",
         "NAM:two\r\nURL:u2\r\nUSE:s2\r\nPAS:n:e\"w\r\nIDN:FAR-AWAY\r\n"},
    };
    for (const auto& c : cases) {
        ViewerFixture f;
        f.rows.selected = 1;
        std::string prompt, title, default_text;
        auto box = [&](const InputRequest& r) {
            prompt = r.prompt, title = r.title, default_text = r.default_text;
            return InputAnswer{c.answer};
        };
        ASSERT_EQ(change_field(f.ctx, f.rows, c.command, box), ChangeOutcome::Saved) << c.prompt;
        EXPECT_EQ(std::tie(prompt, title, default_text), std::tie(c.prompt, c.title, c.default_text));
        const std::string plain = f.plain_vault();
        EXPECT_NE(plain.find("IDN:DESK-7\r\n" + c.second_record + "NAM:three"), std::string::npos) << plain;
        EXPECT_TRUE(f.reporter.messages.empty());
    }
}

TEST(ChangeCommands, CancelRefusalAndNoSelectionChangeNothing) {
    struct Case {
        std::optional<std::size_t> selected;
        InputAnswer answer;
        ChangeOutcome outcome;
        int boxes, messages;
    };
    const Case cases[] = {
        {std::nullopt, {"x"}, ChangeOutcome::NothingSelected, 0, 0},
        {1, {""}, ChangeOutcome::Cancelled, 1, 0},
        {1, {"caf\xE9"}, ChangeOutcome::Refused, 1, 1},
        {1, {"cafe?", true}, ChangeOutcome::Refused, 1, 1},
    };
    for (const auto& c : cases) {
        ViewerFixture f;
        const std::string before = f.vault();
        const auto rows_before = f.rows.rows;
        f.rows.selected = c.selected;
        int boxes = 0;
        auto box = [&](const InputRequest&) { return ++boxes, c.answer; };
        EXPECT_EQ(change_field(f.ctx, f.rows, ChangeCommand::Url, box), c.outcome);
        EXPECT_EQ(boxes, c.boxes);
        EXPECT_EQ(static_cast<int>(f.reporter.messages.size()), c.messages);
        EXPECT_EQ(f.vault(), before);
        EXPECT_EQ(f.rows.rows, rows_before);
    }
}

TEST(ChangeCommands, PasswordChangeOffersThePlainPasswordAndKeepsTheOthers) {
    ViewerFixture f;
    f.rows.selected = 0;
    std::string offered;
    ASSERT_EQ(change_field(f.ctx, f.rows, ChangeCommand::Password,
                           [&](const InputRequest& request) {
                               offered = request.default_text;
                               return InputAnswer{"new1"};
                           }),
              ChangeOutcome::Saved);
    EXPECT_EQ(offered, "p1");
    EXPECT_EQ(f.rows.rows.value(0, Field::Password), "new1");
    EXPECT_EQ(f.rows.rows.value(1, Field::Password), "p2");
    EXPECT_NE(f.plain_vault().find("PAS:new1\r\n"), std::string::npos);
}

TEST(ChangeCommands, AValueARecordLackedKeepsTheLinesBeforeIt) {
    ViewerFixture f;
    f.rows.selected = 2; // "three" has only its URL
    ASSERT_EQ(change_field(f.ctx, f.rows, ChangeCommand::Password, [](auto&) { return InputAnswer{"pw"}; }),
              ChangeOutcome::Saved);
    EXPECT_TRUE(f.plain_vault().ends_with("NAM:three\r\nURL:u3\r\nUSE:\r\nPAS:pw\r\n"));
    const LoadResult again = load_vault(f.ctx);
    ASSERT_EQ(again.records.size(), 3u);
    EXPECT_EQ(again.records.value(2, Field::Password), "pw");
}

TEST(DeleteRecord, DeletingTheOnlyRecordLeavesAnEmptyVaultThatIsRejected) {
    VaultFixture f;
    f.put_vault(encryption_pass("NAM:a\r\nURL:u\r\nUSE:s\r\nPAS:p\r\nIDN:DESK-7\r\n"));
    RowList rows = rows_from_load(load_vault(f.ctx));
    rows.selected = 0;
    ASSERT_EQ(delete_selected(f.ctx, rows), SaveOutcome::Saved);
    EXPECT_TRUE(rows.rows.empty());
    EXPECT_EQ(f.vault(), "");
    EXPECT_EQ(load_vault(f.ctx).status, LoadStatus::Rejected);
}

TEST(DeleteRecord, WithoutSelectionStillRewrites) {
    ViewerFixture f;
    f.put_vault(f.vault() + "\r\n\r\n");
    ASSERT_EQ(delete_selected(f.ctx, f.rows), SaveOutcome::Saved);
    EXPECT_EQ(f.rows.rows.size(), 3u);
    EXPECT_EQ(f.vault().find("\r\n\r\n"), std::string::npos);
}

TEST(Storable, RefusesTheScrambledBlockLineBreaksAndLostCharacters) {
    for (int code = 0; code < 256; ++code) {
        const std::string one(1, static_cast<char>(code));
        const bool expected = !(code >= 192 && code <= 253) && code != '\r' && code != '\n';
        EXPECT_EQ(is_storable(one), expected) << code;
        EXPECT_EQ(is_storable("abc" + one + "def"), expected) << code;
    }
    EXPECT_FALSE(is_storable("plain", true));
    EXPECT_EQ(find_unstorable("ab\xE9\xC0"), 2u);
    EXPECT_TRUE(unstorable_message("URL").starts_with("ERROR: the URL "));
}

} // namespace
