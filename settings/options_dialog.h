// The modal options dialog: sounds on or off, and the sound folder.
#ifndef QEL_SETTINGS_OPTIONS_DIALOG_H
#define QEL_SETTINGS_OPTIONS_DIALOG_H

#include <windows.h>

void open_options_dialog(HWND owner);
INT_PTR CALLBACK options_dialog_proc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam);
void center_over_owner(HWND dialog);
int browse_sound_folder(HWND owner, const char *prompt, char *out_path);
const char *load_string_resource(UINT id);

#endif
