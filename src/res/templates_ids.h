#pragma once
// The "Select Template" and "Save as Template" dialogs ("Save Search" is the second one with
// its own caption and label). OK and Cancel are IDOK and IDCANCEL.

// TfmNew, "Select Template"
#define IDD_NEW 501
#define IDC_NEW_LB_TEMPLATES 5001
#define IDC_NEW_CB_EDIT 5002

// TfmSaveAsTemplate, "Save as Template"
#define IDD_SAVE_AS_TEMPLATE 502
#define IDC_SAT_LABEL1 5011
#define IDC_SAT_ED_TEMPLATE_NAME 5012
#define IDC_SAT_RG_OPTIONS 5013
#define IDC_SAT_RB_ALL_USERS 5014
#define IDC_SAT_RB_USER 5015
