#pragma once

#include <QSharedPointer>

class IconFont;

// Mixed into widgets as a second base to reach the program's one icon-font
// service. Start-up stores the instance once, before any window exists; the
// stored pointer keeps the service alive until program exit.
class QWidgetWithAccessToIconFont
{
public:
    static void setIconFontInstance(QSharedPointer<IconFont> iconFont);
    // Empty until start-up stored the instance.
    QSharedPointer<IconFont> iconFontInstance() const;

private:
    static QSharedPointer<IconFont> s_iconFont;
};
