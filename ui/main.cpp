// The window unit: the form, its click handlers, and the two globals whose
// lifetime frames the whole run.
#include "main.h"

#include "CloseButton.h"
#include "FormFont.h"
#include "FormStyle.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QKeySequence>
#include <QRadioButton>
#include <QShortcut>
#include <QStyle>

#include <type_traits>

#ifdef TENVARO_FAULT_INJECTION
#include <stdexcept>
#endif

ParPort ParPort1;
TParPortDemo* ParPortDemo = nullptr;

namespace {

// Form and control sizes are those of a 96 dpi screen; Qt's own high-dpi
// scaling takes care of other resolutions.
constexpr int kClientWidth = 224;
constexpr int kClientHeight = 221;
constexpr int kLeft = 387;
constexpr int kTop = 238;

template <typename Control>
Control* place(QStyle* style, QWidget* parent, const char* name, int left, int top, int width, int height,
               const QString& caption = {})
{
    auto* control = new Control(parent);
    control->setObjectName(QString::fromLatin1(name));
    control->setStyle(style);
    control->setGeometry(left, top, width, height);
    if constexpr (!std::is_same_v<Control, QGroupBox>)
        control->setText(caption);
    return control;
}

// A radio button is a tab stop only while it is checked; the arrow keys still
// move among all four.
void followTabStop(QRadioButton* button)
{
    button->setFocusPolicy(Qt::ClickFocus);
    QObject::connect(button, &QRadioButton::toggled, button, [button](bool checked) {
        button->setFocusPolicy(checked ? Qt::StrongFocus : Qt::ClickFocus);
    });
}

#ifdef TENVARO_FAULT_INJECTION
// Only in the tests' build of the window: lets process tests make window
// creation or a click handler fail.
void injectFault(const char* where)
{
    if (qEnvironmentVariable("TENVARO_TEST_THROW") == QLatin1String(where))
        throw std::runtime_error(std::string("Injected failure in ") + where);
}
#else
void injectFault(const char*) {}
#endif

} // namespace

TParPortDemo::TParPortDemo(QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint
                          | Qt::WindowCloseButtonHint)
{
    buildForm();
    connectHandlers();
    // Every pin low, to match the unchecked controls.
    for (std::uint32_t line = 0; line < ParPort::kLineCount; ++line)
        ParPort1.SetLine(line, 0);
    injectFault("window");
}

TParPortDemo::~TParPortDemo() = default;

void TParPortDemo::buildForm()
{
    setObjectName(QStringLiteral("ParPortDemo"));
    setWindowTitle(QStringLiteral("Tenvaro"));
    setFont(formFont());
    setFixedSize(kClientWidth, kClientHeight);
    auto* style = new FormStyle;
    style->setParent(this);
    move(kLeft, kTop);

    DataGroup = place<QGroupBox>(style, this, "DataGroup", 8, 0, 97, 209);
    D0 = place<QCheckBox>(style, DataGroup, "D0", 8, 8, 65, 25, QStringLiteral("2: D0"));
    D1 = place<QCheckBox>(style, DataGroup, "D1", 8, 32, 81, 25, QStringLiteral("3: D1"));
    D2 = place<QCheckBox>(style, DataGroup, "D2", 8, 56, 73, 25, QStringLiteral("4: D2"));
    D3 = place<QCheckBox>(style, DataGroup, "D3", 8, 80, 73, 25, QStringLiteral("5: D3"));
    D4 = place<QCheckBox>(style, DataGroup, "D4", 8, 104, 73, 25, QStringLiteral("6: D4"));
    D5 = place<QCheckBox>(style, DataGroup, "D5", 8, 128, 73, 25, QStringLiteral("7: D5"));
    D6 = place<QCheckBox>(style, DataGroup, "D6", 8, 152, 73, 25, QStringLiteral("8: D6"));
    D7 = place<QCheckBox>(style, DataGroup, "D7", 8, 176, 73, 25, QStringLiteral("9: D7"));
    CtrlGroup = place<QGroupBox>(style, this, "CtrlGroup", 112, 0, 105, 113);
    Strobe = place<QRadioButton>(style, CtrlGroup, "Strobe", 8, 16, 81, 17, QStringLiteral("1: #STROBE"));
    AUTOFXIN = place<QRadioButton>(style, CtrlGroup, "AUTOFXIN", 8, 40, 89, 17, QStringLiteral("14 :AUTOFX"));
    INIT = place<QRadioButton>(style, CtrlGroup, "INIT", 8, 64, 81, 17, QStringLiteral("16: INIT"));
    SLCTIN = place<QRadioButton>(style, CtrlGroup, "SLCTIN", 8, 88, 89, 17, QStringLiteral("17: SLCTIN"));
    BitBtn1 = place<CloseButton>(style, this, "BitBtn1", 128, 168, 81, 41, QStringLiteral("閉じる(&C)"));
    BitBtn1->setIcon(style->standardIcon(QStyle::SP_DialogCloseButton));

    for (QRadioButton* button : {Strobe, AUTOFXIN, INIT, SLCTIN})
        followTabStop(button);
    QWidget* order[] = {D0, D1, D2, D3, D4, D5, D6, D7, Strobe, AUTOFXIN, INIT, SLCTIN, BitBtn1};
    for (size_t i = 1; i < std::size(order); ++i)
        setTabOrder(order[i - 1], order[i]);
    D0->setFocus();
}

