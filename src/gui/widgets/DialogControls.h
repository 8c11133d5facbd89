#pragma once
// Small builders for the controls the dictionary dialogs share, and the width every dialog needs
// for its title.

#include <QString>

class QHBoxLayout;
class QLabel;
class QLineEdit;
class QPushButton;
class QWidget;

// The width a title bar needs to show the window's whole title: the title in a bold font a little
// larger than the program's (as desktops draw titles), the window's icon and three buttons.
int TitleBarWidth(const QWidget& window);
// Makes a window (after its layout is built) at least as wide as its title bar needs. A window
// whose layout fixes its size keeps a fixed size, widened where the title needs it.
void KeepTitleWhole(QWidget& window);

// A push button with objectName name that Enter does not press unless it is made the default.
QPushButton* MakeDialogButton(const QString& text, const char* name, QWidget* parent);

// The row a new entry is typed in: label (the edit's buddy), the edit stretched, and the add button.
QHBoxLayout* MakeEntryRow(QLabel* label, QLineEdit* edit, QPushButton* addButton);
