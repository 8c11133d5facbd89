#pragma once
// The dialog of the level filter: one check box per level 1 to 8, "Все" ticks every box, "Сброс"
// clears them, and a double click on a box leaves only that level ticked.

#include "core/entries/CContentFilter.h"

#include <QDialog>

#include <array>
#include <cstdint>

class CDblClickButton;

class CFilterDlg : public QDialog
{
    Q_OBJECT
public:
    explicit CFilterDlg(QWidget* parent = nullptr);

    // Shows m_levelShown in the check boxes.
    void ShowFlags();
    // Reads the check boxes into m_levelShown.
    void ReadFlags();

    // Element i is 1 when level i + 1 is shown.
    std::array<std::int32_t, CContentFilter::kLevelCount> m_levelShown{};
    // The box of level i + 1.
    std::array<CDblClickButton*, CContentFilter::kLevelCount> m_levelBoxes{};

    void accept() override;

private:
    void SetAll(bool shown);
    void ShowOnlyLevel(int index);
};

// Runs the dialog on the filter's flags; on OK the filter takes the dialog's flags and the result is
// true, on Отмена the filter stays as it was.
bool EditFilter(CContentFilter& filter, QWidget* parent);
