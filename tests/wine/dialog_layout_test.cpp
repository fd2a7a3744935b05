// The options dialog as the user sees it in the session's language: the
// caption and font, every control's text, place and style, the tab order.
#include "dialog_fixture.h"
#include "session_language.h"

#include "resources/resource.h"

#include <ostream>

namespace {

struct pixel_box {
    LONG x, y, width, height;
    bool operator==(const pixel_box &other) const
    {
        return x == other.x && y == other.y && width == other.width && height == other.height;
    }
};

std::ostream &operator<<(std::ostream &out, const pixel_box &box)
{
    return out << box.x << "," << box.y << " " << box.width << "x" << box.height;
}

// Dialog units in pixels, converted the way the dialog manager places the
// controls it creates: each of the four numbers on its own.
pixel_box in_pixels(HWND dialog, dialog_units units)
{
    RECT numbers = { units.x, units.y, units.width, units.height };
    MapDialogRect(dialog, &numbers);
    return { numbers.left, numbers.top, numbers.right, numbers.bottom };
}

// Where a control sits in its dialog's client area.
pixel_box client_place(HWND dialog, HWND control)
{
    RECT place;
    GetWindowRect(control, &place);
    MapWindowPoints(HWND_DESKTOP, dialog, reinterpret_cast<POINT *>(&place), 2);
    return { place.left, place.top, place.right - place.left, place.bottom - place.top };
}

std::string class_of(HWND window)
{
    char name[64];
    int length = GetClassNameA(window, name, sizeof name);
    return std::string(name, length > 0 ? length : 0);
}

void check_frame_and_font(HWND dialog, const dialog_language &language)
{
    EXPECT_EQ(wide_window_text(dialog), language.caption) << "caption";
    const DWORD frame = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;
    EXPECT_EQ(GetWindowLongA(dialog, GWL_STYLE) & frame, frame) << "dialog style";
    RECT client;
    GetClientRect(dialog, &client);
    EXPECT_EQ((pixel_box{ 0, 0, client.right, client.bottom }),
              in_pixels(dialog, OPTIONS_DIALOG_SIZE)) << "client area";

    LOGFONTW font = {};
    HFONT handle = reinterpret_cast<HFONT>(SendMessageW(dialog, WM_GETFONT, 0, 0));
    ASSERT_NE(GetObjectW(handle, sizeof font, &font), 0) << "the dialog has no font";
    HDC screen = GetDC(dialog);
    int pixels_per_inch = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(dialog, screen);
    EXPECT_EQ(std::wstring(font.lfFaceName), language.font_face) << "font";
    EXPECT_EQ(font.lfHeight, -MulDiv(language.font_points, pixels_per_inch, 72)) << "font size";
}

void check_control(HWND dialog, HWND control, const dialog_control &expected,
                   session_language_index language)
{
    EXPECT_EQ(GetDlgCtrlID(control), expected.id) << "id";
    EXPECT_EQ(lstrcmpiA(class_of(control).c_str(), expected.class_name), 0)
        << "class " << class_of(control);
    EXPECT_EQ(wide_window_text(control), expected.text[language]) << "text";
    EXPECT_EQ(client_place(dialog, control), in_pixels(dialog, expected.place[language]))
        << "place";
    DWORD style = GetWindowLongA(control, GWL_STYLE);
    EXPECT_EQ(style & expected.style_mask, expected.style) << "style " << std::hex << style;
}

TEST(SessionLanguage, IsTheOneAskedFor)
{
    const dialog_language &asked =
        DIALOG_LANGUAGES[japanese_requested() ? JAPANESE_SESSION : ENGLISH_SESSION];
    EXPECT_EQ(GetUserDefaultUILanguage(), asked.language) << "user interface language";
    EXPECT_EQ(GetACP(), asked.ansi_code_page) << "ANSI code page";
}

TEST_F(DialogTest, ShowsTheTemplateOfTheSessionLanguage)
{
    session_language_index language = session_language();
    load(nullptr);
    open_options({ on_options([&](HWND dialog) {
        check_frame_and_font(dialog, DIALOG_LANGUAGES[language]);
        HWND control = GetWindow(dialog, GW_CHILD);
        for (const dialog_control &expected : OPTIONS_CONTROLS) {
            SCOPED_TRACE(testing::Message() << "control " << expected.id);
            if (control == 0) {
                ADD_FAILURE() << "the dialog has fewer controls";
                break;
            }
            check_control(dialog, control, expected, language);
            control = GetWindow(control, GW_HWNDNEXT);
        }
        EXPECT_EQ(control, nullptr) << "the dialog has more controls";

        HWND edit = GetDlgItem(dialog, IDC_SOUND_PATH);
        EXPECT_TRUE((GetWindowLongA(edit, GWL_STYLE) & WS_BORDER)
                    || (GetWindowLongA(edit, GWL_EXSTYLE) & WS_EX_CLIENTEDGE))
            << "the edit box has a border";
        EXPECT_EQ(SendMessageA(dialog, DM_GETDEFID, 0, 0), MAKELONG(IDOK, DC_HASDEFID))
            << "OK is the default button";
        press_button(dialog, IDCANCEL);
    }) });
}

TEST_F(DialogTest, TabKeyVisitsTheControlsInTemplateOrder)
{
    load(nullptr);
    std::vector<int> focused;
    dialog_step tab = { options_dialog_shown, [&] {
                           focused.push_back(GetDlgCtrlID(GetFocus()));
                           PostMessageA(GetFocus(), WM_KEYDOWN, VK_TAB, 0);
                       } };
    dialog_step close = on_options([&](HWND dialog) {
        focused.push_back(GetDlgCtrlID(GetFocus()));
        press_button(dialog, IDCANCEL);
    });
    open_options({ tab, tab, tab, tab, tab, close });
    std::vector<int> expected = { IDC_PLAY_SOUND, IDC_SOUND_PATH, IDC_BROWSE, IDOK, IDCANCEL,
                                  IDC_PLAY_SOUND };
    EXPECT_EQ(focused, expected) << "focus after each Tab, from the opening";
}

}
