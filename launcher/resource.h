// Resource identifiers of lodo.exe.
#pragma once
#define IDI_LODO 100
#define IDB_LOGO 200
#define IDB_LOGO_MASK 201

// The texts a helpdesk may brand (launcher/texts.rc), one block of sixteen.
#define IDS_TITLE 1024
#define IDS_NAME 1025
#define IDS_LINE1 1026
#define IDS_LINE2 1027
#define IDS_LINE3 1028
#define IDS_MANUAL_ENTRY 1029
#define IDS_HOST_LABEL 1030
#define IDS_CONNECT 1031
#define IDS_EXIT 1032

// The message box texts, the next block.
#define IDS_SERVER_NOT_STARTED 1040
#define IDS_REASON_MISSING 1041
#define IDS_REASON_DIRECTORY 1042
#define IDS_REASON_NO_MEMORY 1043
#define IDS_REASON_FILE_NOT_FOUND 1044
#define IDS_REASON_PATH_NOT_FOUND 1045
#define IDS_REASON_ACCESS_DENIED 1046
#define IDS_REASON_BAD_FORMAT 1047
#define IDS_REASON_OTHER 1048
