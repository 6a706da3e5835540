// The font every control of the form uses.
#pragma once

#include <QFont>

// The form's face at 12-pixel characters, falling back to a Japanese Gothic
// (the close button's caption is Japanese) where that face is missing.
QFont formFont();
