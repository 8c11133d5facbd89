#include "gui/widgets/CFindReplaceDlg.h"

#include "gui/widgets/CTextEditHistory.h"

#include <QApplication>
#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTextCursor>
#include <QTextDocument>
#include <QVBoxLayout>

CFindReplaceDlg::CFindReplaceDlg(QPlainTextEdit& editor, CTextEditHistory* history, QWidget* parent)
    : QDialog(parent), m_editor(editor), m_history(history)
{
    m_findEdit = new QLineEdit(this);
    m_findEdit->setObjectName(QStringLiteral("findEdit"));
    m_replaceEdit = new QLineEdit(this);
    m_replaceEdit->setObjectName(QStringLiteral("replaceEdit"));
    auto* findLabel = new QLabel(QStringLiteral("&Что:"), this);
    findLabel->setBuddy(m_findEdit);
    m_replaceLabel = new QLabel(QStringLiteral("&Чем:"), this);
    m_replaceLabel->setBuddy(m_replaceEdit);
    m_matchCase = new QCheckBox(QStringLiteral("С учетом &регистра"), this);
    m_wholeWord = new QCheckBox(QStringLiteral("Только слово &целиком"), this);
    auto* direction = new QGroupBox(QStringLiteral("Направление"), this);
    m_up = new QRadioButton(QStringLiteral("&Вверх"), direction);
    m_down = new QRadioButton(QStringLiteral("В&низ"), direction);
    m_down->setChecked(true);
    auto* directionLayout = new QHBoxLayout(direction);
    directionLayout->addWidget(m_up);
    directionLayout->addWidget(m_down);
    m_status = new QLabel(this);

    auto* findButton = new QPushButton(QStringLiteral("&Найти далее"), this);
    findButton->setObjectName(QStringLiteral("findNextButton"));
    findButton->setDefault(true);
    m_replaceButton = new QPushButton(QStringLiteral("&Заменить"), this);
    m_replaceButton->setObjectName(QStringLiteral("replaceButton"));
    m_replaceAllButton = new QPushButton(QStringLiteral("Заменить &все"), this);
    m_replaceAllButton->setObjectName(QStringLiteral("replaceAllButton"));
    auto* closeButton = new QPushButton(QStringLiteral("Отмена"), this);
    for (QPushButton* button : {m_replaceButton, m_replaceAllButton, closeButton})
        button->setAutoDefault(false);

    auto* fields = new QGridLayout;
    fields->addWidget(findLabel, 0, 0);
    fields->addWidget(m_findEdit, 0, 1);
    fields->addWidget(m_replaceLabel, 1, 0);
    fields->addWidget(m_replaceEdit, 1, 1);
    fields->addWidget(m_matchCase, 2, 0, 1, 2);
    fields->addWidget(m_wholeWord, 3, 0, 1, 2);
    fields->addWidget(direction, 4, 0, 1, 2);
    fields->addWidget(m_status, 5, 0, 1, 2);
    auto* buttons = new QVBoxLayout;
    buttons->addWidget(findButton);
    buttons->addWidget(m_replaceButton);
    buttons->addWidget(m_replaceAllButton);
    buttons->addWidget(closeButton);
    buttons->addStretch(1);
    auto* layout = new QHBoxLayout(this);
    layout->addLayout(fields, 1);
    layout->addLayout(buttons);

    connect(findButton, &QPushButton::clicked, this, [this] { FindNext(); });
    connect(m_replaceButton, &QPushButton::clicked, this, [this] { ReplaceCurrent(); });
    connect(m_replaceAllButton, &QPushButton::clicked, this, [this] { ReplaceAll(); });
    connect(closeButton, &QPushButton::clicked, this, &QDialog::close);
}

