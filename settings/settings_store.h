// The module's attach hook and the settings file, on the platform's side.
#ifndef QEL_SETTINGS_SETTINGS_STORE_H
#define QEL_SETTINGS_SETTINGS_STORE_H

#include <windows.h>

// The module's instance handle, kept from attach for the module's lifetime.
extern HINSTANCE module_handle;

void locate_settings_file(void);
void load_settings(void);
void save_settings(void);

#endif
