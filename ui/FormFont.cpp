// The form's font and its fallbacks.
#include "FormFont.h"

#include <QStringList>

QFont formFont()
{
    QFont font;
    // Ume P Gothic is proportional like the form's own face and about as
    // narrow, so "1: #STROBE" still fits its 81-pixel radio button; the IPA
    // faces are wider and only a last resort.
    font.setFamilies({QStringLiteral("ＭＳ Ｐゴシック"), QStringLiteral("UmePlus P Gothic"),
                      QStringLiteral("IPAPGothic"), QStringLiteral("IPAGothic")});
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(12);
    font.setWeight(QFont::Normal);
    font.setStyle(QFont::StyleNormal);
    return font;
}
