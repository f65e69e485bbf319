#pragma once
// Identifiers of the instant-find window (9000-9099).
#define IDD_INSTANT_FIND 901

#define IDC_INSTANT_ED_FIND 9000        /* edFind */
#define IDC_INSTANT_LV_RESULTS 9001     /* lvResults */
#define IDC_INSTANT_ST_STATUS 9002      /* stStatus */
#define IDC_INSTANT_BU_LAST_SEARCH 9003 /* buLastSearch */
