// The module's attach hook and the settings file, on the platform's side.
#ifndef QEL_SETTINGS_SETTINGS_STORE_H
#define QEL_SETTINGS_SETTINGS_STORE_H

#include <windows.h>

// The module's instance handle, kept from attach for the module's lifetime.
extern HINSTANCE module_handle;

// Whether a byte starts a double-byte character in the system's ANSI code
// page.
int is_ansi_lead_byte(unsigned char byte);

void locate_settings_file(void);
void load_settings(void);
void save_settings(void);

#endif
