#pragma once
// Every key the program looks up in a language file, in one place. The shipped
// language files must define each "String" key listed here (a test checks it).

#include <array>
#include <string_view>

namespace pl3::text_key {

// Main window, status bar and toolbar.
inline constexpr std::string_view kWindowName = "IDS_WINDOWNAME";
inline constexpr std::string_view kCompanyName = "IDS_COMPANYNAME";
inline constexpr std::string_view kFreqRange = "IDS_FREQRANGE";
inline constexpr std::string_view kFileVersion = "IDS_FILEVERSION";
inline constexpr std::string_view kTooltipFormat = "IDS_TIP_%d";

// Words shown in cells, lists and choices.
inline constexpr std::string_view kOn = "IDS_ON";
inline constexpr std::string_view kOff = "IDS_OFF";
inline constexpr std::string_view kYes = "IDS_YES";
inline constexpr std::string_view kNo = "IDS_NO";
inline constexpr std::string_view kNarrow = "IDS_NARROW";
inline constexpr std::string_view kWide = "IDS_WIDE";
inline constexpr std::string_view kLow = "IDS_LOW";
inline constexpr std::string_view kHigh = "IDS_HIGH";
inline constexpr std::string_view kTalkaround = "IDS_TALKAROUND";
inline constexpr std::string_view kRepeater = "IDS_REPEATER";

// Tab captions.
inline constexpr std::string_view kChannel = "IDS_CHANNEL";
inline constexpr std::string_view kFunction1 = "IDS_FUNCTION1";
inline constexpr std::string_view kFunction2 = "IDS_FUNCTION2";

// Document prompts.
inline constexpr std::string_view kPrompt = "IDS_PROMPT";
inline constexpr std::string_view kWarnClear = "IDS_WARN_CLEAR";
inline constexpr std::string_view kWarnLoad = "IDS_WARN_LOAD";
inline constexpr std::string_view kWarnSave = "IDS_WARN_SAVE";
inline constexpr std::string_view kWarnIncomplete = "IDS_WARN_INCOMPLETE";
inline constexpr std::string_view kAskSaveChanges = "IDS_ASK_SAVECHANGES";
inline constexpr std::string_view kErrorOpenFile = "IDS_ERROR_OPENFILE";
inline constexpr std::string_view kErrorSaveFile = "IDS_ERROR_SAVEFILE";
// A save refused because the path names a device, FIFO or socket; the path follows.
inline constexpr std::string_view kErrorNotRegularFile = "IDS_ERROR_NOTREGULARFILE";
// A saved file with further hard links; the path and their number follow.
inline constexpr std::string_view kWarnHardLinks = "IDS_WARN_HARDLINKS";
// Before writing a codeplug loaded from an incomplete file to the radio.
inline constexpr std::string_view kAskWriteIncomplete = "IDS_ASK_WRITE_INCOMPLETE";
inline constexpr std::string_view kErrorPrint = "IDS_ERROR_PRINT";
// A data file longer than the format: the bytes after it are not kept when it is saved.
inline constexpr std::string_view kWarnFileLonger = "IDS_WARN_FILE_LONGER";
inline constexpr std::string_view kConfirm = "IDS_CONFIRM";
inline constexpr std::string_view kConfirmFreq = "IDS_CONFIRM_FREQ";

// Radio jobs.
inline constexpr std::string_view kReadData = "IDS_READDATA";
inline constexpr std::string_view kWriteData = "IDS_WRITEDATA";
inline constexpr std::string_view kPromptRead = "IDS_PROMPT_READ";
inline constexpr std::string_view kPromptWrite = "IDS_PROMPT_WRITE";
inline constexpr std::string_view kPromptReadFail = "IDS_PROMPT_READFAIL";
inline constexpr std::string_view kPromptWriteFail = "IDS_PROMPT_WRITEFAIL";
inline constexpr std::string_view kPromptReadSucc = "IDS_PROMPT_READSUCC";
inline constexpr std::string_view kPromptWriteSucc = "IDS_PROMPT_WRITESUCC";
inline constexpr std::string_view kPromptReadTestSucc = "IDS_PROMPT_READTESTSUCC";
inline constexpr std::string_view kPromptWriteTestSucc = "IDS_PROMPT_WRITETESTSUCC";
inline constexpr std::string_view kSearchComPort = "IDS_SEARCHCOMPORT";
inline constexpr std::string_view kError = "IDS_ERROR";
inline constexpr std::string_view kErrorPortConn = "IDS_ERROR_PORTCONN";
inline constexpr std::string_view kErrorType = "IDS_ERROR_TYPE";
// A service-mode transfer stopped by the user.
inline constexpr std::string_view kPromptCancelled = "IDS_PROMPT_CANCELLED";
// A service-mode whole-image write stopped part-way: "%d" marks the blocks written, then
// the block count.
inline constexpr std::string_view kServiceWriteStopped = "IDS_SERVICE_WRITE_STOPPED";

// setting.ini: a write that failed (the file follows), a file that is not text, and the
// frequency-range entries that are skipped (the file and the entries follow).
inline constexpr std::string_view kWarnSettingsWrite = "IDS_WARN_SETTINGS_WRITE";
inline constexpr std::string_view kWarnSettingsText = "IDS_WARN_SETTINGS_TEXT";
inline constexpr std::string_view kWarnSettingsRange = "IDS_WARN_SETTINGS_RANGE";

// Backups, verify after write and compare. A verify failure's text is followed by the
// first differing address; the backup warning by the folder and the reason.
inline constexpr std::string_view kWarnBackup = "IDS_WARN_BACKUP";
inline constexpr std::string_view kVerifyAfterWrite = "IDS_VERIFY_AFTER_WRITE";
inline constexpr std::string_view kPromptVerify = "IDS_PROMPT_VERIFY";
inline constexpr std::string_view kPromptVerifyFail = "IDS_PROMPT_VERIFYFAIL";
inline constexpr std::string_view kPromptVerifyReadFail = "IDS_PROMPT_VERIFYREADFAIL";
// Keeping the radio's tuning values on a write: the check box and menu item, why nothing
// was written, and pl3ctl's note that the file's values differ from the radio's.
inline constexpr std::string_view kKeepRadioTuning = "IDS_KEEP_TUNING";
inline constexpr std::string_view kPromptTuningReadFail = "IDS_PROMPT_TUNINGREADFAIL";
inline constexpr std::string_view kCliTuningKept = "IDS_CLI_TUNING_KEPT";
// Above the two scan-list boxes of the radio page.
inline constexpr std::string_view kScanChannelsCaption = "IDS_SCAN_CHANNELS";
inline constexpr std::string_view kScanMembersCaption = "IDS_SCAN_MEMBERS";
// The buttons of a failed transfer.
inline constexpr std::string_view kButtonRetry = "IDS_BUTTON_RETRY";
inline constexpr std::string_view kButtonClose = "IDS_BUTTON_CLOSE";
// Why a serial port could not be opened; "%s" is the device path.
inline constexpr std::string_view kPortMissing = "IDS_PORT_MISSING";
inline constexpr std::string_view kPortNotConfigured = "IDS_PORT_NOT_CONFIGURED";
inline constexpr std::string_view kPortBusy = "IDS_PORT_BUSY";
inline constexpr std::string_view kPortPermissionGroup = "IDS_PORT_PERMISSION_GROUP";
inline constexpr std::string_view kPortPermissionRoot = "IDS_PORT_PERMISSION_ROOT";
inline constexpr std::string_view kPortNotSerial = "IDS_PORT_NOT_SERIAL";
inline constexpr std::string_view kPortOpenFailed = "IDS_PORT_OPEN_FAILED";
// The port dialog: the heading over the devices past COM8, the tooltip of a device no
// number names yet ("%s" is the number it would get), and the advice when no device exists.
inline constexpr std::string_view kPortOtherDevices = "IDS_PORT_OTHER_DEVICES";
inline constexpr std::string_view kPortNewNumber = "IDS_PORT_NEW_NUMBER";
inline constexpr std::string_view kPortNoneFound = "IDS_PORT_NONE_FOUND";
inline constexpr std::string_view kDiffSame = "IDS_DIFF_SAME";
// The About box's line before the backups folder.
inline constexpr std::string_view kBackupFolder = "IDS_BACKUP_FOLDER";
// The About box and --version: the folders in use, each followed by its path.
inline constexpr std::string_view kProgramFolder = "IDS_PROGRAM_FOLDER";
inline constexpr std::string_view kUserSettingsFile = "IDS_USER_SETTINGS_FILE";
inline constexpr std::string_view kUserLanguageFolder = "IDS_USER_LANGUAGE_FOLDER";
// The conversation log, when logging is on: the About box and the failure messages name
// the file of the last transfer (the folder before any), followed by its path.
inline constexpr std::string_view kLogFile = "IDS_LOG_FILE";
inline constexpr std::string_view kLogNotWritten = "IDS_LOG_NOT_WRITTEN";
inline constexpr std::string_view kLogFolder = "IDS_LOG_FOLDER";
// Help ▸ Help when no manual exists for the language; the files looked for follow.
inline constexpr std::string_view kNoHelp = "IDS_NO_HELP";
inline constexpr std::string_view kDiffCount = "IDS_DIFF_COUNT";  // "%d" marks the count
// Compare in the pages' words: a channel ("%d") and its column heading ("%s"); a channel
// alone; an FM preset ("%s" its heading, "%d" its number); a value the page shows blank;
// one difference ("%s" item, open value, other value); the group of what no page shows.
inline constexpr std::string_view kDiffChannelField = "IDS_DIFF_CHANNEL_FIELD";
inline constexpr std::string_view kDiffChannel = "IDS_DIFF_CHANNEL";
inline constexpr std::string_view kDiffPreset = "IDS_DIFF_PRESET";
inline constexpr std::string_view kDiffEmpty = "IDS_DIFF_EMPTY";
inline constexpr std::string_view kDiffLine = "IDS_DIFF_LINE";
inline constexpr std::string_view kDiffUnshown = "IDS_DIFF_UNSHOWN";

// Command-line tool.
inline constexpr std::string_view kCliUnknownField = "IDS_CLI_UNKNOWN_FIELD";
inline constexpr std::string_view kCliBadValue = "IDS_CLI_BAD_VALUE";
inline constexpr std::string_view kCliFieldRefused = "IDS_CLI_FIELD_REFUSED";
// pl3ctl write of a codeplug from an incomplete file without --force; the path follows.
inline constexpr std::string_view kCliWriteIncomplete = "IDS_CLI_WRITE_INCOMPLETE";
// pl3ctl --log FILE: the file cannot be written; the file and the reason follow.
inline constexpr std::string_view kCliLogFile = "IDS_CLI_LOG_FILE";
// pl3ctl read: the output folder is missing or not writable; the folder follows.
inline constexpr std::string_view kCliOutputFolder = "IDS_CLI_OUTPUT_FOLDER";
// A job stopped by a signal: "%d" marks the blocks done and the block count.
inline constexpr std::string_view kCliWriteStopped = "IDS_CLI_WRITE_STOPPED";
inline constexpr std::string_view kCliWriteStoppedUnchanged = "IDS_CLI_WRITE_STOPPED_UNCHANGED";
inline constexpr std::string_view kCliReadStopped = "IDS_CLI_READ_STOPPED";
// Which backup holds what; the path follows.
inline constexpr std::string_view kCliBackupOfWrite = "IDS_CLI_BACKUP_OF_WRITE";
inline constexpr std::string_view kCliBackupOfRead = "IDS_CLI_BACKUP_OF_READ";
inline constexpr std::string_view kCliNoBackup = "IDS_CLI_NO_BACKUP";
inline constexpr std::string_view kCliBadPort = "IDS_CLI_BAD_PORT";
// The conversation log lacks part of the conversation; why and the file follow.
inline constexpr std::string_view kLogIncomplete = "IDS_LOG_INCOMPLETE";
// pl3ctl --log FILE refused: one of the command's own files, not a regular file, an
// existing file that is no earlier log; the file follows.
inline constexpr std::string_view kCliLogInUse = "IDS_CLI_LOG_IN_USE";
inline constexpr std::string_view kCliLogNotAFile = "IDS_CLI_LOG_NOT_A_FILE";
inline constexpr std::string_view kCliLogNotALog = "IDS_CLI_LOG_NOT_A_LOG";

// Channel-list import: the report's summary and row prefix ("%d" marks the numbers),
// then what a note says about the whole text, a skipped row or an adjusted row.
inline constexpr std::string_view kCsvSummary = "IDS_CSV_SUMMARY";
// The file filter of the channel-list file dialogs.
inline constexpr std::string_view kCsvFilter = "IDS_CSV_FILTER";
inline constexpr std::string_view kCsvRow = "IDS_CSV_ROW";
inline constexpr std::string_view kCsvMoreNotes = "IDS_CSV_MORE_NOTES";
inline constexpr std::string_view kCsvNotAList = "IDS_CSV_NOT_A_LIST";
inline constexpr std::string_view kCsvTooLarge = "IDS_CSV_TOO_LARGE";
inline constexpr std::string_view kCsvSkipLocation = "IDS_CSV_SKIP_LOCATION";
inline constexpr std::string_view kCsvSkipDuplicate = "IDS_CSV_SKIP_DUPLICATE";
inline constexpr std::string_view kCsvSkipFrequency = "IDS_CSV_SKIP_FREQUENCY";
inline constexpr std::string_view kCsvSkipOffset = "IDS_CSV_SKIP_OFFSET";
inline constexpr std::string_view kCsvSkipDuplex = "IDS_CSV_SKIP_DUPLEX";
inline constexpr std::string_view kCsvSkipFixedEmpty = "IDS_CSV_SKIP_FIXED_EMPTY";
inline constexpr std::string_view kCsvSkipQuote = "IDS_CSV_SKIP_QUOTE";
inline constexpr std::string_view kCsvFixedRx = "IDS_CSV_FIXED_RX";
inline constexpr std::string_view kCsvFixedBandwidth = "IDS_CSV_FIXED_BANDWIDTH";
inline constexpr std::string_view kCsvFixedTalkaround = "IDS_CSV_FIXED_TALKAROUND";
inline constexpr std::string_view kCsvClamped = "IDS_CSV_CLAMPED";
inline constexpr std::string_view kCsvRounded = "IDS_CSV_ROUNDED";
inline constexpr std::string_view kCsvToneUnsupported = "IDS_CSV_TONE_UNSUPPORTED";
inline constexpr std::string_view kCsvToneMode = "IDS_CSV_TONE_MODE";
inline constexpr std::string_view kCsvName = "IDS_CSV_NAME";
inline constexpr std::string_view kCsvMode = "IDS_CSV_MODE";
inline constexpr std::string_view kCsvPower = "IDS_CSV_POWER";
inline constexpr std::string_view kCsvPowerInWatts = "IDS_CSV_POWER_IN_WATTS";
inline constexpr std::string_view kCsvSkipPastLastChannel = "IDS_CSV_SKIP_PAST_LAST_CHANNEL";

// Channel order: an insert that would push out a used last channel.
inline constexpr std::string_view kLastChannelInUse = "IDS_LAST_CHANNEL_IN_USE";
// Help and the About box's links when no program can show the file; the path follows.
inline constexpr std::string_view kNoManualViewer = "IDS_NO_MANUAL_VIEWER";
inline constexpr std::string_view kNoFileViewer = "IDS_NO_FILE_VIEWER";
// The port dialog's "Other device…": its caption, the button that opens the file chooser
// and its title, and why a device is refused ("%s" marks the path; a missing one is told
// by kPortMissing).
inline constexpr std::string_view kPortOtherDevice = "IDS_PORT_OTHER_DEVICE";
inline constexpr std::string_view kPortBrowse = "IDS_PORT_BROWSE";
inline constexpr std::string_view kPortChooseDevice = "IDS_PORT_CHOOSE_DEVICE";
inline constexpr std::string_view kPortOtherEmpty = "IDS_PORT_OTHER_EMPTY";
inline constexpr std::string_view kPortOtherNotDevice = "IDS_PORT_OTHER_NOT_DEVICE";
inline constexpr std::string_view kPortOtherNoNumber = "IDS_PORT_OTHER_NO_NUMBER";
// Channel-list import: a name cut to six characters (kept apart from the list's other
// names), and a transmit tone a talkaround channel does not carry; the values follow.
inline constexpr std::string_view kCsvNameShortened = "IDS_CSV_NAME_SHORTENED";
inline constexpr std::string_view kCsvTalkaroundTone = "IDS_CSV_TALKAROUND_TONE";

// Menus: the top-level menus, then the commands.
inline constexpr std::string_view kMenuFile = "Menu_File";
inline constexpr std::string_view kMenuProgram = "Menu_Program";
inline constexpr std::string_view kMenuSetting = "Menu_Setting";
inline constexpr std::string_view kMenuHelp = "Menu_Help";
inline constexpr std::string_view kMenuEdit = "Menu_Edit";
inline constexpr std::string_view kMenuEditUndo = "Menu_Edit_Undo";
inline constexpr std::string_view kMenuEditRedo = "Menu_Edit_Redo";
inline constexpr std::string_view kMenuEditCopy = "Menu_Edit_Copy";
inline constexpr std::string_view kMenuEditPaste = "Menu_Edit_Paste";
inline constexpr std::string_view kMenuFileImportCsv = "Menu_File_ImportCsv";
inline constexpr std::string_view kMenuFileExportCsv = "Menu_File_ExportCsv";
inline constexpr std::string_view kMenuFileCompare = "Menu_File_Compare";
inline constexpr std::string_view kMenuFileNew = "Menu_File_New";
inline constexpr std::string_view kMenuFileOpen = "Menu_File_Open";
inline constexpr std::string_view kMenuFileSave = "Menu_File_Save";
inline constexpr std::string_view kMenuFileSaveAs = "Menu_File_Save_As";
inline constexpr std::string_view kMenuFilePrint = "Menu_File_Print";
inline constexpr std::string_view kMenuFilePrintPreview = "Menu_File_Print_Preview";
inline constexpr std::string_view kMenuFilePrintSetup = "Menu_File_Print_Setup";
inline constexpr std::string_view kMenuAppExit = "Menu_App_Exit";
inline constexpr std::string_view kMenuProgramReadData = "Menu_Program_ReadData";
inline constexpr std::string_view kMenuProgramWriteData = "Menu_Program_WriteData";
inline constexpr std::string_view kMenuProgramTestMode = "Menu_Program_TestMode";
inline constexpr std::string_view kMenuProgramVerifyAfterWrite = "Menu_Program_VerifyAfterWrite";
inline constexpr std::string_view kMenuProgramKeepTuning = "Menu_Program_KeepTuning";
inline constexpr std::string_view kMenuSettingPort = "Menu_Setting_Port";
inline constexpr std::string_view kMenuSettingLanguage = "Menu_Setting_Language";
inline constexpr std::string_view kMenuSettingLogCommunication = "Menu_Setting_LogCommunication";
inline constexpr std::string_view kMenuHelpHelp = "Menu_Help_Help";
inline constexpr std::string_view kMenuAppAbout = "Menu_App_About";
inline constexpr std::string_view kMenuEditInsertChannel = "Menu_Edit_InsertChannel";
inline constexpr std::string_view kMenuEditDeleteChannel = "Menu_Edit_DeleteChannel";
inline constexpr std::string_view kMenuEditMoveChannelUp = "Menu_Edit_MoveChannelUp";
inline constexpr std::string_view kMenuEditMoveChannelDown = "Menu_Edit_MoveChannelDown";
inline constexpr std::string_view kMenuEditSortByFrequency = "Menu_Edit_SortByFrequency";
inline constexpr std::string_view kMenuEditSortByName = "Menu_Edit_SortByName";
// The tuning dialog's own menu bar.
inline constexpr std::string_view kMenuProgramRead = "Menu_Program_Read";
inline constexpr std::string_view kMenuProgramCopy = "Menu_Program_Copy";
inline constexpr std::string_view kMenuProgramReadTestData = "Menu_Program_ReadTestData";
inline constexpr std::string_view kMenuProgramWriteTestData = "Menu_Program_WriteTestData";
// Where a verify found the first difference, after its address: the channel or setting.
inline constexpr std::string_view kVerifyPlace = "IDS_VERIFY_PLACE";
// The status line after a transfer that ended well: what was done, on which port, when.
inline constexpr std::string_view kDoneRead = "IDS_DONE_READ";
inline constexpr std::string_view kDoneWritten = "IDS_DONE_WRITTEN";
inline constexpr std::string_view kDoneVerified = "IDS_DONE_VERIFIED";
// Writing several radios at once: a line per radio, the summary, the production line.
inline constexpr std::string_view kFleetWritten = "IDS_FLEET_WRITTEN";
inline constexpr std::string_view kFleetWrittenVerified = "IDS_FLEET_WRITTEN_VERIFIED";
inline constexpr std::string_view kFleetStopped = "IDS_FLEET_STOPPED";
inline constexpr std::string_view kFleetUnplugged = "IDS_FLEET_UNPLUGGED";
inline constexpr std::string_view kFleetPortNotOpened = "IDS_FLEET_PORT_NOT_OPENED";
inline constexpr std::string_view kFleetNoRadio = "IDS_FLEET_NO_RADIO";
inline constexpr std::string_view kFleetWrongRadio = "IDS_FLEET_WRONG_RADIO";
inline constexpr std::string_view kFleetWriteFailed = "IDS_FLEET_WRITE_FAILED";
inline constexpr std::string_view kFleetTuningReadFailed = "IDS_FLEET_TUNING_READ_FAILED";
inline constexpr std::string_view kFleetVerifyDiffers = "IDS_FLEET_VERIFY_DIFFERS";
inline constexpr std::string_view kFleetVerifyReadFailed = "IDS_FLEET_VERIFY_READ_FAILED";
inline constexpr std::string_view kFleetBlocks = "IDS_FLEET_BLOCKS";
inline constexpr std::string_view kFleetNotVerified = "IDS_FLEET_NOT_VERIFIED";
inline constexpr std::string_view kFleetTuningKept = "IDS_FLEET_TUNING_KEPT";
inline constexpr std::string_view kFleetTuningWritten = "IDS_FLEET_TUNING_WRITTEN";
inline constexpr std::string_view kFleetBackup = "IDS_FLEET_BACKUP";
inline constexpr std::string_view kFleetNoBackup = "IDS_FLEET_NO_BACKUP";
inline constexpr std::string_view kFleetSeparator = "IDS_FLEET_SEPARATOR";
inline constexpr std::string_view kFleetSummaryNone = "IDS_FLEET_SUMMARY_NONE";
inline constexpr std::string_view kFleetSummaryOne = "IDS_FLEET_SUMMARY_ONE";
inline constexpr std::string_view kFleetSummary = "IDS_FLEET_SUMMARY";
inline constexpr std::string_view kFleetCountVerified = "IDS_FLEET_COUNT_VERIFIED";
inline constexpr std::string_view kFleetCountWritten = "IDS_FLEET_COUNT_WRITTEN";
inline constexpr std::string_view kFleetCountFailed = "IDS_FLEET_COUNT_FAILED";
inline constexpr std::string_view kFleetCountStopped = "IDS_FLEET_COUNT_STOPPED";
inline constexpr std::string_view kFleetWatching = "IDS_FLEET_WATCHING";
inline constexpr std::string_view kCliLogOneRadio = "IDS_CLI_LOG_ONE_RADIO";
inline constexpr std::string_view kCliNoPorts = "IDS_CLI_NO_PORTS";

// Where the radio stands after a stop or a failure ("%d" marks the blocks done and the
// block count), and the newest read backup ("%s" marks its date and time, then its port;
// the path follows).
inline constexpr std::string_view kWriteStoppedWhole = "IDS_WRITE_STOPPED_WHOLE";
inline constexpr std::string_view kWriteFailedAfterBlock = "IDS_WRITE_FAILED_AFTER_BLOCK";
inline constexpr std::string_view kWriteFailedAtFirstBlock = "IDS_WRITE_FAILED_AT_FIRST_BLOCK";
inline constexpr std::string_view kBackupOfNewestRead = "IDS_BACKUP_OF_NEWEST_READ";
inline constexpr std::string_view kBackupOfNewestReadPort = "IDS_BACKUP_OF_NEWEST_READ_PORT";
// No port opened, so the radio was never asked; why follows.
inline constexpr std::string_view kPortNotOpened = "IDS_PORT_NOT_OPENED";
// A write that kept the radio's tuning block found it blank.
inline constexpr std::string_view kRadioHoldsNoTuning = "IDS_RADIO_HOLDS_NO_TUNING";
inline constexpr std::string_view kCliRadioHoldsNoTuning = "IDS_CLI_RADIO_HOLDS_NO_TUNING";

// Toolbar command identifiers that have a tooltip ("IDS_TIP_%d").
inline constexpr std::array<int, 8> kToolbarTooltipIds = {57600, 57601, 57603, 32771,
                                                          32772, 57607, 32775, 1};

// Files changed by others and saves that fail midway. A save that overwrote part of a file
// (the path, the reason and the file holding the complete new content follow).
inline constexpr std::string_view kErrorSavePartly = "IDS_ERROR_SAVEPARTLY";
// Before saving over the document's own file that another program wrote since.
inline constexpr std::string_view kWarnFileChangedElsewhere = "IDS_WARN_FILE_CHANGED_ELSEWHERE";
// pl3ctl: the codeplug file stayed in use by another pl3ctl for the whole wait.
inline constexpr std::string_view kCliFileInUse = "IDS_CLI_FILE_IN_USE";
// A setting not saved because no per-user folder is known (the places tried follow).
inline constexpr std::string_view kWarnSettingsNoUserFolder = "IDS_WARN_SETTINGS_NO_USER_FOLDER";

// The dialog "Write to several radios" and its production line
inline constexpr std::string_view kMenuProgramWriteSeveral = "Menu_Program_WriteSeveral";
inline constexpr std::string_view kFleetDialogNoPorts = "IDS_FLEET_DIALOG_NO_PORTS";
inline constexpr std::string_view kFleetDialogWaiting = "IDS_FLEET_DIALOG_WAITING";
inline constexpr std::string_view kFleetDialogWatching = "IDS_FLEET_DIALOG_WATCHING";
inline constexpr std::string_view kFleetDialogStopping = "IDS_FLEET_DIALOG_STOPPING";
inline constexpr std::string_view kFleetDialogAskStop = "IDS_FLEET_DIALOG_ASK_STOP";

}  // namespace pl3::text_key

