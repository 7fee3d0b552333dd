/* Resource ids of Vantora, one header for the resource script and the C++ code.
   The numbers are fixed: stored settings, help contexts and the program's own
   templates rely on them. Grouped by kind; a control id is unique within its
   dialog only (checked at build time by cmake/CheckDialogIds.cmake). */
#ifndef VANTOR_RESOURCE_IDS_H
#define VANTOR_RESOURCE_IDS_H

/* Standard dialog buttons */
#define IDC_OK 1
#define IDC_CANCEL 2
#define IDC_HELP_BUTTON 9

/* Dialog templates */
#define IDD_OPTION 1

/* Option dialog (IDD_OPTION): radio buttons 101..108, group boxes 105, 106 */
#define IDC_OPTION_COM1 101
#define IDC_OPTION_COM2 102
#define IDC_OPTION_COM3 103
#define IDC_OPTION_COM4 104
#define IDC_OPTION_PORT_GROUP 105
#define IDC_OPTION_RECEIVER_GROUP 106
#define IDC_OPTION_PELLOW 107
#define IDC_OPTION_KESTREL 108

#endif
