#pragma once

#include <QFont>
#include <QString>

// One icon-font style: where its font file lives among the resources and
// what the font database made of it.
struct IconFontStyleFont
{
    QString fontFamily;             // empty until the font is loaded
    QString fontFileName;           // file name under ":/fonts/"
    int fontId = -1;                // application-font id; -1 while not loaded
    int fontWeight = QFont::Normal; // weight an icon is drawn with (100-900)
};
