// Enter on the focused close button presses it.
#include "CloseButton.h"

#include <QKeyEvent>

CloseButton::CloseButton(QWidget* parent)
    : QPushButton(parent)
{
    setAutoDefault(false);
    setDefault(false);
}

void CloseButton::keyPressEvent(QKeyEvent* event)
{
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)
        && (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
        click();
        return;
    }
    QPushButton::keyPressEvent(event);
}
