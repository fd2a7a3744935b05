#include "settings/options_dialog.h"

#include <shlobj.h>

#include "resources/resource.h"
#include "settings/caller_settings.h"
#include "settings/dialog_placement.h"
#include "settings/settings_store.h"

// The edit box's text is read with this limit, terminator included, so that
// the separator added on OK still fits in the settings record.
enum { EDIT_READ_SIZE = SOUND_PATH_SIZE - 1 };

static char string_buffer[256];

const char *load_string_resource(UINT id)
{
    string_buffer[0] = '\0';
    if (LoadStringA(module_handle, id, string_buffer, sizeof string_buffer - 1) <= 0)
        string_buffer[0] = '\0';
    return string_buffer;
}

void center_over_owner(HWND dialog)
{
    HWND owner = GetParent(dialog);
    // Without an owner the dialog is centred on the screen.
    if (owner == 0)
        owner = GetDesktopWindow();
    RECT owner_rect, dialog_rect;
    if (!GetWindowRect(owner, &owner_rect) || !GetWindowRect(dialog, &dialog_rect))
        return;
    screen_rect owner_area = { owner_rect.left, owner_rect.top, owner_rect.right, owner_rect.bottom };
    screen_rect dialog_area = { dialog_rect.left, dialog_rect.top, dialog_rect.right,
                                dialog_rect.bottom };
    screen_point place = centered_position(owner_area, dialog_area);
    SetWindowPos(dialog, 0, place.x, place.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
}

int browse_sound_folder(HWND owner, const char *prompt, char *out_path)
{
    char display_name[MAX_PATH];
    display_name[0] = '\0';

    BROWSEINFOA browse = {};
    browse.hwndOwner = owner;
    browse.pidlRoot = 0;
    browse.pszDisplayName = display_name;
    browse.lpszTitle = prompt;
    browse.ulFlags = BIF_RETURNONLYFSDIRS;

    LPITEMIDLIST item = SHBrowseForFolderA(&browse);
    if (item == 0)
        return 0;
    out_path[0] = '\0';
    BOOL has_path = SHGetPathFromIDListA(item, out_path);
    CoTaskMemFree(item);
    // An item with no file-system path leaves the edit box as it was.
    return has_path && out_path[0] != '\0' ? 1 : 0;
}

static void confirm_options(HWND dialog)
{
    SendDlgItemMessageA(dialog, IDC_SOUND_PATH, WM_GETTEXT, EDIT_READ_SIZE,
                        (LPARAM)caller_settings.path);
    caller_settings.path[EDIT_READ_SIZE - 1] = '\0';
    cut_at_line_break(caller_settings.path, sizeof caller_settings.path);
    // As at load: a folder that cannot end in a separator is not kept.
    if (!normalize_sound_path(caller_settings.path, sizeof caller_settings.path, is_ansi_lead_byte))
        caller_settings.path[0] = '\0';
    caller_settings.enable = IsDlgButtonChecked(dialog, IDC_PLAY_SOUND) == BST_CHECKED ? 1 : 0;
    save_settings();
    EndDialog(dialog, 1);
}

static void pick_sound_folder(HWND dialog)
{
    char picked_folder[MAX_PATH];
    const char *prompt = load_string_resource(IDS_SELECT_FOLDER);
    if (browse_sound_folder(dialog, prompt, picked_folder))
        SendDlgItemMessageA(dialog, IDC_SOUND_PATH, WM_SETTEXT, 0, (LPARAM)picked_folder);
}

INT_PTR CALLBACK options_dialog_proc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam)
{
    (void)lparam;
    switch (message) {
    case WM_INITDIALOG:
        if (caller_settings.enable == 1)
            CheckDlgButton(dialog, IDC_PLAY_SOUND, BST_CHECKED);
        SendDlgItemMessageA(dialog, IDC_SOUND_PATH, WM_SETTEXT, 0, (LPARAM)caller_settings.path);
        center_over_owner(dialog);
        return TRUE;
    case WM_COMMAND:
        switch (LOWORD(wparam)) {
        case IDOK:
            confirm_options(dialog);
            break;
        case IDCANCEL:
            SendMessageA(dialog, WM_CLOSE, 0, 0);
            break;
        case IDC_BROWSE:
            pick_sound_folder(dialog);
            break;
        default:
            break;
        }
        return TRUE;
    case WM_CLOSE:
        EndDialog(dialog, 0);
        return TRUE;
    default:
        return FALSE;
    }
}

void open_options_dialog(HWND owner)
{
    DialogBoxParamA(module_handle, MAKEINTRESOURCEA(IDD_OPTIONS), owner, options_dialog_proc, 0);
}
