#pragma once
// The options dialog: the four workflow settings and the extended recognition, edited on copies that
// the caller reads after OK.

#include <QDialog>
#include <QString>

class IPrompter;
class QCheckBox;
class QLineEdit;
class QPushButton;

class COptionsDlg : public QDialog
{
    Q_OBJECT
public:
    COptionsDlg(QWidget* owner, IPrompter& prompter);

    // Shows the copies in the controls; call before exec().
    void ShowCopies();

    bool m_autoSaveOnNext = false;
    bool m_makeBak = true;
    bool m_moveOnSave = false;
    QString m_processedFolder;
    bool m_extendedRecognition = false;

    QCheckBox* m_autoSaveBox;    // 1010
    QCheckBox* m_makeBakBox;     // 1011
    QCheckBox* m_moveOnSaveBox;  // 1012
    QLineEdit* m_folderEdit;     // 1013
    QPushButton* m_browseButton; // 1014
    QCheckBox* m_extendedBox;

    void accept() override;

private:
    void ReadControls();
    void EnableFolderControls();
    void OnMoveClicked();
    void OnBrowse();

    IPrompter& m_prompter;
};
