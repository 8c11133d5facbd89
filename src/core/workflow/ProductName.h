#pragma once
// The program's name as the operator sees it: the caption of every message box, the window title,
// the about box.

inline constexpr const char* kProductName = "Тирвель";
