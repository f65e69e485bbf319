#pragma once
// Resource identifiers of the replace activity window (620-629, controls 6200-6299).
#define IDD_REPLACE 620
#define IDI_REPLACE_STOP 621
#define IDI_REPLACE_CLOSE 622

#define IDC_REPLACE_TXT_STATUS 6200
#define IDC_REPLACE_BTN_STOP 2 /* IDCANCEL: Esc presses Stop */
#define IDC_REPLACE_BITBTN1 6201
