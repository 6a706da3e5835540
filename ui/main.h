// The main window: one check box per data line, one radio button per control
// line, each captioned with its connector pin, and a close button. Clicks
// become SetLine calls on the one port controller, ParPort1.
#pragma once

#include "ParPort.h"

#include <QWidget>

class QCheckBox;
class QGroupBox;
class QPushButton;
class QRadioButton;

class TParPortDemo : public QWidget {
    Q_OBJECT

public:
    explicit TParPortDemo(QWidget* parent = nullptr);
    ~TParPortDemo() override;

    QGroupBox* DataGroup;
    QCheckBox* D0;
    QCheckBox* D1;
    QCheckBox* D2;
    QCheckBox* D3;
    QCheckBox* D4;
    QCheckBox* D5;
    QCheckBox* D6;
    QCheckBox* D7;
    QGroupBox* CtrlGroup;
    QRadioButton* Strobe;
    QRadioButton* AUTOFXIN;
    QRadioButton* INIT;
    QRadioButton* SLCTIN;
    QPushButton* BitBtn1;

    void StrobeClick(QObject* Sender);
    void D0Click(QObject* Sender);
    void D1Click(QObject* Sender);
    void D2Click(QObject* Sender);
    void D3Click(QObject* Sender);
    void D4Click(QObject* Sender);
    void D5Click(QObject* Sender);
    void D6Click(QObject* Sender);
    void D7Click(QObject* Sender);
    void AUTOFXINClick(QObject* Sender);
    void INITClick(QObject* Sender);
    void SLCTINClick(QObject* Sender);

private:
    void buildForm();
    void connectHandlers();
};

// The port controller: constructed during static initialisation, before the
// window exists, and destroyed after the message loop has ended.
extern ParPort ParPort1;
// The one window, owned by the application object; null until it is created.
extern TParPortDemo* ParPortDemo;