namespace pl3::lang_section {

inline constexpr std::string_view kString = "String";
inline constexpr std::string_view kResource = "Resource";
inline constexpr std::string_view kFace = "Face";
inline constexpr std::string_view kFaceDisplayName = "disp";

// List sections: keys "0", "1", ... until the first missing one.
inline constexpr std::string_view kTestData = "TestData";
inline constexpr std::string_view kRadioMode = "RadioMode";
inline constexpr std::string_view kKeyData = "KeyData";
inline constexpr std::string_view kBackLamp = "BackLamp";
inline constexpr std::string_view kKeyLockMode = "KeyLockMode";
inline constexpr std::string_view kSystemMode = "SystemMode";
inline constexpr std::string_view kTailNoiseMode = "TailNoiseMode";
inline constexpr std::string_view kLcdDisplayMode = "LcdDisplayMode";
inline constexpr std::string_view kPttId = "PttId";
inline constexpr std::string_view kFreqStep = "FreqStep";
inline constexpr std::string_view kOffsetMode = "OffsetMode";

// Column-heading sections and the formats of their keys.
inline constexpr std::string_view kChText = "ChText";
inline constexpr std::string_view kChTextKeyFormat = "IDS_ChText%d";
inline constexpr std::string_view kCtcDcsText = "CtcDcsText";
inline constexpr std::string_view kCtcDcsKeyFormat = "IDS_CtcDcs%d";
inline constexpr std::string_view kRadiogramText = "RadiogramText";
inline constexpr std::string_view kRadiogramKeyFormat = "IDS_RadiogramText%d";

}  // namespace pl3::lang_section
