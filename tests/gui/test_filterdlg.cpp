// The level filter's dialog: the boxes and their columns, "Все", "Сброс", the double click that
// leaves one level, OK and Отмена on the filter.

#include "GuiTestSupport.h"
#include "gui/panel/CFilterDlg.h"
#include "gui/widgets/CDblClickButton.h"

#include <QtTest>

#include <functional>

namespace
{
using Flags = std::array<std::int32_t, CContentFilter::kLevelCount>;

Flags Ticked(const CFilterDlg& dialog)
{
    Flags flags{};
    for (std::size_t i = 0; i < flags.size(); ++i)
        flags[i] = dialog.m_levelBoxes[i]->isChecked() ? 1 : 0;
    return flags;
}

// Runs EditFilter with the operator's actions done on the dialog once it is shown.
bool RunEditFilter(CContentFilter& filter, const std::function<void(CFilterDlg&)>& actions)
{
    ActOnFilterDialog(actions);
    return EditFilter(filter, nullptr);
}
} // namespace

class FilterDlgTest : public QObject
{
    Q_OBJECT

private slots:
    void BoxesStandInTwoColumns()
    {
        CFilterDlg dialog;
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Отображаемые пункты оглавления"));
        for (int i = 0; i < CContentFilter::kLevelCount; ++i)
        {
            const CDblClickButton* box = dialog.m_levelBoxes[static_cast<std::size_t>(i)];
            QCOMPARE(box->text(), QStringLiteral("Уровень %1").arg(i + 1));
            const CDblClickButton* left = dialog.m_levelBoxes[static_cast<std::size_t>(i - i % 2)];
            const CDblClickButton* above = dialog.m_levelBoxes[static_cast<std::size_t>(std::max(0, i - 2))];
            if (i % 2 == 1)
                QVERIFY(box->x() > left->x() + left->width() / 2);
            if (i >= 2)
                QVERIFY(box->y() > above->y());
        }
    }

    void DoubleClickLeavesOnlyThatLevel()
    {
        CContentFilter filter;
        QVERIFY(RunEditFilter(filter,
                              [](CFilterDlg& dialog)
                              {
                                  QCOMPARE(Ticked(dialog), Flags({1, 1, 1, 1, 1, 1, 1, 1}));
                                  CDblClickButton* level3 = dialog.m_levelBoxes[2];
                                  QTest::mouseDClick(level3, Qt::LeftButton, Qt::NoModifier,
                                                     QPoint(8, level3->height() / 2));
                                  QCOMPARE(Ticked(dialog), Flags({0, 0, 1, 0, 0, 0, 0, 0}));
                                  ClickButton(dialog, "okButton");
                              }));
        QCOMPARE(filter.LevelsShown(), Flags({0, 0, 1, 0, 0, 0, 0, 0}));
    }

    void AllResetAndSingleClicks()
    {
        CContentFilter filter;
        filter.SetLevelsShown({1, 0, 1, 0, 1, 0, 1, 0});
        QVERIFY(RunEditFilter(filter,
                              [](CFilterDlg& dialog)
                              {
                                  QCOMPARE(Ticked(dialog), Flags({1, 0, 1, 0, 1, 0, 1, 0}));
                                  ClickButton(dialog, "allButton");
                                  QCOMPARE(Ticked(dialog), Flags({1, 1, 1, 1, 1, 1, 1, 1}));
                                  ClickButton(dialog, "resetButton");
                                  QCOMPARE(Ticked(dialog), Flags({0, 0, 0, 0, 0, 0, 0, 0}));
                                  // A single click is an ordinary click.
                                  QTest::mouseClick(dialog.m_levelBoxes[1], Qt::LeftButton, Qt::NoModifier,
                                                    QPoint(8, 8));
                                  ClickButton(dialog, "okButton");
                              }));
        QCOMPARE(filter.LevelsShown(), Flags({0, 1, 0, 0, 0, 0, 0, 0}));
    }

    void CancelLeavesTheFilter()
    {
        CContentFilter filter;
        filter.SetLevelsShown({1, 1, 0, 0, 1, 1, 0, 0});
        const CContentFilter before = filter;
        QVERIFY(!RunEditFilter(filter,
                               [](CFilterDlg& dialog)
                               {
                                   ClickButton(dialog, "resetButton");
                                   ClickButton(dialog, "cancelButton");
                               }));
        QCOMPARE(filter, before);
    }
};

QTEST_MAIN(FilterDlgTest)
#include "test_filterdlg.moc"
