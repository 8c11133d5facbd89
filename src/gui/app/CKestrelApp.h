#pragma once
// The application's part of the window placement: read from the per-user profile before the main
// window is first shown, kept when the window closes, written when the program ends.

#include "core/workflow/WindowPlacement.h"

#include <QSettings>

class QMainWindow;

class CKestrelApp
{
public:
    // Reads section "Window", taking the window's current placement for every missing key, fits
    // the result onto the screen's work area and applies it to window (without showing it).
    void LoadWindowPlacement(QMainWindow& window);
    // Shows window in the placement's show state.
    void ShowWindow(QMainWindow& window) const;
    void StorePlacement(const WindowPlacement& placement) { m_placement = placement; }
    // Writes the kept placement to section "Window", one key at a time.
    void SaveWindowPlacement() const;

    // The per-user profile: window placement and the bars' state.
    static QSettings Profile();

    // The placement window has now.
    static WindowPlacement CurrentPlacement(const QMainWindow& window);

    const WindowPlacement& Placement() const { return m_placement; }

private:
    WindowPlacement m_placement;
};
