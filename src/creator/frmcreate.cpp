#include "creator/frmcreate.h"

#include "creator/creatormenus.h"
#include "creator/modcreate.h"
#include "platform/twips.h"

#include <QCloseEvent>
#include <QMenuBar>
#include <QMouseEvent>
#include <QShortcut>

namespace examo {

namespace {

template <class W> W* place(W* widget, int left, int top, int width, int height) {
    widget->setGeometry(twipsToPixels(left), twipsToPixels(top), twipsToPixels(width),
                        twipsToPixels(height));
    return widget;
}

QLabel* caption(QWidget* parent, const QString& text, int left, int top, int width) {
    return place(new QLabel(text, parent), left, top, width, 255);
}

// The media line at the foot of a question frame: its caption, box, chooser and remove button.
struct MediaRow {
    QLabel* label;
    QLineEdit* box;
    QPushButton* chooser;
    QPushButton* remove;
};

MediaRow mediaRow(QGroupBox* frame, const QString& boxTip) {
    MediaRow row;
    row.label = caption(frame, QStringLiteral("media:"), 120, 3210, 900);
    row.box = place(new QLineEdit(QStringLiteral("None"), frame), 120, 3450, 2655, 345);
    row.box->setToolTip(boxTip);
    row.chooser = place(new QPushButton(QStringLiteral("..."), frame), 2835, 3450, 540, 345);
    row.chooser->setToolTip(QStringLiteral("Choose a picture for this question."));
    row.remove = place(new QPushButton(QStringLiteral("Remove Multimedia File"), frame), 120, 3870,
                       3255, 360);
    return row;
}

} // namespace

void ClickableLabel::mouseReleaseEvent(QMouseEvent* event) {
    QLabel::mouseReleaseEvent(event);
    if (onClick && rect().contains(event->position().toPoint()))
        onClick();
}

frmCreate::frmCreate(QWidget* parent) : QMainWindow(parent) {
    setWindowTitle(QStringLiteral("Examo Me Test Creator - untitled.exm"));
    auto* client = new QWidget(this);
    setCentralWidget(client);
    client->setFixedSize(twipsToPixels(10380), twipsToPixels(5400));

    lblTitle[0] = caption(client, QStringLiteral("Test Title:"), 120, 150, 1100);
    txtTitle = place(new QLineEdit(client), 1260, 90, 3240, 345);
    txtTitle->setToolTip(QStringLiteral("Give the test a title here."));
    lblTitle[1] = caption(client, QStringLiteral("Class/Teacher:"), 4680, 150, 1380);
    txtTeacher = place(new QLineEdit(client), 6120, 90, 3960, 345);
    txtTeacher->setToolTip(QStringLiteral("Enter the class and/or teacher here."));
    lblTitle[2] = caption(client, QStringLiteral("Existing Questions:"), 3780, 1980, 2400);

    buildEditor(client);
    buildSide(client);
    buildMenus();
}

void frmCreate::buildEditor(QWidget* client) {
    grpMultiple = place(new QGroupBox(QStringLiteral("Multiple Choice Question:"), client),
                        kFrameLeft, 840, 3495, 4335);
    lblMultipleQuestion[0] = caption(grpMultiple, QStringLiteral("Question:"), 120, 270, 1200);
    txtMQuestion = place(new QLineEdit(grpMultiple), 120, 510, 3255, 375);
    txtMQuestion->setToolTip(QStringLiteral("Type the multiple choice question here."));
    const std::array<QString, 4> letters = {QStringLiteral("A"), QStringLiteral("B"),
                                            QStringLiteral("C"), QStringLiteral("D")};
    for (std::size_t i = 0; i < 4; ++i) {
        const int top = 1020 + static_cast<int>(i) * 540;
        optABCD[i] = place(new QRadioButton(letters[i], grpMultiple), 120, top, 540, 375);
        optABCD[i]->setToolTip(QStringLiteral("Correct answer is %1.").arg(letters[i]));
        txtManswer[i] = place(new QLineEdit(grpMultiple), 720, top, 2655, 375);
        txtManswer[i]->setToolTip(QStringLiteral("Type the answer here."));
    }
    optABCD[0]->setChecked(true);
    const MediaRow multipleMedia =
        mediaRow(grpMultiple, QStringLiteral("Picure name for this question."));
    lblMultipleQuestion[1] = multipleMedia.label;
    txtMpic = multipleMedia.box;
    cmdMpic = multipleMedia.chooser;
    cmdMRemove = multipleMedia.remove;

    grpTrueFalse = place(new QGroupBox(QStringLiteral("True/False Question:"), client), kOutOfSight,
                         840, 3495, 4335);
    lblTrueQuestion[0] = caption(grpTrueFalse, QStringLiteral("Question:"), 120, 270, 1200);
    txtTFquestion = place(new QLineEdit(grpTrueFalse), 120, 510, 3255, 375);
    txtTFquestion->setToolTip(QStringLiteral("Type the true/false question here."));
    lblTrueQuestion[1] = caption(grpTrueFalse, QStringLiteral("Answer:"), 120, 1140, 1200);
    optTrueAnswer[0] =
        place(new QRadioButton(QStringLiteral("True"), grpTrueFalse), 240, 1440, 1500, 345);
    optTrueAnswer[1] =
        place(new QRadioButton(QStringLiteral("False"), grpTrueFalse), 240, 1860, 1500, 345);
    for (auto* b : optTrueAnswer)
        b->setToolTip(QStringLiteral("Click here for the correct answer - true or false."));
    optTrueAnswer[0]->setChecked(true);
    const MediaRow trueFalseMedia =
        mediaRow(grpTrueFalse, QStringLiteral("Picture for this question."));
    lblTrueQuestion[2] = trueFalseMedia.label;
    txtTFpic = trueFalseMedia.box;
    cmdPic = trueFalseMedia.chooser;
    cmdTRemove = trueFalseMedia.remove;
}

void frmCreate::buildSide(QWidget* client) {
    grpType = place(new QGroupBox(QStringLiteral("Question Type"), client), 3780, 840, 2400, 1035);
    optType[0] =
        place(new QRadioButton(QStringLiteral("Multiple Choice"), grpType), 120, 300, 2160, 300);
    optType[0]->setToolTip(QStringLiteral("Create a multiple choice question."));
    optType[1] =
        place(new QRadioButton(QStringLiteral("True/False"), grpType), 120, 630, 2160, 300);
    optType[1]->setToolTip(QStringLiteral("Create a true/false question."));
    optType[0]->setChecked(true);

    lblNumber = place(new QLabel(QStringLiteral("Question #1"), client), 6360, 870, 3720, 375);
    lblNumber->setToolTip(QStringLiteral("Current question."));
    QFont big = lblNumber->font();
    big.setPointSize(12);
    big.setBold(true);
    lblNumber->setFont(big);

    lblEditMode = place(
        new ClickableLabel(QStringLiteral("'Edit Mode' ON click to return to  'Add Mode'"), client),
        6360, 1320, 3720, 495);
    lblEditMode->setToolTip(QStringLiteral("You are in EDIT MODE."));
    lblEditMode->setWordWrap(true);
    QPalette red = lblEditMode->palette();
    red.setColor(QPalette::WindowText, QColor(200, 0, 0));
    lblEditMode->setPalette(red);
    lblEditMode->setCursor(Qt::PointingHandCursor);
    lblEditMode->hide();

    cboExist = place(new QComboBox(client), 3780, 2220, 6300, 345);
    cboExist->setToolTip(QStringLiteral("Question List"));
    cboExist->setEditable(true);
    cboExist->setInsertPolicy(QComboBox::NoInsert);
    cboExist->setEditText(QStringLiteral("No Questions Yet"));

    cmdAdd =
        place(new QPushButton(QStringLiteral("Add This Question"), client), 3780, 2700, 2100, 420);
    cmdAdd->setToolTip(QStringLiteral("Add the current question"));
    cmdAdd->setDefault(true);
    cmdEdit =
        place(new QPushButton(QStringLiteral("Save This Question"), client), 5940, 2700, 2100, 420);
    cmdEdit->setToolTip(QStringLiteral("Save the changes to this question."));
    cmdEdit->setEnabled(false);
    cmdRemove = place(new QPushButton(QStringLiteral("Remove This Question"), client), 8100, 2700,
                      2160, 420);
    cmdRemove->setToolTip(QStringLiteral("Remove this existing question."));
    cmdRemove->setEnabled(false);

    picPreview = place(new PictureBox(client), 3780, 3300, 1875, 1875);
    picPreview->setToolTip(QStringLiteral("Picture Preview"));
    picPreview->setAttribute(Qt::WA_NativeWindow);
    picPreview->hide();
    lblPreview =
        place(new QLabel(QStringLiteral("No Media Chosen"), client), 5760, 3300, 1920, 255);
    cmdPlaywav = place(new QPushButton(QStringLiteral("Play Wav"), client), 5760, 3600, 1500, 375);
    cmdPlaywav->hide();
    imgHide = place(new PictureBox(client, false), 5760, 4200, 600, 600);
    imgHide->hide();

    cmdPreview =
        place(new QPushButton(QStringLiteral("Preview Test"), client), 8280, 3300, 1800, 420);
    cmdPreview->setEnabled(false);
    cmdOkay = place(new QPushButton(QStringLiteral("Save Test"), client), 8280, 3840, 1800, 420);
    cmdOkay->setEnabled(false);
    cmdCancel =
        place(new QPushButton(QStringLiteral("Cancel and Exit"), client), 8280, 4380, 1800, 420);
}

void frmCreate::buildMenus() {
    mnuFile = menuBar()->addMenu(QStringLiteral("&File"));
    mnuFileNew = mnuFile->addAction(QStringLiteral("&New"));
    mnuFileNew->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_N));
    mnuFileOpen = mnuFile->addAction(QStringLiteral("&Open"));
    mnuFileOpen->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
    mnuFileSaveas = mnuFile->addAction(QStringLiteral("Save &As"));
    mnuFileSaveas->setEnabled(false);
    mnuBar1 = mnuFile->addSeparator();
    mnuFilePrint = mnuFile->addAction(QStringLiteral("&Print"));
    mnuFilePrint->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_P));
    mnuFilePrint->setEnabled(false);
    mnuBar2 = mnuFile->addSeparator();
    mnuFileExit = mnuFile->addAction(QStringLiteral("E&xit"));
    mnuFileExit->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
    mnuBar3 = mnuFile->addSeparator();
    mnuFileRecent = mnuFile->addMenu(QStringLiteral("&Recent Files"));
    mnuFileRecent->menuAction()->setVisible(false);
    mnuRecent[0] = nullptr;
    for (std::size_t n = 1; n <= 4; ++n) {
        mnuRecent[n] = mnuFileRecent->addAction(QString());
        mnuRecent[n]->setEnabled(false);
        mnuRecent[n]->setVisible(false);
    }

    mnuToolS = menuBar()->addMenu(QStringLiteral("&Tools"));
    mnuToolScore = mnuToolS->addAction(QStringLiteral("&Read Score Logs"));
    mnuToolAVI = mnuToolS->addAction(QStringLiteral("&AVI Maker"));
    mnuToolBar1 = mnuToolS->addSeparator();
    mnuToolNotepad = mnuToolS->addAction(QStringLiteral("&Notepad"));
    mnuToolSoundRecorder = mnuToolS->addAction(QStringLiteral("&Sound Recorder"));
    mnuToolPaint = mnuToolS->addAction(QStringLiteral("&MS Paint"));
    mnuToolExplorer = mnuToolS->addAction(QStringLiteral("&Windows Explorer"));

    mnuHelp = menuBar()->addMenu(QStringLiteral("&Help"));
    mnuHelpContents = mnuHelp->addAction(QStringLiteral("Help &Contents"));
    mnuHelpAbout = mnuHelp->addAction(QStringLiteral("&About"));
    mnuHelpWeb = mnuHelp->addAction(QStringLiteral("&ExamoMe Website"));
    mnuHelpAuthor = mnuHelp->addAction(QStringLiteral("&Email Author"));
}

