#include "gui/app/CKestrelApp.h"

#include "core/workflow/SettingsFile.h"

#include <QGuiApplication>
#include <QMainWindow>
#include <QScreen>
#include <QSettings>

QSettings CKestrelApp::Profile()
{
    return QSettings(QString::fromUtf8(kProfileOrganisation), QString::fromUtf8(kProfileApplication));
}

namespace
{

std::int32_t ReadInt(QSettings& profile, const char* key, std::int32_t fallback)
{
    bool ok = false;
    const int value = profile.value(QLatin1String(key)).toInt(&ok);
    return ok ? value : fallback;
}
} // namespace

WindowPlacement CKestrelApp::CurrentPlacement(const QMainWindow& window)
{
    WindowPlacement placement;
    placement.show = window.isMaximized()   ? kShowMaximized
                     : window.isMinimized() ? kShowMinimized
                                            : kShowNormal;
    placement.minPosX = placement.minPosY = -1;
    placement.maxPosX = placement.maxPosY = -1;
    QRect normal = window.normalGeometry();
    if (!normal.isValid())
        normal = window.geometry();
    placement.normal = {normal.left(), normal.top(), normal.left() + normal.width(),
                        normal.top() + normal.height()};
    return placement;
}

void CKestrelApp::LoadWindowPlacement(QMainWindow& window)
{
    const WindowPlacement current = CurrentPlacement(window);
    QSettings profile = Profile();
    profile.beginGroup(QStringLiteral("Window"));
    WindowPlacement stored;
    stored.show = ReadInt(profile, "show", current.show);
    stored.flags = ReadInt(profile, "flags", current.flags);
    stored.minPosX = ReadInt(profile, "minposx", current.minPosX);
    stored.minPosY = ReadInt(profile, "minposy", current.minPosY);
    stored.maxPosX = ReadInt(profile, "maxposx", current.maxPosX);
    stored.maxPosY = ReadInt(profile, "maxposy", current.maxPosY);
    stored.normal.left = ReadInt(profile, "left", current.normal.left);
    stored.normal.top = ReadInt(profile, "top", current.normal.top);
    stored.normal.right = ReadInt(profile, "right", current.normal.right);
    stored.normal.bottom = ReadInt(profile, "bottom", current.normal.bottom);
    profile.endGroup();

    QRect area(0, 0, 0, 0);
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        area = screen->availableGeometry();
    if (area.isEmpty())
        if (const QScreen* screen = QGuiApplication::primaryScreen())
            area = QRect(QPoint(0, 0), screen->size());
    const PlacementRect workArea{area.left(), area.top(), area.left() + area.width(),
                                 area.top() + area.height()};
    m_placement = FitPlacement(stored, current, workArea);

    const PlacementRect& r = m_placement.normal;
    window.setGeometry(r.left, r.top, r.right - r.left, r.bottom - r.top);
}

void CKestrelApp::ShowWindow(QMainWindow& window) const
{
    switch (m_placement.show)
    {
    case kShowMaximized:
        window.showMaximized();
        break;
    case kShowMinimized:
    case kShowMinimize:
        window.showMinimized();
        break;
    default:
        window.showNormal();
        break;
    }
}

void CKestrelApp::SaveWindowPlacement() const
{
    QSettings profile = Profile();
    profile.beginGroup(QStringLiteral("Window"));
    profile.setValue(QStringLiteral("show"), m_placement.show);
    profile.setValue(QStringLiteral("flags"), m_placement.flags);
    profile.setValue(QStringLiteral("minposx"), m_placement.minPosX);
    profile.setValue(QStringLiteral("minposy"), m_placement.minPosY);
    profile.setValue(QStringLiteral("maxposx"), m_placement.maxPosX);
    profile.setValue(QStringLiteral("maxposy"), m_placement.maxPosY);
    profile.setValue(QStringLiteral("left"), m_placement.normal.left);
    profile.setValue(QStringLiteral("top"), m_placement.normal.top);
    profile.setValue(QStringLiteral("right"), m_placement.normal.right);
    profile.setValue(QStringLiteral("bottom"), m_placement.normal.bottom);
    profile.endGroup();
    profile.sync();
}
