/* Control and resource identifiers of the wizard dialog INSTALL_DLG. Included by
   the resource script as well as by the code, so only plain #defines here. */
#ifndef VORN_WIZARD_CONTROLS_H
#define VORN_WIZARD_CONTROLS_H

/* Icon resources: 1 is the host window's class icon, 2 is painted in the dialog. */
#define ICON_HOST 1
#define ICON_WIZARD 2

/* Buttons and the icon frame; they belong to no page group and never move. */
#define ID_FORWARD 1          /* Next, Yes, Install */
#define ID_CANCEL 2           /* Cancel, No, Abort, Finish */
#define ID_ICON_FRAME 120     /* where icon 2 is painted; never shown */
#define ID_BACK 121           /* hidden and disabled on every page */

/* Welcome group */
#define ID_WELCOME_TEXT 130
#define ID_WELCOME_RUNNING 131
#define ID_WELCOME_CLOSE_APPS 132
#define ID_WELCOME_CONTINUE 133

/* Licence group */
#define ID_LICENCE_INTRO 140
#define ID_LICENCE_TEXT 141
#define ID_LICENCE_QUESTION 142

/* Options group */
#define ID_OPTIONS_FOLDER_NOTE 150
#define ID_OPTIONS_BROWSE_NOTE 151
#define ID_FOLDER_FIELD 152
#define ID_BROWSE 153
#define ID_FOLDER_LABEL 154
#define ID_OPTIONS_HEADING 155
#define ID_BACKUP_FILES 156
#define ID_KEEP_SETTINGS 157
#define ID_CREATE_ICONS 158
#define ID_OPTIONS_INSTALL_NOTE 159

/* Progress group; 171 and 173 only lend their rectangles to the bars. */
#define ID_STATUS_LINE 170
#define ID_FILE_BAR 171
#define ID_PROGRESS_LABEL 172
#define ID_OVERALL_BAR 173

/* Finish group */
#define ID_FINISH_SUCCESS 180
#define ID_FINISH_RUN_NOTE 181
#define ID_FINISH_HELP_NOTE 182
#define ID_OPEN_HELP 183
#define ID_LAUNCH_PROGRAM 184
#define ID_FINISH_END_NOTE 185

#endif
