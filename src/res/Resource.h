#pragma once

// Resource ids: the icon, the dialog templates and their controls.

enum { IDR_MAINFRAME = 100 };

enum {
    IDD_PELKAR_DIALOG = 200,
    IDD_ABOUTBOX = 201,
    IDD_SETTINGS = 202,
    IDD_ACTION = 203,
    IDD_REPORT = 204
};

// Main window (template 200).
enum {
    IDC_ACTION_LIST = 1000,
    IDC_ADD = 1001,
    IDC_EDIT_ACTION = 1002,
    IDC_CONFIGURATION = 1003,
    IDC_COPY = 1004,
    IDC_REMOVE = 1006,
    IDC_REMOVE_ALL = 1008,
    IDC_MOVE_UP = 1010,
    IDC_MOVE_DOWN = 1013,
    IDC_ABOUT = 1015,
    IDC_EXIT = 1017,
    IDC_COMMAND = 1019
};

// The main window's system-menu entry that opens the About box.
enum { IDM_ABOUTBOX = 16 };

// About box (template 201).
enum {
    IDC_CLOSE = 1070,
    IDC_ABOUT_LINE1 = 1071,
    IDC_ABOUT_LINE2 = 1072,
    IDC_VISIT_WEB_SITE = 1073
};

// Report window (template 204).
enum { IDC_REPORT_TEXT = 1080, IDC_REPORT_OK = 1081 };

// OK and Cancel of the settings dialog and the action editor.
enum { IDC_OK_BUTTON = 900, IDC_CANCEL_BUTTON = 901 };

// Settings dialog (template 202).
enum {
    IDC_BROWSE_RTVEDIT = 1005,
    IDC_RTVEDIT_PATH = 1007,
    IDC_LOGGING_PATH = 1011,
    IDC_BROWSE_EVTDUMP = 1012,
    IDC_TEMP_PATH = 1013,
    IDC_EVTDUMP_PATH = 1016,
    IDC_FFMPEG_PATH = 1021,
    IDC_BROWSE_FFMPEG = 1023,
    IDC_BROWSE_LOG_FILE = 1025,
    IDC_BROWSE_TEMP_DIRECTORY = 1026,
    IDC_LOGGING = 1068
};

// Action editor (template 203).
enum {
    IDC_NAME = 1046,
    IDC_OUTPUT_DIRECTORY = 1047,
    IDC_STRIP_COMMERCIALS = 1048,
    IDC_BROWSE_OUTPUT_DIRECTORY = 1050,
    IDC_OUTPUT_FILENAME = 1064,
    IDC_TWO_PASS = 1065,
    IDC_WILDCARD_HINT = 1066,
    IDC_AUDIO_ONLY = 1067,
    IDC_PLACEHOLDERS = 1069,
    IDC_REMOVE_SOURCE = 1103
};

// The action editor's filter rows: one per recording field, in the fields' fixed order (mpeg,
// title, episode, startdate, starttime, dur, showid, dname, dcat, dchan, rname, rcat, rchan).
struct SFilterRowIds {
    int check;
    int edit;
    int label;
};

constexpr SFilterRowIds kFilterRowIds[] = {
    {1033, 1009, 1051}, {1034, 1014, 1052}, {1036, 1020, 1053}, {1035, 1018, 1054},
    {1037, 1022, 1055}, {1038, 1024, 1056}, {1039, 1026, 1057}, {1041, 1027, 1058},
    {1040, 1028, 1059}, {1042, 1029, 1060}, {1043, 1030, 1061}, {1044, 1031, 1062},
    {1045, 1032, 1063}};
