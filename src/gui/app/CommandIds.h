#pragma once
// Command ids of the main window's menu, toolbar and keys. Each QAction carries its id in
// QAction::data(); the command table, the window and the tests address commands by id.

namespace CommandId
{
constexpr int FileOpen = 57601;
constexpr int OpenFolder = 32772;
constexpr int FileSave = 57603;
constexpr int NextDocument = 32774;
constexpr int DeleteFile = 32795;
constexpr int FilePrint = 57607;
constexpr int FilePrintPreview = 57609;
constexpr int FilePageSetup = 57606;
constexpr int AppExit = 57665;
constexpr int Reprocess = 32810;

constexpr int EditUndo = 57643;
constexpr int EditRedo = 57644;
constexpr int EditCut = 57635;
constexpr int EditCopy = 57634;
constexpr int EditPaste = 57637;
constexpr int EditSelectAll = 57642;
constexpr int EditFind = 57636;
constexpr int EditRepeat = 57640;
constexpr int EditReplace = 57641;

constexpr int UpdateToc = 32789;
constexpr int ViewToolbar = 59392;
constexpr int ViewTocPanel = 32792;
constexpr int ViewStatusBar = 59393;
constexpr int SwitchFocus = 32811;

constexpr int InsertTocTag = 32796;
constexpr int UpperCase = 32778;
constexpr int LowerCase = 32779;
constexpr int DeleteTocEntries = 32781;
constexpr int MakeBak = 32784;
constexpr int AutoSave = 32786;
constexpr int DocKindsDict = 32800;
constexpr int UpperCaseWordsDict = 32798;
constexpr int Options = 32793;

// The remarks on the table of contents and the mend of a missed heading.
constexpr int NextRemark = 32820;
constexpr int AddHeadingToToc = 32821;

constexpr int HelpIndex = 57667;
constexpr int AppAbout = 57664;
} // namespace CommandId
