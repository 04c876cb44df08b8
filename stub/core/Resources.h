/* Resources.h — identifiers of the launcher's dialogs, controls and icon.
   Shared by the resource script and the C++ sources. */
#pragma once

#define IDD_PROGRESS 103
#define IDD_RUNTIME_NOT_FOUND 104

#define IDC_PROGRESS_BAR 1001
#define IDC_STATUS_LINE 1002
#define IDC_MAIN_TEXT 1003
#define IDC_DOWNLOAD 1004
#define IDC_LOCATE 1005

#define MAIN_ICON_NAME "MAINICO"
