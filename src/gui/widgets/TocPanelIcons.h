#pragma once
// The icons of the entry panel's buttons, drawn here rather than shipped as images.

#include <QIcon>

enum class TocPanelIcon
{
    LevelUp,        // arrow pointing left
    LevelDown,      // arrow pointing right
    ToCapitals,     // small «а», red arrow, capital «Д»
    ToSentenceCase, // capital «Д», red arrow, small «а»
    Delete,         // red cross
    Filter,         // tick
    Refresh,        // two green circling arrows
    Undo,           // curved arrow turning back
    Redo,           // curved arrow turning forward
    MarkAll,        // list with every row highlighted
    NextRemark,     // a remark sign with an arrow pointing down to the next one
    Remark,         // a yellow warning triangle with «!», the mark of a row with a remark
};

// A side x side icon (the panel's buttons are 25 x 25).
QIcon MakeTocPanelIcon(TocPanelIcon icon, int side = 25);
