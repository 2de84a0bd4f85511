// The Configuration menu: font sizes and the two colour items through the
// standard colour dialog, stored under HKLM\SOFTWARE\Quillock\Config and
// applied again at the next opening.
#include "access/settings_store.h"
#include "colour_pairs.h"
#include "viewer_test_support.h"

#include <cmath>

using test_support::ModalWatcher;
using namespace viewer_test;

namespace {

constexpr char kConfigKey[] = "SOFTWARE\\Quillock\\Config";

class ViewerAppearance : public ViewerTest {
protected:
    void SetUp() override {
        ViewerTest::SetUp();
        write_vault(record_text("mail", "https://mail.example", "ann", "abc"));
    }
    static std::optional<std::string> stored(const char* key) {
        char value[64] = {};
        DWORD size = sizeof value;
        if (RegGetValueA(HKEY_LOCAL_MACHINE, kConfigKey, key, RRF_RT_REG_SZ, nullptr, value, &size) != ERROR_SUCCESS)
            return std::nullopt;
        return std::string(value);
    }
    static void store(const char* key, const char* value) {
        qlk_access::MRegistry::SaveString("Quillock", "Config", key, value);
    }

    static LOGFONTW list_font() {
        LOGFONTW font{};
        GetObjectW(reinterpret_cast<HFONT>(SendMessageW(list(), WM_GETFONT, 0, 0)), sizeof font, &font);
        return font;
    }
    static LONG height_for(double points) { return -std::lround(points * platform::screen_dpi() / 72.0); }
    static void expect_font(double points) {
        const LOGFONTW font = list_font();
        EXPECT_EQ(platform::to_ansi(font.lfFaceName), "Arial");
        EXPECT_EQ(font.lfHeight, height_for(points)) << points;
        EXPECT_EQ(font.lfWeight, FW_NORMAL);
        EXPECT_FALSE(font.lfItalic);
    }
    static COLORREF text_colour() { return ListView_GetTextColor(list()); }
    static COLORREF back_colour() { return ListView_GetBkColor(list()); }
};

// Answers the colour dialog as a user would: types red, green and blue into
// its fields and presses OK, or presses Cancel.
class ColourPicker {
public:
    ColourPicker(std::optional<COLORREF> pick) : thread_([this, pick] { run(pick); }) {}
    ~ColourPicker() {
        stop_ = true;
        thread_.join();
    }
    std::string title() {
        std::lock_guard lock(mutex_);
        return title_;
    }

private:
    void run(std::optional<COLORREF> pick) {
        while (!stop_) {
            HWND box = find_dialog();
            if (!box) {
                Sleep(10);
                continue;
            }
            Sleep(50);
            wchar_t text[128] = {};
            GetWindowTextW(box, text, 128);
            {
                std::lock_guard lock(mutex_);
                title_ = platform::to_ansi(text);
            }
            if (pick) {
                const int values[] = {GetRValue(*pick), GetGValue(*pick), GetBValue(*pick)};
                for (int i = 0; i < 3; ++i)
                    SendMessageW(GetDlgItem(box, 706 + i), WM_SETTEXT, 0,
                                 reinterpret_cast<LPARAM>(std::to_wstring(values[i]).c_str()));
            }
            PostMessageW(box, WM_COMMAND, MAKEWPARAM(pick ? IDOK : IDCANCEL, BN_CLICKED),
                         reinterpret_cast<LPARAM>(GetDlgItem(box, pick ? IDOK : IDCANCEL)));
            return;
        }
    }
    // The colour dialog is the box with the red, green and blue fields.
    static HWND find_dialog() {
        HWND found = nullptr;
        EnumWindows(
            [](HWND window, LPARAM out) -> BOOL {
                wchar_t name[16] = {};
                GetClassNameW(window, name, 16);
                if (std::wstring(name) == L"#32770" && IsWindowVisible(window) && GetDlgItem(window, 706)) {
                    *reinterpret_cast<HWND*>(out) = window;
                    return FALSE;
                }
                return TRUE;
            },
            reinterpret_cast<LPARAM>(&found));
        return found;
    }
    std::atomic<bool> stop_{false};
    std::mutex mutex_;
    std::string title_;
    std::thread thread_;
};

TEST_F(ViewerAppearance, OpensInArial825WithTheSystemColoursWhenNothingIsStored) {
    open_viewer();
    expect_font(8.25);
    EXPECT_EQ(text_colour(), GetSysColor(COLOR_WINDOWTEXT));
    EXPECT_EQ(back_colour(), GetSysColor(COLOR_WINDOW));
}

TEST_F(ViewerAppearance, EachFontSizeItemAppliesAtOnceAndStoresItsText) {
    open_viewer();
    const std::tuple<int, double, const char*> items[] = {
        {IDM_VW_SMALLERFONT, 7, "7"},   {IDM_VW_NORMALFONT, 8.25, "8.25"},  {IDM_VW_FONTLARGER, 10, "10"},
        {IDM_VW_LARGESTFONT, 12, "12"}, {IDM_VW_EXTREMEFONTSIZE, 14, "14"},
    };
    for (const auto& [id, points, text] : items) {
        command(id);
        expect_font(points);
        EXPECT_EQ(stored("FontSize"), text);
    }
    // The menu's captions.
    HMENU sizes = GetSubMenu(GetSubMenu(GetMenu(viewer()), 2), 0);
    const char* captions[] = {"Smaller (7)", "Normal (8.25)", "Larger (10)", "Largest (12)", "Insanely Large (14)"};
    for (int i = 0; i < 5; ++i) {
        wchar_t caption[64] = {};
        GetMenuStringW(sizes, i, caption, 64, MF_BYPOSITION);
        EXPECT_EQ(platform::to_ansi(caption), captions[i]);
        EXPECT_FALSE(GetMenuState(sizes, i, MF_BYPOSITION) & MF_CHECKED) << "no item is marked";
    }
}

TEST_F(ViewerAppearance, ColourItemsUseTheColourDialogAndStoreDecimalValues) {
    open_viewer();
    struct Case {
        int id;
        const char* title;
        std::optional<COLORREF> pick;
        const char* key;
        std::optional<std::string> stored_after;
    };
    const Case cases[] = {
        {IDM_VW_BACKCOLOR, "Change Background Color", RGB(255, 0, 0), "BackColor", "255"},
        {IDM_VW_FONTCOLOR, "Change Font Color", RGB(255, 255, 255), "ForeColor", "16777215"},
        {IDM_VW_BACKCOLOR, "Change Background Color", RGB(0, 0, 255), "BackColor", "16711680"},
        {IDM_VW_BACKCOLOR, "Change Background Color", RGB(0, 0, 255), "BackColor", "16711680"}, // the same again
        {IDM_VW_FONTCOLOR, "Change Font Color", std::nullopt, "ForeColor", "16777215"},         // cancelled
        {IDM_VW_FONTCOLOR, "Change Font Color", RGB(0, 0, 0), "ForeColor", "0"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.title);
        const COLORREF text_before = text_colour(), back_before = back_colour();
        // Emptied first, so that a value read back was written by this choice.
        RegDeleteKeyValueA(HKEY_LOCAL_MACHINE, kConfigKey, c.key);
        if (!c.pick) store(c.key, c.stored_after->c_str());
        ColourPicker picker(c.pick);
        command(c.id);
        EXPECT_EQ(picker.title(), c.title);
        EXPECT_EQ(stored(c.key), c.stored_after);
        const bool text = c.id == IDM_VW_FONTCOLOR;
        EXPECT_EQ(text_colour(), text && c.pick ? *c.pick : text_before);
        EXPECT_EQ(back_colour(), !text && c.pick ? *c.pick : back_before);
    }
}

TEST_F(ViewerAppearance, TheNextOpeningAppliesWhatWasChosen) {
    open_viewer();
    command(IDM_VW_LARGESTFONT);
    {
        ColourPicker picker(RGB(255, 255, 255));
        command(IDM_VW_FONTCOLOR);
    }
    {
        ColourPicker picker(RGB(0, 0, 128));
        command(IDM_VW_BACKCOLOR);
    }
    command(IDC_VW_COMMAND2);
    open_viewer();
    expect_font(12);
    EXPECT_EQ(text_colour(), RGB(255, 255, 255));
    EXPECT_EQ(back_colour(), RGB(0, 0, 128));
}

// Under high contrast the list and the red label take the system's pairs;
// the chosen colours stay stored and come back when it goes off.
TEST_F(ViewerAppearance, HighContrastSetsTheChosenColoursAsideWithoutForgettingThem) {
    store("ForeColor", "8388608"); // navy
    store("BackColor", "65535");   // yellow
    open_viewer();
    const auto label = [] { return test_support::colours_chosen(viewer(), GetDlgItem(viewer(), IDC_VW_LABEL2)); };
    for (bool high_contrast : {false, true, false}) {
        const test_support::HighContrastOn contrast(viewer(), high_contrast);
        EXPECT_EQ(text_colour(), high_contrast ? GetSysColor(COLOR_WINDOWTEXT) : RGB(0, 0, 128));
        EXPECT_EQ(back_colour(), high_contrast ? GetSysColor(COLOR_WINDOW) : RGB(255, 255, 0));
        EXPECT_EQ(ListView_GetTextBkColor(list()), back_colour());
        EXPECT_EQ(label().text, high_contrast ? GetSysColor(COLOR_BTNTEXT) : RGB(255, 0, 0));
        if (high_contrast) {
            EXPECT_GE(platform::contrast_ratio(text_colour(), back_colour()), platform::kReadableContrast);
            EXPECT_GE(platform::contrast_ratio(label().text, label().back), platform::kReadableContrast);
        }
        EXPECT_EQ(stored("ForeColor"), "8388608");
        EXPECT_EQ(stored("BackColor"), "65535");
    }
}

TEST_F(ViewerAppearance, StoredValuesThatDoNotConvertAreIgnored) {
    struct Case {
        const char* back;
        const char* fore;
        const char* size;
        COLORREF back_shown;
        COLORREF fore_shown;
        double points;
    };
    const COLORREF window = GetSysColor(COLOR_WINDOW), text = GetSysColor(COLOR_WINDOWTEXT);
    const Case cases[] = {
        {"255", "16777215", "10", RGB(255, 0, 0), RGB(255, 255, 255), 10},
        {"abc", "", "", window, text, 8.25},
        {"-1", "16777216", "8,25", window, text, 8.25},
        {" 65280 ", "0x00FF", "1e1", RGB(0, 255, 0), text, 8.25},
        {"", "", "0", window, text, 8.25},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.back);
        store("BackColor", c.back);
        store("ForeColor", c.fore);
        store("FontSize", c.size);
        open_viewer();
        EXPECT_EQ(back_colour(), c.back_shown);
        EXPECT_EQ(text_colour(), c.fore_shown);
        expect_font(c.points);
        command(IDC_VW_COMMAND2);
    }
}

