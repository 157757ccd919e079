// Every command, control, menu, dialog and icon id of the program, in one place. Command ids are
// what WM_COMMAND carries for each action; tests drive the program by them.
#pragma once

// Icons
#define IDI_PROGRAM 1
#define IDI_DISTRIBUTION 2

// Dialogs
#define IDD_ASK_TEXT 100
#define IDC_ASK_PROMPT 101
#define IDC_ASK_ANSWER 102

// Menus
#define IDM_EDITOR_MENU 200

// The list editor window
#define IDC_EDITOR_ADD 1001
#define IDC_EDITOR_REMOVE 1002
#define IDC_EDITOR_DONE 1003
#define IDC_EDITOR_LIST 1004
#define IDM_FILE_NEW 1101
#define IDM_FILE_LOAD 1102
#define IDM_FILE_ADD_PATH 1105
#define IDM_HELP_ABOUT 1103
#define IDM_HELP_LICENSE 1104

// The destination picker window
#define IDC_PICKER_DRIVE 2001
#define IDC_PICKER_HINT 2002
#define IDC_PICKER_FOLDERS 2003
#define IDC_PICKER_ADD 2004
#define IDC_PICKER_FINISHED 2005
#define IDC_PICKER_PATH_LABEL 2006
#define IDC_PICKER_PATH 2007

// The distribution window
#define IDC_DIST_HEADING 3001
#define IDC_DIST_SOURCE 3002
#define IDC_DIST_TARGET_HEADING 3003
#define IDC_DIST_TARGET 3004
#define IDC_DIST_CANCEL 3005
#define IDC_DIST_STATUS 3006
#define IDC_DIST_NOTES 3010
#define IDC_DIST_PROGRESS 3011
#define IDC_DIST_PROGRESS_TEXT 3012
// The list menu: element i of the list chooser has the command id IDM_LIST_FIRST + i.
#define IDM_LIST_FIRST 4000
#define IDM_LIST_LAST (IDM_LIST_FIRST + 32766)
