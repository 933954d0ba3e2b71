#pragma once
// The program's commands by identifier, their shortcuts, the menus and the toolbar, as
// data: the main window builds itself from these tables.

#include <array>
#include <string_view>

#include "codeplug/text_keys.h"

namespace pl3::command {

inline constexpr int kNew = 57600;
inline constexpr int kOpen = 57601;
inline constexpr int kSave = 57603;
inline constexpr int kSaveAs = 57604;
inline constexpr int kPrintSetup = 57606;
inline constexpr int kPrint = 57607;
inline constexpr int kPrintPreview = 57609;
inline constexpr int kCopy = 57634;
inline constexpr int kPaste = 57637;
inline constexpr int kUndo = 57643;
inline constexpr int kRedo = 57644;
inline constexpr int kAbout = 57664;
inline constexpr int kExit = 57665;
inline constexpr int kReadRadio = 32771;
inline constexpr int kWriteRadio = 32772;
inline constexpr int kCommPort = 32773;
inline constexpr int kLanguage = 32774;
inline constexpr int kHelp = 32775;
inline constexpr int kTestMode = 32779;
inline constexpr int kImportCsv = 32790;
inline constexpr int kExportCsv = 32791;
inline constexpr int kCompare = 32792;
// Settings shown as checked menu items: the same as the progress dialog's check boxes.
inline constexpr int kVerifyAfterWrite = 32795;
inline constexpr int kKeepRadioTuning = 32796;
inline constexpr int kLogCommunication = 32797;
inline constexpr int kWriteSeveralRadios = 32798;
// Channel order on the channel page.
inline constexpr int kInsertChannel = 32810;
inline constexpr int kDeleteChannel = 32811;
inline constexpr int kMoveChannelUp = 32812;
inline constexpr int kMoveChannelDown = 32813;
inline constexpr int kSortByFrequency = 32814;
inline constexpr int kSortByName = 32815;
// The last toolbar button: no command handles it, so it always shows disabled.
inline constexpr int kUnhandled = 1;
inline constexpr int kSeparator = 0;

struct Accelerator {
    int command;
    std::string_view keys;
};

// Ctrl+C opens the communication port dialog: the radio dealers' programs always had it so.
// Copy and paste of channel rows use Ctrl+Insert and Shift+Insert instead.
inline constexpr std::array<Accelerator, 14> kAccelerators = {{
    {kNew, "Ctrl+N"},
    {kOpen, "Ctrl+O"},
    {kSave, "Ctrl+S"},
    {kPrint, "Ctrl+P"},
    {kReadRadio, "Ctrl+R"},
    {kWriteRadio, "Ctrl+W"},
    {kTestMode, "Ctrl+T"},
    {kCommPort, "Ctrl+C"},
    {kLanguage, "Ctrl+L"},
    {kUndo, "Ctrl+Z"},
    {kRedo, "Ctrl+Y"},
    {kCopy, "Ctrl+Ins"},
    {kPaste, "Shift+Ins"},
    {kHelp, "F1"},
}};

// Shortcuts that act only while the focus is on the channel page: elsewhere Alt+Up and
// Alt+Down keep their usual meaning (a drop-down list opens with Alt+Down).
inline constexpr std::array<Accelerator, 2> kChannelPageAccelerators = {{
    {kMoveChannelUp, "Alt+Up"},
    {kMoveChannelDown, "Alt+Down"},
}};

struct MenuItem {
    int command;  // kSeparator for a separator
    std::string_view textKey;
};

struct Menu {
    std::string_view textKey;
    std::array<MenuItem, 16> items;  // ends at the first {0, {}} after the last item
};

inline constexpr MenuItem kEnd{kSeparator, {}};
inline constexpr MenuItem kLine{kSeparator, "-"};

// The top-level menus by position.
inline constexpr std::array<Menu, 5> kMenus = {{
    {text_key::kMenuFile,
     {{{kNew, text_key::kMenuFileNew},
       {kOpen, text_key::kMenuFileOpen},
       {kSave, text_key::kMenuFileSave},
       {kSaveAs, text_key::kMenuFileSaveAs},
       kLine,
       {kImportCsv, text_key::kMenuFileImportCsv},
       {kExportCsv, text_key::kMenuFileExportCsv},
       {kCompare, text_key::kMenuFileCompare},
       kLine,
       {kPrint, text_key::kMenuFilePrint},
       {kPrintPreview, text_key::kMenuFilePrintPreview},
       {kPrintSetup, text_key::kMenuFilePrintSetup},
       kLine,
       {kExit, text_key::kMenuAppExit},
       kEnd}}},
    {text_key::kMenuEdit,
     {{{kUndo, text_key::kMenuEditUndo},
       {kRedo, text_key::kMenuEditRedo},
       kLine,
       {kCopy, text_key::kMenuEditCopy},
       {kPaste, text_key::kMenuEditPaste},
       kLine,
       {kInsertChannel, text_key::kMenuEditInsertChannel},
       {kDeleteChannel, text_key::kMenuEditDeleteChannel},
       {kMoveChannelUp, text_key::kMenuEditMoveChannelUp},
       {kMoveChannelDown, text_key::kMenuEditMoveChannelDown},
       kLine,
       {kSortByFrequency, text_key::kMenuEditSortByFrequency},
       {kSortByName, text_key::kMenuEditSortByName},
       kEnd}}},
    {text_key::kMenuProgram,
     {{{kReadRadio, text_key::kMenuProgramReadData},
       {kWriteRadio, text_key::kMenuProgramWriteData},
       {kWriteSeveralRadios, text_key::kMenuProgramWriteSeveral},
       {kVerifyAfterWrite, text_key::kMenuProgramVerifyAfterWrite},
       {kKeepRadioTuning, text_key::kMenuProgramKeepTuning},
       kLine,
       {kTestMode, text_key::kMenuProgramTestMode},
       kEnd}}},
    {text_key::kMenuSetting,
     {{{kCommPort, text_key::kMenuSettingPort},
       {kLanguage, text_key::kMenuSettingLanguage},
       kLine,
       {kLogCommunication, text_key::kMenuSettingLogCommunication},
       kEnd}}},
    {text_key::kMenuHelp,
     {{{kHelp, text_key::kMenuHelpHelp}, {kAbout, text_key::kMenuAppAbout}, kEnd}}},
}};

inline constexpr std::array<int, 14> kToolbar = {
    kNew,       kOpen,       kSave,      kSeparator, kUndo,      kRedo, kSeparator,
    kReadRadio, kWriteRadio, kSeparator, kPrint,     kSeparator, kHelp, kUnhandled};

inline constexpr int kRecentFileCount = 4;
// The key under which the platform keeps the recent-file list.
inline constexpr std::string_view kRecentFilesKey = "Korvel PL-3 radio program software";

}  // namespace pl3::command
