/* Resource ids of Vantora, one header for the resource script and the C++ code.
   The numbers are fixed: stored settings, help contexts and the program's own
   templates rely on them. Grouped by kind; a control id is unique within its
   dialog only (checked at build time by cmake/CheckDialogIds.cmake). */
#ifndef VANTOR_RESOURCE_IDS_H
#define VANTOR_RESOURCE_IDS_H

/* Labels that no code reaches */
#ifndef IDC_STATIC
#define IDC_STATIC -1
#endif

/* Standard dialog buttons */
#define IDC_OK 1
#define IDC_CANCEL 2
#define IDC_HELP_BUTTON 9

/* Dialog templates */
#define IDD_OPTION 1
#define IDD_WIZARD_STEP1 2
#define IDD_WIZARD_STEP2 4
#define IDD_WIZARD_STEP3_MOUSE 5
#define IDD_WIZARD_STEP3_KEYS 6
#define IDD_MAIN 2000

/* Option dialog (IDD_OPTION): radio buttons 101..108, group boxes 105, 106 */
#define IDC_OPTION_COM1 101
#define IDC_OPTION_COM2 102
#define IDC_OPTION_COM3 103
#define IDC_OPTION_COM4 104
#define IDC_OPTION_PORT_GROUP 105
#define IDC_OPTION_RECEIVER_GROUP 106
#define IDC_OPTION_PELLOW 107
#define IDC_OPTION_KESTREL 108

/* Wizard steps: Next (Finish in the last step) is the standard button 1, Cancel 2, Help 9 */
#define IDC_WIZARD_NEXT 1
#define IDC_WIZARD_FINISH 1
#define IDC_WIZARD_BACK 101

/* "Wizard Step1": learning the remote's codes (IDD_WIZARD_STEP1) */
#define IDC_STEP1_GROUP 101
#define IDC_STEP1_SIGNAL 102
#define IDC_STEP1_LEARN 104
#define IDC_STEP1_STATUS 105
#define IDC_STEP1_ONE_IR 114
#define IDC_STEP1_TWO_IR 115

/* "Wizard Step2": mouse or keyboard (IDD_WIZARD_STEP2) */
#define IDC_STEP2_MOUSE 102
#define IDC_STEP2_KEYBOARD 103
#define IDC_STEP2_GROUP 104

/* "Wizard Step3" for mouse actions (IDD_WIZARD_STEP3_MOUSE) */
#define IDC_STEP3_MOUSE_GROUP 102
#define IDC_STEP3_MOUSE_UP 103
#define IDC_STEP3_MOUSE_DOWN 104
#define IDC_STEP3_MOUSE_ACTION 105
#define IDC_STEP3_MOUSE_RIGHT 106
#define IDC_STEP3_MOUSE_CLICK 107
#define IDC_STEP3_MOUSE_DOUBLE_CLICK 108
#define IDC_STEP3_MOUSE_RIGHT_CLICK 109
#define IDC_STEP3_MOUSE_DOWN_RIGHT 110
#define IDC_STEP3_MOUSE_UP_RIGHT 111
#define IDC_STEP3_MOUSE_UP_LEFT 112
#define IDC_STEP3_MOUSE_DOWN_LEFT 113
#define IDC_STEP3_MOUSE_LEFT 114
#define IDC_STEP3_MOUSE_CLEAR 115

/* "Wizard Step3" for recorded keys (IDD_WIZARD_STEP3_KEYS) */
#define IDC_STEP3_KEYS_GROUP 102
#define IDC_STEP3_KEYS_START 103
#define IDC_STEP3_KEYS_STOP 104
#define IDC_STEP3_KEYS_STATUS 105
#define IDC_STEP3_KEYS_SCRIPT 108
#define IDC_STEP3_KEYS_CLEAR 115

/* Main dialog (IDD_MAIN); Start and Help are the standard buttons 1 and 9 */
#define IDC_MAIN_START 1
#define IDC_MAIN_HELP 9
#define IDC_MAIN_EVENTS_LIST 101
#define IDC_MAIN_UPDATE 102
#define IDC_MAIN_DELETE 119
#define IDC_MAIN_EVENTS_GROUP 123
#define IDC_MAIN_OPTION 124
#define IDC_MAIN_EXIT 126
#define IDC_MAIN_ADD 130

/* Menus: the tray menu's first pop-up holds its items */
#define IDM_TRAY 107
#define IDM_TRAY_EXIT_SYSTEM 19589
#define IDM_TRAY_CANCEL 19590
#define IDM_TRAY_SHOW 19591
#define IDM_TRAY_EXIT 19592

/* Icons and cursors (windows.h owns IDC_HELP, hence the longer name) */
#define IDI_VANTOR 1001
#define IDC_HELP_CURSOR 24000

/* The start sound: a RIFF wave kept under its own resource type */
#define RT_VANTOR_WAVE 260
#define IDW_START_SOUND 1

#endif
