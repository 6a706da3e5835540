// The form's close button: a push button that is neither default nor cancel,
// yet, as on the platform the form was drawn for, takes Enter while it has
// the focus. (Qt presses a non-default button only on Space.)
#pragma once

#include <QPushButton>

class CloseButton : public QPushButton {
    Q_OBJECT

public:
    explicit CloseButton(QWidget* parent = nullptr);

protected:
    void keyPressEvent(QKeyEvent* event) override;
};