// A standard account cannot write the machine-wide registry. Here the key
// above the settings is volatile, so the store cannot create its lasting
// section there: every SaveString fails as it would on such an account.
TEST_F(ViewerAppearance, ASettingThatCannotBeStoredIsReportedAndTheNewLookStays) {
    HKEY volatile_key = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Quillock", 0, nullptr, REG_OPTION_VOLATILE, KEY_ALL_ACCESS,
                              nullptr, &volatile_key, nullptr),
              ERROR_SUCCESS);
    RegCloseKey(volatile_key);

    open_viewer();
    ModalWatcher watcher;
    command(IDM_VW_LARGESTFONT);
    expect_font(12);
    {
        ColourPicker picker(RGB(255, 0, 0));
        command(IDM_VW_BACKCOLOR);
    }
    EXPECT_EQ(back_colour(), RGB(255, 0, 0));
    const auto seen = texts_of(watcher.seen());
    ASSERT_EQ(seen.size(), 2u);
    for (const std::string& text : seen) {
        EXPECT_TRUE(text.starts_with("ERROR: Could not open/create registry section (error 0x")) << text;
        EXPECT_TRUE(text.ends_with("\r\nThe list shows the new appearance, but it could not be stored for the next "
                                   "opening of the viewer."))
            << text;
    }
    EXPECT_TRUE(IsWindow(viewer()));
    EXPECT_EQ(stored("FontSize"), std::nullopt);
}

} // namespace
