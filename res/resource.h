// Resource identifiers shared by the resource script and the code.
#pragma once

#define IDS_APP_TITLE 57344
#define IDC_TRANSPARENT 131
