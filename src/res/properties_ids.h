#pragma once
// Identifiers of the Properties dialog and the folder browser (4000-4999).
#define IDD_PROPERTIES 401
#define IDD_BROWSE_PATH 402

// Properties: the pages and the buttons under them (OK and Cancel are IDOK and IDCANCEL)
#define IDC_PROP_TAB_PAGES 4000

// "General"
#define IDC_PROP_ST_EXCLUDE_PATTERN 4010
#define IDC_PROP_ED_EXCLUDE_PATTERN 4011 /* edExcludePattern */
#define IDC_PROP_ST_EXCLUDE_NOTE 4012
#define IDC_PROP_ST_DATA_LOCATION 4013
#define IDC_PROP_ED_DATA_LOCATION 4014 /* edDataLocation */
#define IDC_PROP_BUTTON2 4015          /* Button2, "..." */
#define IDC_PROP_GB_REFRESH 4016
#define IDC_PROP_RB_REFRESH_FIXED 4017   /* rbRefreshFixedSchedule */
#define IDC_PROP_ED_REFRESH_MINUTES 4018 /* edRefreshMinutes */
#define IDC_PROP_ST_MINUTES 4019
#define IDC_PROP_RB_REFRESH_ON_CHANGE 4020 /* rbRefreshOnChange */
#define IDC_PROP_ST_RECENT_EDIT_DOCS 4021
#define IDC_PROP_ED_RECENT_EDIT_DOCS 4022 /* edRecentEditDocs */
#define IDC_PROP_CB_MONITOR_RECENT 4023   /* cbMonitorRecentDocs */
#define IDC_PROP_GB_STARTUP 4024
#define IDC_PROP_CB_RUN_AT_STARTUP 4025 /* cbRunAtStartup */
#define IDC_PROP_RB_ALL_USERS 4026      /* rbAllUsers */
#define IDC_PROP_RB_FOR_ME_ONLY 4027    /* rbForMeOnly */

// "Search Domains"
#define IDC_PROP_ST_DOMAIN_NAME 4040
#define IDC_PROP_CO_SEARCH_SET 4041 /* coSearchSet */
#define IDC_PROP_BU_REMOVE_SET 4042 /* buRemoveSet */
#define IDC_PROP_TAB_PATHS 4043
#define IDC_PROP_ME_SEARCH_PATHS 4044  /* meSearchPaths, "Include Paths" */
#define IDC_PROP_ME_EXCLUDE_PATHS 4045 /* meExcludePaths, "Exclude Paths" */

// Browse for Path (buOK and buCancel are IDOK and IDCANCEL)
#define IDC_BROWSE_TREE 4100 /* ShellTreeView */