void CFindReplaceDlg::Prepare(bool replace)
{
    setWindowTitle(replace ? QStringLiteral("Замена") : QStringLiteral("Поиск"));
    m_replaceLabel->setVisible(replace);
    m_replaceEdit->setVisible(replace);
    m_replaceButton->setVisible(replace);
    m_replaceAllButton->setVisible(replace);
    const QString selected = m_editor.textCursor().selectedText();
    if (!selected.isEmpty() && !selected.contains(QChar::ParagraphSeparator))
        m_findEdit->setText(selected);
    m_status->clear();
    adjustSize();
    show();
    raise();
    activateWindow();
    m_findEdit->setFocus();
    m_findEdit->selectAll();
}

void CFindReplaceDlg::ShowFind()
{
    Prepare(false);
}

void CFindReplaceDlg::ShowReplace()
{
    Prepare(true);
}

bool CFindReplaceDlg::HasSearch() const
{
    return !m_findEdit->text().isEmpty();
}

bool CFindReplaceDlg::FindNext()
{
    if (!HasSearch())
    {
        QApplication::beep();
        return false;
    }
    QTextDocument::FindFlags flags;
    if (m_matchCase->isChecked())
        flags |= QTextDocument::FindCaseSensitively;
    if (m_wholeWord->isChecked())
        flags |= QTextDocument::FindWholeWords;
    if (m_up->isChecked())
        flags |= QTextDocument::FindBackward;
    const QTextCursor found = m_editor.document()->find(m_findEdit->text(), m_editor.textCursor(), flags);
    if (found.isNull())
    {
        m_status->setText(QStringLiteral("Не удается найти \"%1\"").arg(m_findEdit->text()));
        QApplication::beep();
        return false;
    }
    m_status->clear();
    m_editor.setTextCursor(found);
    m_editor.ensureCursorVisible();
    return true;
}

bool CFindReplaceDlg::SelectionMatches() const
{
    const Qt::CaseSensitivity sensitivity =
        m_matchCase->isChecked() ? Qt::CaseSensitive : Qt::CaseInsensitive;
    return HasSearch() && m_editor.textCursor().selectedText().compare(m_findEdit->text(), sensitivity) == 0;
}

void CFindReplaceDlg::SetReplacementFilter(std::function<QString(const QString&)> filter)
{
    connect(m_replaceEdit, &QLineEdit::textEdited, this,
            [this, filter = std::move(filter)](const QString& typed)
            {
                const QString kept = filter(typed);
                if (kept == typed)
                    return;
                const int caret =
                    m_replaceEdit->cursorPosition() + static_cast<int>(kept.size() - typed.size());
                m_replaceEdit->setText(kept);
                m_replaceEdit->setCursorPosition(caret);
            });
}

// A read-only editor is taking in a new text, and nothing may change it meanwhile.
bool CFindReplaceDlg::ReplaceCurrent()
{
    if (m_editor.isReadOnly())
        return false;
    if (SelectionMatches())
    {
        QTextCursor cursor = m_editor.textCursor();
        if (m_history)
            m_history->BeginStep();
        cursor.insertText(m_replaceEdit->text());
        if (m_history)
            m_history->EndStep();
        m_editor.setTextCursor(cursor);
    }
    return FindNext();
}

int CFindReplaceDlg::ReplaceAll()
{
    if (!HasSearch() || m_editor.isReadOnly())
        return 0;
    QTextDocument::FindFlags flags;
    if (m_matchCase->isChecked())
        flags |= QTextDocument::FindCaseSensitively;
    if (m_wholeWord->isChecked())
        flags |= QTextDocument::FindWholeWords;
    int count = 0;
    QTextCursor cursor(m_editor.document());
    if (m_history)
        m_history->BeginStep();
    while (true)
    {
        cursor = m_editor.document()->find(m_findEdit->text(), cursor, flags);
        if (cursor.isNull())
            break;
        cursor.insertText(m_replaceEdit->text());
        ++count;
    }
    if (m_history)
        m_history->EndStep();
    m_status->setText(QStringLiteral("Заменено: %1").arg(count));
    return count;
}
