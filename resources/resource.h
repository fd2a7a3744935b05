// Numbers of the module's resources, shared by the code and the .rc file.
#ifndef QEL_RESOURCES_RESOURCE_H
#define QEL_RESOURCES_RESOURCE_H

#define IDD_OPTIONS 101
#define IDS_SELECT_FOLDER 1

#define IDC_PLAY_SOUND 1000
#define IDC_SOUND_PATH 1001
#define IDC_BROWSE 1002

#endif
