#include "crossing_form.h"

#include "form_texts.h"
#include "form_widgets.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QPainter>
#include <QPlainTextEdit>
#include <QScreen>

namespace crossing {

namespace {

// Positions and sizes are kept in twips, 15 to a pixel at 96 dots per inch;
// Qt scales the resulting pixels on screens of other densities.
constexpr int kTwipsPerPixel = 15;

struct Place {
    int left, top, width, height;
};

QRect toPixels(const Place& place)
{
    return {place.left / kTwipsPerPixel, place.top / kTwipsPerPixel, place.width / kTwipsPerPixel,
            place.height / kTwipsPerPixel};
}

constexpr Place kClientArea{0, 0, 7305, 6000};

// Index 0 is the left bank, 1 the right bank.
constexpr std::array<Place, 2> kFramePlaces{{{240, 600, 2055, 1335}, {5040, 600, 2055, 1335}}};
constexpr std::array<Place, 2> kListPlaces{{{240, 2520, 2055, 1200}, {5040, 2520, 2055, 1200}}};
// Seats sit relative to their frame, at the same three places on both banks.
constexpr std::array<Place, kSeatsPerBank> kSeatPlaces{
    {{120, 300, 1815, 300}, {120, 600, 1815, 300}, {120, 900, 1815, 300}}};
constexpr std::array<Place, 2> kButtonPlaces{{{2880, 720, 1575, 375}, {2880, 1440, 1575, 375}}};
constexpr std::array<Place, kLabelCount> kLabelPlaces{{{600, 0, 5895, 375},
                                                       {240, 2160, 2055, 375},
                                                       {5040, 2160, 2055, 375},
                                                       {2640, 2520, 975, 375},
                                                       {3600, 2520, 615, 375},
                                                       {2640, 3240, 975, 375},
                                                       {3600, 3240, 975, 375}}};
constexpr std::array<Place, 2> kTextPlaces{{{240, 3840, 6855, 2055}, {480, 4800, 6735, 1815}}};

const QColor kWindowColour(0xC0, 0xC0, 0xFF);
const QColor kLabelColour(0xFF, 0xC0, 0x80);
const std::array<QColor, 2> kFrameColours{QColor(0x80, 0xFF, 0x80), QColor(0x80, 0xFF, 0xFF)};
const std::array<QColor, 2> kSeatColours{QColor(0x00, 0xC0, 0x00), QColor(0x00, 0xC0, 0xC0)};
const std::array<QColor, 2> kButtonColours{QColor(0x00, 0xFF, 0x00), QColor(0xFF, 0x00, 0x00)};

// Times New Roman 12 pt regular; fontconfig maps it to a metric-compatible
// face (Liberation Serif) where it is missing, which covers Cyrillic.
QFont windowFont()
{
    QFont font(QStringLiteral("Times New Roman"), 12, QFont::Normal, false);
    font.setStyleHint(QFont::Serif);
    return font;
}

// A title bar with icon, system menu and close button, and nothing else: the
// window cannot be minimised or maximised.
constexpr Qt::WindowFlags kWindowFlags = Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint
                                         | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;

} // namespace

QIcon programIcon() { return QIcon(QStringLiteral(":/icons/rivercrossing.ico")); }

CrossingForm::CrossingForm(QWidget* parent) : QWidget(parent, kWindowFlags)
{
    setWindowTitle(windowTitleText());
    setWindowIcon(programIcon());
    setFont(windowFont());
    setFixedSize(toPixels(kClientArea).size());

    buildLabels();
    buildTextBoxes();
    buildBanks();
    buildButtons();
    buildKnightLists();
    stackControls();
    orderTabs();
    centreOnScreen();
    Text1(0)->setFocus();

    widgetBoard_ = std::make_unique<WidgetBoard>(board_);
    puzzle_ = std::make_unique<CrossingPuzzle>(*widgetBoard_);
    OnLoad();
}

CrossingForm::~CrossingForm() = default;

void CrossingForm::buildLabels()
{
    const std::array<QString, kLabelCount> captions{
        titleLabelText(),
        QStringLiteral("Рицари отляво"),
        QStringLiteral("Рицари отдясно"),
        QStringLiteral("Брой:"),
        QString(),
        QStringLiteral("Лодка:"),
        QString(),
    };
    for (std::size_t i = 0; i < captions.size(); ++i) {
        auto* label = new QLabel(captions[i], this);
        label->setTextFormat(Qt::PlainText);
        label->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
        fillBackground(label, kLabelColour);
        label->setGeometry(toPixels(kLabelPlaces[i]));
        board_.labels[i] = label;
    }
}

void CrossingForm::buildTextBoxes()
{
    const std::array<QString, 2> texts{statementText(), aphorismText()};
    for (std::size_t i = 0; i < texts.size(); ++i) {
        auto* box = new QPlainTextEdit(this);
        box->setPlainText(texts[i]);
        box->setReadOnly(true);
        // Read-only still lets the user move the caret and select by keyboard.
        box->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
        box->setLineWrapMode(QPlainTextEdit::WidgetWidth);
        box->setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
        box->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
        box->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        box->setTabChangesFocus(true);
        box->setGeometry(toPixels(kTextPlaces[i]));
        texts_[i] = box;
    }
    // The aphorism is kept in the window but never shown.
    Text1(1)->hide();
}

void CrossingForm::buildBanks()
{
    const std::array<QString, 2> captions{QStringLiteral("Ляв бряг"), QStringLiteral("Десен бряг")};
    const std::array<QString, kSeatsPerBank> seatCaptions{
        QString::fromUtf8(kBoyCaption), QString::fromUtf8(kBoyCaption), QString::fromUtf8(kKnightCaption)};
    for (Int16 bank : {kLeftBank, kRightBank}) {
        const std::size_t b = at(bank);
        auto* frame = new QGroupBox(captions[b], this);
        fillBackground(frame, kFrameColours[b]);
        frame->setGeometry(toPixels(kFramePlaces[b]));
        board_.frames[b] = frame;
        for (std::size_t role = 0; role < kSeatsPerBank; ++role) {
            auto* seat = new SeatBox(kSeatColours[b], frame);
            if (bank == kLeftBank)
                seat->setText(seatCaptions[role]);
            seat->setGeometry(toPixels(kSeatPlaces[role]));
            board_.seats[at(firstSeatOfBank(bank)) + role] = seat;
        }
    }
}

void CrossingForm::buildButtons()
{
    const std::array<QString, 2> captions{QStringLiteral("Мести"), QStringLiteral("Чисти")};
    for (Int16 index : {kMoveButton, kClearButton}) {
        const std::size_t i = at(index);
        auto* button = new ColourButton(captions[i], kButtonColours[i], this);
        button->setGeometry(toPixels(kButtonPlaces[i]));
        connect(button, &QPushButton::clicked, this, [this, index] { OnCommandClick(index); });
        buttons_[i] = button;
    }
}

void CrossingForm::buildKnightLists()
{
    const std::array<QString, 2> names{QStringLiteral("Рицари отляво"), QStringLiteral("Рицари отдясно")};
    for (std::size_t i = 0; i < 2; ++i) {
        auto* list = new QListWidget(this);
        list->setSelectionMode(QAbstractItemView::SingleSelection);
        list->setSortingEnabled(false);
        list->setAccessibleName(names[i]); // its heading label is no buddy
        list->setGeometry(toPixels(kListPlaces[i]));
        board_.knightLists[i] = list;
    }
}

// Only where controls touch does this show: each list covers the last pixel
// row of its heading, and the count and direction labels the last pixel
// column of their captions.
void CrossingForm::stackControls()
{
    const std::array<QWidget*, 15> bottomToTop{
        Label1(0), Label1(1), Label1(2), Label1(3),   Label1(4),   Label1(5), Label1(6), Text1(0),
        Text1(1),  Frame1(0), Frame1(1), Command1(1), Command1(0), List1(0),  List1(1),
    };
    for (QWidget* control : bottomToTop)
        control->raise();
}

// Hidden controls and seats in a disabled frame drop out of the cycle by
// themselves; labels and frames never take the focus.
void CrossingForm::orderTabs()
{
    const std::array<QWidget*, 12> cycle{
        Text1(0),  Text1(1),  Command1(1), Check1(0),   Check1(1), Check1(2),
        Check1(3), Check1(4), Check1(5),   Command1(0), List1(0),  List1(1),
    };
    for (std::size_t i = 1; i < cycle.size(); ++i)
        setTabOrder(cycle[i - 1], cycle[i]);
}

void CrossingForm::centreOnScreen()
{
    if (const QScreen* screen = this->screen())
        move(screen->availableGeometry().center() - rect().center());
}

// Painted rather than set in the palette, so that the lists and text boxes
// keep the system's window colours instead of inheriting this one.
void CrossingForm::paintEvent(QPaintEvent* /*event*/)
{
    QPainter painter(this);
    painter.fillRect(rect(), kWindowColour);
}

void CrossingForm::OnLoad() { puzzle_->OnLoad(); }

void CrossingForm::OnCommandClick(Int16 Index) { puzzle_->OnCommandClick(Index); }

} // namespace crossing
