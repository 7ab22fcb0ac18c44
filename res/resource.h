// Resource identifiers shared by the resource script and the code.
#pragma once

#define IDS_APP_TITLE 57344
#define IDC_TRANSPARENT 131
#define IDB_LOGO 139
#define IDC_POINTING_HAND 141

// The configuration sheet's pages and their controls.
#define IDD_CONFIG 130
#define IDD_DEBUG 158
#define IDC_COUNT 1001
#define IDC_SPIN 1002
#define IDC_SHOW_FPS 1003
#define IDC_SPEED 1004
#define IDC_STARFIELD 1005
#define IDC_LOG_ALWAYS 1033
#define IDC_LOG_ERROR_ONLY 1034
#define IDC_LOG_APPEND 1035
#define IDC_LOG_OVERWRITE 1036

// The About page, its hidden places and the links' context menu.
#define IDD_ABOUT 100
#define IDC_PROGRAM_NAME 1006
#define IDC_COPYRIGHT 1007
#define IDC_MAIL_PLACE 1010
#define IDC_WEB_PLACE 1011
#define IDC_PICTURE_FRAME 1019
#define IDR_LINK_MENU 142
#define ID_COPY_URL 57634
