#pragma once
// Choosing a folder: a tree of the file system's folders with an edit box above it, as wide as the
// tree, in which a path can be typed. A typed folder that does not exist can be created on the spot.

#include <QDialog>
#include <QString>

class IPrompter;
class QDialogButtonBox;
class QFileSystemModel;
class QLineEdit;
class QPushButton;
class QTreeView;

class CFolderChooser : public QDialog
{
    Q_OBJECT
public:
    static constexpr int kMaxPathLength = 259;

    // initialFolder may be empty: the process's current folder is selected then.
    CFolderChooser(const QString& title, const QString& prompt, const QString& initialFolder, QWidget* owner,
                   IPrompter& prompter);

    // Runs the dialog modally; true after OK, with Result() the chosen folder.
    bool Choose();
    QString Result() const { return m_result; }

    QLineEdit* PathEdit() const { return m_edit; }
    QTreeView* Tree() const { return m_tree; }
    QPushButton* OkButton() const;

    void accept() override;

private:
    void OnSelectionChanged();
    void OnTextChanged(const QString& text);
    void SelectFolder(const QString& folder);

    IPrompter& m_prompter;
    QFileSystemModel* m_model;
    QTreeView* m_tree;
    QLineEdit* m_edit;
    QDialogButtonBox* m_buttons;
    QString m_result;
};
