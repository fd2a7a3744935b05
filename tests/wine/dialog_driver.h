// Drives modal dialogs from inside their own message loop: a timer on the
// calling thread keeps firing there, and each tick runs the next step once
// that step is ready.
#ifndef QEL_TESTS_WINE_DIALOG_DRIVER_H
#define QEL_TESTS_WINE_DIALOG_DRIVER_H

#include <windows.h>
#include <shlobj.h>

#include <functional>
#include <string>
#include <vector>

struct dialog_step {
    std::function<bool()> ready;
    std::function<void()> action;
};

// Calls `open` (which runs a modal dialog) while the timer works through
// `steps`. Fails the test, and closes what is still open, when the steps are
// not done or the dialogs do not close in time.
void drive_dialogs(const std::function<void()> &open, const std::vector<dialog_step> &steps);

// The options dialog and the folder picker of this thread, or null.
HWND find_options_dialog();
HWND find_folder_picker();

bool options_dialog_shown();
bool folder_picker_shown();
// The text of the folder picker's selected item; empty while it has none.
std::string picker_selection();

std::string window_text(HWND window);
std::string item_text(HWND dialog, int id);

// Presses a push button the way a click does: its command goes to the
// dialog through the message queue.
void press_button(HWND dialog, int id);

// A visible top-level window to own the dialog.
HWND create_owner_window(int x, int y, int width, int height);

#endif
