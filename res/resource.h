// Resource identifiers shared by the resource script and the code.
#pragma once

#define IDS_APP_TITLE 57344
#define IDC_TRANSPARENT 131
#define IDB_LOGO 139
#define IDC_POINTING_HAND 141