void TParPortDemo::connectHandlers()
{
    // A check box reports every click; a radio button only when it becomes
    // checked (clicked() would fire again on a checked one, and toggled(false)
    // when another one takes the check).
    const std::pair<QCheckBox*, void (TParPortDemo::*)(QObject*)> boxes[] = {
        {D0, &TParPortDemo::D0Click}, {D1, &TParPortDemo::D1Click}, {D2, &TParPortDemo::D2Click},
        {D3, &TParPortDemo::D3Click}, {D4, &TParPortDemo::D4Click}, {D5, &TParPortDemo::D5Click},
        {D6, &TParPortDemo::D6Click}, {D7, &TParPortDemo::D7Click},
    };
    for (auto [box, handler] : boxes)
        connect(box, &QCheckBox::clicked, this, [this, box, handler] { (this->*handler)(box); });

    const std::pair<QRadioButton*, void (TParPortDemo::*)(QObject*)> radios[] = {
        {Strobe, &TParPortDemo::StrobeClick}, {AUTOFXIN, &TParPortDemo::AUTOFXINClick},
        {INIT, &TParPortDemo::INITClick}, {SLCTIN, &TParPortDemo::SLCTINClick},
    };
    for (auto [radio, handler] : radios) {
        connect(radio, &QRadioButton::toggled, this, [this, radio, handler](bool checked) {
            if (checked)
                (this->*handler)(radio);
        });
    }

    connect(BitBtn1, &QPushButton::clicked, this, &QWidget::close);
    // As on the platform the form was drawn for, a bare C presses the close
    // button too (nothing in the window takes typed text); Alt+C comes with
    // the caption's mnemonic.
    auto* accelerator = new QShortcut(QKeySequence(Qt::Key_C), this);
    connect(accelerator, &QShortcut::activated, BitBtn1, &QPushButton::click);
}

namespace {
std::int32_t stateOf(const QAbstractButton* control)
{
    return control->isChecked() ? 1 : 0;
}
} // namespace

void TParPortDemo::StrobeClick(QObject*) { ParPort1.SetLine(0, stateOf(Strobe)); }
void TParPortDemo::D0Click(QObject*)
{
    injectFault("click");
    ParPort1.SetLine(1, stateOf(D0));
}
void TParPortDemo::D1Click(QObject*) { ParPort1.SetLine(2, stateOf(D1)); }
void TParPortDemo::D2Click(QObject*) { ParPort1.SetLine(3, stateOf(D2)); }
void TParPortDemo::D3Click(QObject*) { ParPort1.SetLine(4, stateOf(D3)); }
void TParPortDemo::D4Click(QObject*) { ParPort1.SetLine(5, stateOf(D4)); }
void TParPortDemo::D5Click(QObject*) { ParPort1.SetLine(6, stateOf(D5)); }
void TParPortDemo::D6Click(QObject*) { ParPort1.SetLine(7, stateOf(D6)); }
void TParPortDemo::D7Click(QObject*) { ParPort1.SetLine(8, stateOf(D7)); }
void TParPortDemo::AUTOFXINClick(QObject*) { ParPort1.SetLine(9, stateOf(AUTOFXIN)); }
void TParPortDemo::INITClick(QObject*) { ParPort1.SetLine(10, stateOf(INIT)); }
void TParPortDemo::SLCTINClick(QObject*) { ParPort1.SetLine(11, stateOf(SLCTIN)); }
