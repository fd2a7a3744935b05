#include "dialog_driver.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include "resources/resource.h"

namespace {

const UINT TICK_MS = 30;
const int STEP_TIMEOUT_TICKS = 15000 / TICK_MS;
const int CLOSE_TIMEOUT_TICKS = 5000 / TICK_MS;

const std::vector<dialog_step> *current_steps;
size_t next_step;
int ticks_waited;

struct window_search {
    bool (*matches)(HWND);
    HWND found;
};

BOOL CALLBACK match_window(HWND window, LPARAM parameter)
{
    auto *search = reinterpret_cast<window_search *>(parameter);
    char class_name[64];
    if (!IsWindowVisible(window) || !GetClassNameA(window, class_name, sizeof class_name)
        || lstrcmpA(class_name, "#32770") != 0 || !search->matches(window))
        return TRUE;
    search->found = window;
    return FALSE;
}

HWND find_thread_dialog(bool (*matches)(HWND))
{
    window_search search = { matches, 0 };
    EnumThreadWindows(GetCurrentThreadId(), match_window, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

bool is_options_dialog(HWND window)
{
    return GetDlgItem(window, IDC_SOUND_PATH) != 0 && GetDlgItem(window, IDC_BROWSE) != 0;
}

bool is_folder_picker(HWND window)
{
    return FindWindowExA(window, 0, "SysTreeView32", 0) != 0;
}

BOOL CALLBACK close_dialog(HWND window, LPARAM)
{
    char class_name[64];
    if (GetClassNameA(window, class_name, sizeof class_name)
        && lstrcmpA(class_name, "#32770") == 0)
        PostMessageA(window, WM_COMMAND, IDCANCEL, 0);
    return TRUE;
}

void CALLBACK on_tick(HWND, UINT, UINT_PTR, DWORD)
{
    ++ticks_waited;
    const std::vector<dialog_step> &steps = *current_steps;
    if (next_step < steps.size()) {
        if (ticks_waited > STEP_TIMEOUT_TICKS) {
            ADD_FAILURE() << "dialog step " << next_step << " never became ready";
            next_step = steps.size();
            ticks_waited = 0;
            EnumThreadWindows(GetCurrentThreadId(), close_dialog, 0);
            return;
        }
        if (!steps[next_step].ready())
            return;
        // Move on first: the action may start a nested modal loop, in which
        // later ticks run the following steps.
        size_t step = next_step++;
        ticks_waited = 0;
        steps[step].action();
        return;
    }
    if (ticks_waited > CLOSE_TIMEOUT_TICKS) {
        ADD_FAILURE() << "a dialog stayed open after the last step";
        ticks_waited = 0;
        EnumThreadWindows(GetCurrentThreadId(), close_dialog, 0);
    }
}

}

void drive_dialogs(const std::function<void()> &open, const std::vector<dialog_step> &steps)
{
    current_steps = &steps;
    next_step = 0;
    ticks_waited = 0;
    UINT_PTR timer = SetTimer(0, 0, TICK_MS, on_tick);
    ASSERT_NE(timer, 0u);
    open();
    KillTimer(0, timer);
    EXPECT_EQ(next_step, steps.size()) << "the dialog closed before every step had run";
    current_steps = nullptr;
}

HWND find_options_dialog()
{
    return find_thread_dialog(is_options_dialog);
}

HWND find_folder_picker()
{
    return find_thread_dialog(is_folder_picker);
}

bool options_dialog_shown()
{
    return find_options_dialog() != 0;
}

bool folder_picker_shown()
{
    return find_folder_picker() != 0;
}

std::string picker_selection()
{
    HWND picker = find_folder_picker();
    HWND tree = picker ? FindWindowExA(picker, 0, "SysTreeView32", 0) : 0;
    if (tree == 0)
        return "";
    HTREEITEM selected = TreeView_GetSelection(tree);
    if (selected == 0)
        return "";
    char text[MAX_PATH] = "";
    TVITEMA item = {};
    item.mask = TVIF_TEXT;
    item.hItem = selected;
    item.pszText = text;
    item.cchTextMax = sizeof text;
    SendMessageA(tree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item));
    return text;
}

std::string window_text(HWND window)
{
    char text[1024];
    int length = GetWindowTextA(window, text, sizeof text);
    return std::string(text, length > 0 ? length : 0);
}

std::string item_text(HWND dialog, int id)
{
    return window_text(GetDlgItem(dialog, id));
}

void press_button(HWND dialog, int id)
{
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

HWND create_owner_window(int x, int y, int width, int height)
{
    HWND owner = CreateWindowExA(0, "STATIC", "owner", WS_POPUP | WS_VISIBLE | WS_BORDER, x, y,
                                 width, height, 0, 0, GetModuleHandleA(0), 0);
    EXPECT_NE(owner, nullptr);
    return owner;
}
