#include "creator/frmcreate.h"

#include "creator/modcreate.h"
#include "platform/twips.h"
#include "widgets/screenreadernames.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QMouseEvent>

#include <functional>
#include <utility>

namespace examo {

namespace {

constexpr const char* kChooseTip = "Choose a picture for this question.";
constexpr const char* kTrueFalseTip = "Click here for the correct answer - true or false.";

// The creator window's controls; the frames' controls stand inside their frames.
// clang-format off
constexpr ControlSpec kCreateControls[] = {
    {.name = "lblTitle(0)", .caption = "Test Title:",
     .left = 120, .top = 150, .width = 1100, .height = 255},
    {.name = "txtTitle", .left = 1260, .top = 90, .width = 3240, .height = 345,
     .toolTip = "Give the test a title here."},
    {.name = "lblTitle(1)", .caption = "Class/Teacher:",
     .left = 4680, .top = 150, .width = 1380, .height = 255},
    {.name = "txtTeacher", .left = 6120, .top = 90, .width = 3960, .height = 345,
     .toolTip = "Enter the class and/or teacher here."},
    {.name = "lblTitle(2)", .caption = "Existing Questions:",
     .left = 3780, .top = 1980, .width = 2400, .height = 255},
    {.name = "grpMultiple", .caption = "Multiple Choice Question:",
     .left = frmCreate::kFrameLeft, .top = 840, .width = 3495, .height = 4335},
    {.name = "lblMultipleQuestion(0)", .caption = "Question:",
     .left = 120, .top = 270, .width = 1200, .height = 255},
    {.name = "txtMQuestion", .left = 120, .top = 510, .width = 3255, .height = 375,
     .toolTip = "Type the multiple choice question here."},
    {.name = "optABCD(0)", .caption = "A", .left = 120, .top = 1020, .width = 540, .height = 375,
     .toolTip = "Correct answer is A."},
    {.name = "txtManswer(0)", .left = 720, .top = 1020, .width = 2655, .height = 375,
     .toolTip = "Type the answer here."},
    {.name = "optABCD(1)", .caption = "B", .left = 120, .top = 1560, .width = 540, .height = 375,
     .toolTip = "Correct answer is B."},
    {.name = "txtManswer(1)", .left = 720, .top = 1560, .width = 2655, .height = 375,
     .toolTip = "Type the answer here."},
    {.name = "optABCD(2)", .caption = "C", .left = 120, .top = 2100, .width = 540, .height = 375,
     .toolTip = "Correct answer is C."},
    {.name = "txtManswer(2)", .left = 720, .top = 2100, .width = 2655, .height = 375,
     .toolTip = "Type the answer here."},
    {.name = "optABCD(3)", .caption = "D", .left = 120, .top = 2640, .width = 540, .height = 375,
     .toolTip = "Correct answer is D."},
    {.name = "txtManswer(3)", .left = 720, .top = 2640, .width = 2655, .height = 375,
     .toolTip = "Type the answer here."},
    {.name = "lblMultipleQuestion(1)", .caption = "media:",
     .left = 120, .top = 3210, .width = 900, .height = 255},
    {.name = "txtMpic", .caption = "None", .left = 120, .top = 3450, .width = 2655, .height = 345,
     .toolTip = "Picure name for this question."},
    {.name = "cmdMpic", .caption = "...", .left = 2835, .top = 3450, .width = 540, .height = 345,
     .toolTip = kChooseTip},
    {.name = "cmdMRemove", .caption = "Remove Multimedia File",
     .left = 120, .top = 3870, .width = 3255, .height = 360},
    {.name = "grpTrueFalse", .caption = "True/False Question:",
     .left = kOutOfSight, .top = 840, .width = 3495, .height = 4335},
    {.name = "lblTrueQuestion(0)", .caption = "Question:",
     .left = 120, .top = 270, .width = 1200, .height = 255},
    {.name = "txtTFquestion", .left = 120, .top = 510, .width = 3255, .height = 375,
     .toolTip = "Type the true/false question here."},
    {.name = "lblTrueQuestion(1)", .caption = "Answer:",
     .left = 120, .top = 1140, .width = 1200, .height = 255},
    {.name = "optTrueAnswer(0)", .caption = "True",
     .left = 240, .top = 1440, .width = 1500, .height = 345, .toolTip = kTrueFalseTip},
    {.name = "optTrueAnswer(1)", .caption = "False",
     .left = 240, .top = 1860, .width = 1500, .height = 345, .toolTip = kTrueFalseTip},
    {.name = "lblTrueQuestion(2)", .caption = "media:",
     .left = 120, .top = 3210, .width = 900, .height = 255},
    {.name = "txtTFpic", .caption = "None", .left = 120, .top = 3450, .width = 2655, .height = 345,
     .toolTip = "Picture for this question."},
    {.name = "cmdPic", .caption = "...", .left = 2835, .top = 3450, .width = 540, .height = 345,
     .toolTip = kChooseTip},
    {.name = "cmdTRemove", .caption = "Remove Multimedia File",
     .left = 120, .top = 3870, .width = 3255, .height = 360},
    {.name = "grpType", .caption = "Question Type",
     .left = 3780, .top = 840, .width = 2400, .height = 1035},
    {.name = "optType(0)", .caption = "Multiple Choice",
     .left = 120, .top = 300, .width = 2160, .height = 300,
     .toolTip = "Create a multiple choice question."},
    {.name = "optType(1)", .caption = "True/False",
     .left = 120, .top = 630, .width = 2160, .height = 300,
     .toolTip = "Create a true/false question."},
    {.name = "lblNumber", .caption = "Question #1",
     .left = 6360, .top = 870, .width = 3720, .height = 375, .toolTip = "Current question.",
     .points = 12, .bold = true},
    {.name = "lblEditMode", .caption = "'Edit Mode' ON click to return to  'Add Mode'",
     .left = 6360, .top = 1320, .width = 3720, .height = 495, .toolTip = "You are in EDIT MODE.",
     .fore = rgb(200, 0, 0)},
    {.name = "cboExist", .caption = "No Questions Yet",
     .left = 3780, .top = 2220, .width = 6300, .height = 345, .toolTip = "Question List"},
    {.name = "cmdAdd", .caption = "Add This Question",
     .left = 3780, .top = 2700, .width = 2100, .height = 420,
     .toolTip = "Add the current question"},
    {.name = "cmdEdit", .caption = "Save This Question",
     .left = 5940, .top = 2700, .width = 2100, .height = 420,
     .toolTip = "Save the changes to this question."},
    {.name = "cmdRemove", .caption = "Remove This Question",
     .left = 8100, .top = 2700, .width = 2160, .height = 420,
     .toolTip = "Remove this existing question."},
    {.name = "picPreview", .left = 3780, .top = 3300, .width = 1815, .height = 1815,
     .toolTip = "Picture Preview"},
    {.name = "lblPreview", .caption = "No Media Chosen",
     .left = 5760, .top = 3300, .width = 1920, .height = 255},
    {.name = "cmdPlaywav", .caption = "Play Wav",
     .left = 5760, .top = 3600, .width = 1500, .height = 375},
    {.name = "imgHide", .left = 5760, .top = 4200, .width = 600, .height = 600},
    {.name = "cmdPreview", .caption = "Preview Test",
     .left = 8280, .top = 3300, .width = 1800, .height = 420},
    {.name = "cmdOkay", .caption = "Save Test",
     .left = 8280, .top = 3840, .width = 1800, .height = 420},
    {.name = "cmdCancel", .caption = "Cancel and Exit",
     .left = 8280, .top = 4380, .width = 1800, .height = 420},
};
// clang-format on

template <class W> W* build(QWidget* parent, std::string_view name) {
    return buildControl<W>(parent, kCreateControls, name);
}

// The media line at the foot of a question frame: its caption, box, chooser and remove button.
struct MediaRow {
    QLabel* label;
    QLineEdit* box;
    QPushButton* chooser;
    QPushButton* remove;
};

MediaRow mediaRow(QGroupBox* frame, std::string_view label, std::string_view box,
                  std::string_view chooser, std::string_view remove) {
    return MediaRow{.label = build<QLabel>(frame, label),
                    .box = build<QLineEdit>(frame, box),
                    .chooser = build<QPushButton>(frame, chooser),
                    .remove = build<QPushButton>(frame, remove)};
}

} // namespace

const ControlSpec& frmCreate::control(std::string_view name) {
    return controlSpec(kCreateControls, name);
}

void ClickableLabel::mouseReleaseEvent(QMouseEvent* event) {
    QLabel::mouseReleaseEvent(event);
    if (onClick && rect().contains(event->position().toPoint()))
        onClick();
}

frmCreate::frmCreate(QWidget* parent) : QMainWindow(parent) {
    setWindowTitle(QStringLiteral("Examo Me Test Creator - untitled.exm"));
    useDesignFont(this);
    auto* client = new QWidget(this);
    setCentralWidget(client);
    client->setFixedSize(twipsToPixels(10380), twipsToPixels(5400));

    lblTitle[0] = build<QLabel>(client, "lblTitle(0)");
    txtTitle = build<QLineEdit>(client, "txtTitle");
    lblTitle[1] = build<QLabel>(client, "lblTitle(1)");
    txtTeacher = build<QLineEdit>(client, "txtTeacher");
    lblTitle[2] = build<QLabel>(client, "lblTitle(2)");

    buildEditor(client);
    buildSide(client);
    buildMenus();
    nameForScreenReaders(this);
}

void frmCreate::buildEditor(QWidget* client) {
    grpMultiple = build<QGroupBox>(client, "grpMultiple");
    lblMultipleQuestion[0] = build<QLabel>(grpMultiple, "lblMultipleQuestion(0)");
    txtMQuestion = build<QLineEdit>(grpMultiple, "txtMQuestion");
    for (std::size_t i = 0; i < optABCD.size(); ++i) {
        optABCD[i] = build<QRadioButton>(grpMultiple, indexedName("optABCD", i));
        txtManswer[i] = build<QLineEdit>(grpMultiple, indexedName("txtManswer", i));
        // The four boxes share one tooltip; read aloud, the letter tells them apart.
        txtManswer[i]->setAccessibleName(QStringLiteral("Answer ") + optABCD[i]->text());
    }
    optABCD[0]->setChecked(true);
    const MediaRow multipleMedia =
        mediaRow(grpMultiple, "lblMultipleQuestion(1)", "txtMpic", "cmdMpic", "cmdMRemove");
    lblMultipleQuestion[1] = multipleMedia.label;
    txtMpic = multipleMedia.box;
    cmdMpic = multipleMedia.chooser;
    cmdMRemove = multipleMedia.remove;

    grpTrueFalse = build<QGroupBox>(client, "grpTrueFalse");
    lblTrueQuestion[0] = build<QLabel>(grpTrueFalse, "lblTrueQuestion(0)");
    txtTFquestion = build<QLineEdit>(grpTrueFalse, "txtTFquestion");
    lblTrueQuestion[1] = build<QLabel>(grpTrueFalse, "lblTrueQuestion(1)");
    for (std::size_t i = 0; i < optTrueAnswer.size(); ++i)
        optTrueAnswer[i] = build<QRadioButton>(grpTrueFalse, indexedName("optTrueAnswer", i));
    optTrueAnswer[0]->setChecked(true);
    const MediaRow trueFalseMedia =
        mediaRow(grpTrueFalse, "lblTrueQuestion(2)", "txtTFpic", "cmdPic", "cmdTRemove");
    lblTrueQuestion[2] = trueFalseMedia.label;
    txtTFpic = trueFalseMedia.box;
    cmdPic = trueFalseMedia.chooser;
    cmdTRemove = trueFalseMedia.remove;
}

void frmCreate::buildSide(QWidget* client) {
    grpType = build<QGroupBox>(client, "grpType");
    for (std::size_t i = 0; i < optType.size(); ++i)
        optType[i] = build<QRadioButton>(grpType, indexedName("optType", i));
    optType[0]->setChecked(true);

    lblNumber = build<QLabel>(client, "lblNumber");
    lblEditMode = build<ClickableLabel>(client, "lblEditMode");
    lblEditMode->setWordWrap(true);
    lblEditMode->setCursor(Qt::PointingHandCursor);
    lblEditMode->hide();

    cboExist = build<QComboBox>(client, "cboExist");
    cboExist->setInsertPolicy(QComboBox::NoInsert);

    cmdAdd = build<QPushButton>(client, "cmdAdd");
    cmdAdd->setDefault(true);
    cmdEdit = build<QPushButton>(client, "cmdEdit");
    cmdEdit->setEnabled(false);
    cmdRemove = build<QPushButton>(client, "cmdRemove");
    cmdRemove->setEnabled(false);

    picPreview = build<PictureBox>(client, "picPreview");
    picPreview->hide();
    lblPreview = build<QLabel>(client, "lblPreview");
    cmdPlaywav = build<QPushButton>(client, "cmdPlaywav");
    cmdPlaywav->hide();
    imgHide = buildControl<PictureBox>(client, control("imgHide"), false);
    imgHide->hide();

    cmdPreview = build<QPushButton>(client, "cmdPreview");
    cmdPreview->setEnabled(false);
    cmdOkay = build<QPushButton>(client, "cmdOkay");
    cmdOkay->setEnabled(false);
    cmdCancel = build<QPushButton>(client, "cmdCancel");
}

void frmCreate::attach(modCreate* module) {
    m_module = module;
    // The module is no QObject: its handlers are bound to it.
    for (std::size_t i = 0; i < optType.size(); ++i)
        connect(optType[i], &QRadioButton::clicked, this,
                std::bind_front(&modCreate::optType_Click, module, static_cast<int>(i)));
    const std::pair<QPushButton*, void (modCreate::*)()> buttons[] = {
        {cmdAdd, &modCreate::cmdAdd_Click},       {cmdEdit, &modCreate::cmdEdit_Click},
        {cmdRemove, &modCreate::cmdRemove_Click}, {cmdOkay, &modCreate::cmdOkay_Click},
        {cmdCancel, &modCreate::cmdCancel_Click}, {cmdPlaywav, &modCreate::cmdPlaywav_Click}};
    for (const auto& [button, handler] : buttons)
        connect(button, &QPushButton::clicked, this, std::bind_front(handler, module));
    // Only the teacher's choice of an entry counts, never a change made by code.
    connect(cboExist, &QComboBox::activated, this,
            std::bind_front(&modCreate::cboExist_Click, module));
    lblEditMode->onClick = std::bind_front(&modCreate::lblEditMode_Click, module);
    const std::pair<QAction*, void (modCreate::*)()> actions[] = {
        {mnuFileNew, &modCreate::mnuFileNew_Click},
        {mnuFileOpen, &modCreate::mnuFileOpen_Click},
        {mnuFileSaveas, &modCreate::mnuFileSaveas_Click},
        {mnuFileImport, &modCreate::mnuFileImport_Click},
        {mnuFileExport, &modCreate::mnuFileExport_Click},
        {mnuFileExit, &modCreate::mnuFileExit_Click}};
    for (const auto& [action, handler] : actions)
        connect(action, &QAction::triggered, this, std::bind_front(handler, module));
    for (std::size_t n = 1; n < mnuRecent.size(); ++n)
        connect(mnuRecent[n], &QAction::triggered, this,
                std::bind_front(&modCreate::mnuRecent_Click, module, static_cast<int>(n)));
    attachMediaBoxes(module);
}

void frmCreate::attachMediaBoxes(modCreate* module) {
    const std::pair<QPushButton*, void (modCreate::*)()> buttons[] = {
        {cmdMpic, &modCreate::cmdMpic_Click},
        {cmdPic, &modCreate::cmdPic_Click},
        {cmdMRemove, &modCreate::cmdMRemove_Click},
        {cmdTRemove, &modCreate::cmdTRemove_Click}};
    for (const auto& [button, handler] : buttons)
        connect(button, &QPushButton::clicked, this, std::bind_front(handler, module));
    connect(txtMpic, &QLineEdit::textChanged, this,
            std::bind_front(&modCreate::txtMpic_Change, module));
    connect(txtTFpic, &QLineEdit::textChanged, this,
            std::bind_front(&modCreate::txtTFpic_Change, module));
}

void frmCreate::keyPressEvent(QKeyEvent* event) {
    // The add button is the window's default button, as in a dialog: Enter presses the focused
    // button, and anywhere else (the text boxes pass it on) adds the question.
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (enter && (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
        auto* focused = qobject_cast<QPushButton*>(focusWidget());
        QPushButton* button = focused != nullptr ? focused : cmdAdd;
        if (button->isEnabled() && button->isVisible()) {
            button->click();
            return;
        }
    }
    QMainWindow::keyPressEvent(event);
}

void frmCreate::closeEvent(QCloseEvent* event) {
    if (!m_unloaded && m_module != nullptr) {
        // Unsaved work is offered for saving first; Cancel keeps the window open.
        if (!m_module->AskToSaveChanges()) {
            event->ignore();
            return;
        }
        m_module->Form_Unload();
    }
    m_unloaded = true;
    event->accept();
}

} // namespace examo
