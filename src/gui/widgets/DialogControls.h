#pragma once
// Small builders for the controls the dictionary dialogs share.

#include <QString>

class QHBoxLayout;
class QLabel;
class QLineEdit;
class QPushButton;
class QWidget;

// A push button with objectName name that Enter does not press unless it is made the default.
QPushButton* MakeDialogButton(const QString& text, const char* name, QWidget* parent);

// The row a new entry is typed in: label (the edit's buddy), the edit stretched, and the add button.
QHBoxLayout* MakeEntryRow(QLabel* label, QLineEdit* edit, QPushButton* addButton);