void frmCreate::attach(modCreate* module) {
    m_module = module;
    for (int i = 0; i < 2; ++i)
        connect(optType[static_cast<std::size_t>(i)], &QRadioButton::clicked, this,
                [module, i] { module->optType_Click(i); });
    connect(cmdAdd, &QPushButton::clicked, this, [module] { module->cmdAdd_Click(); });
    connect(cmdEdit, &QPushButton::clicked, this, [module] { module->cmdEdit_Click(); });
    connect(cmdRemove, &QPushButton::clicked, this, [module] { module->cmdRemove_Click(); });
    // Only the teacher's choice of an entry counts, never a change made by code.
    connect(cboExist, &QComboBox::activated, this, [module] { module->cboExist_Click(); });
    lblEditMode->onClick = [module] { module->lblEditMode_Click(); };
    connect(cmdOkay, &QPushButton::clicked, this, [module] { module->cmdOkay_Click(); });
    connect(cmdCancel, &QPushButton::clicked, this, [module] { module->cmdCancel_Click(); });
    connect(cmdPlaywav, &QPushButton::clicked, this, [module] { module->cmdPlaywav_Click(); });
    connect(mnuFileNew, &QAction::triggered, this, [module] { module->mnuFileNew_Click(); });
    connect(mnuFileOpen, &QAction::triggered, this, [module] { module->mnuFileOpen_Click(); });
    connect(mnuFileSaveas, &QAction::triggered, this, [module] { module->mnuFileSaveas_Click(); });
    connect(mnuFileExit, &QAction::triggered, this, [module] { module->mnuFileExit_Click(); });
    for (int n = 1; n <= 4; ++n)
        connect(mnuRecent[static_cast<std::size_t>(n)], &QAction::triggered, this,
                [module, n] { module->mnuRecent_Click(n); });
    // An emptied media box means no media.
    for (QLineEdit* box : {txtMpic, txtTFpic})
        connect(box, &QLineEdit::textChanged, box, [box](const QString& text) {
            if (text.isEmpty())
                box->setText(QStringLiteral("none"));
        });
    connect(cmdMRemove, &QPushButton::clicked, this, [this, module] {
        txtMpic->setText(QStringLiteral("None"));
        module->ClearMediaPreview();
    });
    connect(cmdTRemove, &QPushButton::clicked, this, [this, module] {
        txtTFpic->setText(QStringLiteral("None"));
        module->ClearMediaPreview();
    });
}

void frmCreate::attachMenus(CreatorMenus* menus) {
    const std::pair<QAction*, void (CreatorMenus::*)()> entries[] = {
        {mnuToolScore, &CreatorMenus::mnuToolScore_Click},
        {mnuToolAVI, &CreatorMenus::mnuToolAVI_Click},
        {mnuToolNotepad, &CreatorMenus::mnuToolNotepad_Click},
        {mnuToolSoundRecorder, &CreatorMenus::mnuToolSoundRecorder_Click},
        {mnuToolPaint, &CreatorMenus::mnuToolPaint_Click},
        {mnuToolExplorer, &CreatorMenus::mnuToolExplorer_Click},
        {mnuHelpContents, &CreatorMenus::mnuHelpContents_Click},
        {mnuHelpAbout, &CreatorMenus::mnuHelpAbout_Click},
        {mnuHelpWeb, &CreatorMenus::mnuHelpWeb_Click},
        {mnuHelpAuthor, &CreatorMenus::mnuHelpAuthor_Click}};
    for (const auto& [action, handler] : entries)
        connect(action, &QAction::triggered, this,
                [menus, handler = handler] { (menus->*handler)(); });
    // F1 anywhere in the creator opens the help.
    auto* f1 = new QShortcut(QKeySequence(Qt::Key_F1), this);
    f1->setContext(Qt::ApplicationShortcut);
    connect(f1, &QShortcut::activated, this, [menus] { menus->mnuHelpContents_Click(); });
}

void frmCreate::setLeftTwips(QWidget* widget, int left) {
    widget->move(twipsToPixels(left), widget->y());
}

int frmCreate::leftTwips(const QWidget* widget) {
    return pixelsToTwips(widget->x());
}

void frmCreate::closeEvent(QCloseEvent* event) {
    if (!m_unloaded && m_module != nullptr)
        m_module->Form_Unload();
    m_unloaded = true;
    event->accept();
}

} // namespace examo
